#include "ui/scale_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/portable/code_page.h"

namespace pondex::ui {
namespace {

using controls::Canvas;
using controls::PixelRect;
using controls::PixelSize;

// The canvas takes the platform's wide text: UTF-16 on Windows.
std::wstring wideText(std::string_view utf8) {
  std::wstring wide;
  while (!utf8.empty()) {
    const text::CodePoint c = text::decodeUtf8(utf8);
    utf8.remove_prefix(c.length);
    if constexpr (sizeof(wchar_t) == 2) {
      if (c.value > 0xFFFF) {
        wide += static_cast<wchar_t>(0xD800 + ((c.value - 0x10000) >> 10));
        wide += static_cast<wchar_t>(0xDC00 + ((c.value - 0x10000) & 0x3FF));
        continue;
      }
    }
    wide += static_cast<wchar_t>(c.value);
  }
  return wide;
}

void fillDisc(Canvas& canvas, int centreX, int centreY, int radius, controls::Color color) {
  for (int dy = -radius; dy <= radius; ++dy) {
    const int half = static_cast<int>(std::lround(std::sqrt(static_cast<double>(radius * radius - dy * dy))));
    canvas.horizontalLine(centreX - half, centreX + half, centreY + dy, color);
  }
}

void frame(Canvas& canvas, const PixelRect& r, controls::Color color) {
  canvas.horizontalLine(r.left, r.right - 1, r.top, color);
  canvas.horizontalLine(r.left, r.right - 1, r.bottom - 1, color);
  canvas.verticalLine(r.left, r.top, r.bottom - 1, color);
  canvas.verticalLine(r.right - 1, r.top, r.bottom - 1, color);
}

// The number, its unit and, right of them, the mark.
void drawReading(Canvas& canvas, const PixelRect& row, const ScaleReading& reading, const ScaleViewMetrics& m) {
  const std::wstring number = wideText(reading.number);
  const PixelSize numberSize = canvas.textSize(number, m.numberHeight);
  canvas.drawText(number, row.left, row.top, m.numberHeight, scale_colors::kNumber);
  int x = row.left + numberSize.width + m.padding;
  // The unit and the mark stand on the number's line.
  const std::wstring unit = wideText(reading.unit);
  const PixelSize unitSize = canvas.textSize(unit, m.unitHeight);
  const int smallTop = row.top + numberSize.height - unitSize.height;
  if (!unit.empty()) {
    canvas.drawText(unit, x, smallTop, m.unitHeight, scale_colors::kUnit);
    x += unitSize.width + 2 * m.padding;
  }
  if (reading.settled) {
    const int radius = m.unitHeight / 3;
    fillDisc(canvas, x + radius, smallTop + unitSize.height / 2, radius, scale_colors::kSettled);
    x += 2 * radius + m.padding / 2;
    canvas.drawText(wideText(kSettledWord), x, smallTop, m.unitHeight, scale_colors::kSettled);
  } else {
    canvas.drawText(wideText(kMovingWord), x, smallTop, m.unitHeight, scale_colors::kMoving);
  }
}

}  // namespace

std::optional<double> readingValue(std::string_view number) {
  std::size_t i = number.find_first_not_of(' ');
  if (i == std::string_view::npos) return std::nullopt;
  const bool negative = number[i] == '-';
  if (number[i] == '-' || number[i] == '+') ++i;
  double value = 0;
  double scale = 1;
  bool digits = false;
  bool decimals = false;
  for (; i < number.size(); ++i) {
    const char c = number[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (decimals) {
        scale /= 10;
        value += (c - '0') * scale;
      } else {
        value = value * 10 + (c - '0');
      }
    } else if ((c == '.' || c == ',') && !decimals) {
      decimals = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  return negative ? -value : value;
}

void ScaleViewModel::add(const ScaleReading& reading) {
  last_ = reading;
  const auto value = readingValue(reading.number);
  if (!value) return;
  // Time runs one way on the plot, whatever the stamps say.
  const Millis at = count_ > 0 ? std::max(reading.at, sample(count_ - 1).at) : reading.at;
  Sample next{at, *value, reading.settled, reading.number};
  if (count_ < kPlotReadings) {
    samples_[(first_ + count_) % kPlotReadings] = std::move(next);
    ++count_;
  } else {
    samples_[first_] = std::move(next);
    first_ = (first_ + 1) % kPlotReadings;
  }
}

std::size_t ScaleViewModel::extremeIndex(bool highest) const {
  std::size_t best = 0;
  for (std::size_t i = 1; i < count_; ++i) {
    if (highest ? sample(i).value >= sample(best).value : sample(i).value <= sample(best).value) best = i;
  }
  return best;
}

std::string ScaleViewModel::highestText() const {
  return count_ == 0 ? std::string{} : sample(extremeIndex(true)).number;
}

std::string ScaleViewModel::lowestText() const {
  return count_ == 0 ? std::string{} : sample(extremeIndex(false)).number;
}

std::vector<ScaleViewModel::PlotPoint> ScaleViewModel::plotPoints(const PixelRect& area) const {
  std::vector<PlotPoint> points;
  if (count_ == 0 || area.width() <= 0 || area.height() <= 0) return points;
  points.reserve(count_);
  const Millis first = sample(0).at;
  const std::int64_t span = (sample(count_ - 1).at - first).count();
  const double low = sample(extremeIndex(false)).value;
  const double high = sample(extremeIndex(true)).value;
  const int lastX = area.width() - 1;
  const int lastY = area.height() - 1;
  for (std::size_t i = 0; i < count_; ++i) {
    const Sample& s = sample(i);
    int x = lastX / 2;
    if (span > 0) {
      x = static_cast<int>((s.at - first).count() * lastX / span);
    } else if (count_ > 1) {
      x = static_cast<int>(static_cast<std::int64_t>(i) * lastX / static_cast<std::int64_t>(count_ - 1));
    }
    const int y =
        high > low ? lastY - static_cast<int>(std::lround((s.value - low) * lastY / (high - low))) : lastY / 2;
    points.push_back({area.left + x, area.top + y, s.settled});
  }
  return points;
}

ScaleViewMetrics scaleViewMetrics(int dpi) {
  const auto scaled = [dpi](int at96) { return (at96 * dpi + 48) / 96; };
  ScaleViewMetrics m;
  m.textHeight = (10 * dpi + 36) / 72;  // 10 points, as the panel's text box
  m.numberHeight = kNumberScale * m.textHeight;
  m.unitHeight = 2 * m.textHeight;
  m.padding = scaled(8);
  m.markSize = std::max(3, scaled(5)) | 1;
  m.plotHeight = 8 * m.textHeight;
  return m;
}

ScaleViewLayout drawScaleView(Canvas& canvas, const PixelRect& area, const ScaleViewModel& model,
                              const ScaleViewMetrics& m) {
  canvas.fillRect(area, scale_colors::kBackground);
  ScaleViewLayout layout;
  layout.reading = {area.left + m.padding, area.top + m.padding, area.right - m.padding,
                    area.top + m.padding + m.readingHeight()};
  if (model.last()) drawReading(canvas, layout.reading, *model.last(), m);

  // The highest and lowest readings label the plot on its left.
  const std::wstring highest = wideText(model.highestText());
  const std::wstring lowest = wideText(model.lowestText());
  const int labelWidth =
      std::max(canvas.textSize(highest, m.textHeight).width, canvas.textSize(lowest, m.textHeight).width);
  const int plotTop = layout.reading.bottom + m.padding;
  const int plotBottom = std::max(plotTop, area.bottom - m.padding);
  layout.plot = {area.left + m.padding + (labelWidth > 0 ? labelWidth + m.padding / 2 : 0), plotTop,
                 area.right - m.padding, plotBottom};
  if (layout.plot.width() <= 0 || layout.plot.height() <= 0) return layout;
  frame(canvas, layout.plot, scale_colors::kFrame);
  const int inset = m.markSize / 2 + 2;
  layout.points = {layout.plot.left + inset, layout.plot.top + inset, layout.plot.right - inset,
                   layout.plot.bottom - inset};
  if (model.plotted() == 0) return layout;
  canvas.drawText(highest, area.left + m.padding, layout.plot.top, m.textHeight, scale_colors::kLabel);
  if (lowest != highest) {
    canvas.drawText(lowest, area.left + m.padding, layout.plot.bottom - canvas.textSize(lowest, m.textHeight).height,
                    m.textHeight, scale_colors::kLabel);
  }

  const std::vector<ScaleViewModel::PlotPoint> points = model.plotPoints(layout.points);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto& from = points[i > 0 ? i - 1 : 0];  // one reading alone is a dot
    canvas.line(from.x, from.y, points[i].x, points[i].y, scale_colors::kLine);
  }
  const int half = m.markSize / 2;
  for (const auto& p : points) {
    if (p.settled) canvas.fillRect({p.x - half, p.y - half, p.x + half + 1, p.y + half + 1}, scale_colors::kSettled);
  }
  return layout;
}

}  // namespace pondex::ui
