#include "ui/scale_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/memory_canvas.h"

namespace pondex::ui {
namespace {

using controls::PixelRect;
namespace colors = scale_colors;

constexpr int kWidth = 480;

ScaleReading reading(std::string number, bool settled, int atMs, std::string unit = "kg") {
  return {std::move(number), std::move(unit), settled, Millis(atMs)};
}

// The picture of `model` at `dpi` on a canvas of its own size.
struct Picture {
  Picture(const ScaleViewModel& model, int dpi)
      : metrics(scaleViewMetrics(dpi)),
        canvas(kWidth, metrics.pictureHeight()),
        layout(drawScaleView(canvas, {0, 0, kWidth, metrics.pictureHeight()}, model, metrics)) {}

  // The texts drawn at `height`.
  [[nodiscard]] std::vector<std::wstring> textsOf(int height) const {
    std::vector<std::wstring> found;
    for (const auto& t : canvas.texts()) {
      if (t.height == height) found.push_back(t.text);
    }
    return found;
  }
  [[nodiscard]] int pixelsIn(const PixelRect& r, controls::Color color) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) n += canvas.at(x, y) == color ? 1 : 0;
    }
    return n;
  }

  ScaleViewMetrics metrics;
  fakes::MemoryCanvas canvas;
  ScaleViewLayout layout;
};

TEST(ScaleView, TheBigNumberIsTheLastReadingMarkedOnlyWhenSettled) {
  ScaleViewModel model;
  model.add(reading("12,345", true, 0));
  model.add(reading("12,400", false, 100));
  {
    const Picture moving(model, 96);
    EXPECT_EQ(moving.textsOf(moving.metrics.numberHeight), std::vector<std::wstring>{L"12,400"});
    EXPECT_EQ(moving.textsOf(moving.metrics.unitHeight), (std::vector<std::wstring>{L"kg", L"nieustalona"}));
    EXPECT_EQ(moving.pixelsIn(moving.layout.reading, colors::kSettled), 0) << "no disc";
  }
  model.add(reading("12,405", true, 200, ""));
  const Picture settled(model, 96);
  EXPECT_EQ(settled.textsOf(settled.metrics.numberHeight), std::vector<std::wstring>{L"12,405"});
  EXPECT_EQ(settled.textsOf(settled.metrics.unitHeight), std::vector<std::wstring>{L"ustalona"});
  EXPECT_GT(settled.pixelsIn(settled.layout.reading, colors::kSettled), 20) << "the disc";

  const Picture empty(ScaleViewModel{}, 96);
  EXPECT_TRUE(empty.canvas.texts().empty());
  EXPECT_GT(empty.pixelsIn(empty.layout.plot, colors::kFrame), 0) << "the plot's frame waits for readings";
}

TEST(ScaleView, ThePlotHoldsTheLastSixtyReadingsInTimeOrder) {
  const PixelRect area{10, 20, 310, 120};
  for (const int n : {1, 2, 59, 60, 61, 150}) {
    ScaleViewModel model;
    for (int i = 0; i < n; ++i) model.add(reading(std::to_string(i % 7), i % 3 == 0, 100 * i));
    const auto points = model.plotPoints(area);
    ASSERT_EQ(points.size(), static_cast<std::size_t>(std::min(n, 60))) << n;
    EXPECT_EQ(model.plotted(), points.size());
    if (n == 1) {
      EXPECT_EQ(points[0], (ScaleViewModel::PlotPoint{159, 69, true})) << "alone, in the middle";
      continue;
    }
    EXPECT_EQ(points.front().x, area.left);
    EXPECT_EQ(points.back().x, area.right - 1);
    for (std::size_t p = 1; p < points.size(); ++p) ASSERT_LT(points[p - 1].x, points[p].x) << n;
    // The newest are kept: the last point is the last reading.
    const int last = n - 1;
    EXPECT_EQ(points.back().settled, last % 3 == 0);
  }

  // Values from the lowest at the bottom to the highest at the top; time,
  // not the count of readings, spreads them.
  ScaleViewModel model;
  model.add(reading("-1,5", false, 0));
  model.add(reading("2.5", true, 100));
  model.add(reading("0,5", true, 400));
  const auto points = model.plotPoints(area);
  EXPECT_EQ(points[0], (ScaleViewModel::PlotPoint{10, 119, false}));
  EXPECT_EQ(points[1], (ScaleViewModel::PlotPoint{84, 20, true}));
  EXPECT_EQ(points[2], (ScaleViewModel::PlotPoint{309, 69, true}));
  EXPECT_EQ(model.highestText(), "2.5");
  EXPECT_EQ(model.lowestText(), "-1,5");
}

TEST(ScaleView, ThePlotIsALineWithItsSettledReadingsMarked) {
  ScaleViewModel model;
  model.add(reading("10", false, 0));
  model.add(reading("30", true, 1000));
  model.add(reading("20", false, 2000));
  model.add(reading("Err", false, 2500));  // shown large, not plotted
  const Picture picture(model, 96);
  EXPECT_EQ(picture.textsOf(picture.metrics.numberHeight), std::vector<std::wstring>{L"Err"});
  ASSERT_EQ(model.plotted(), 3u);
  const auto points = model.plotPoints(picture.layout.points);
  EXPECT_EQ(picture.canvas.at(points[0].x, points[0].y), colors::kLine);
  EXPECT_EQ(picture.canvas.at(points[1].x, points[1].y), colors::kSettled);
  EXPECT_EQ(picture.canvas.at(points[1].x - picture.metrics.markSize / 2, points[1].y), colors::kSettled);
  EXPECT_EQ(picture.canvas.at(points[2].x, points[2].y), colors::kLine);
  // The line passes half way between the first two.
  EXPECT_EQ(picture.canvas.at((points[0].x + points[1].x) / 2, (points[0].y + points[1].y) / 2), colors::kLine);
  EXPECT_EQ(picture.pixelsIn(picture.layout.plot, colors::kSettled),
            picture.metrics.markSize * picture.metrics.markSize);
  EXPECT_EQ(picture.textsOf(picture.metrics.textHeight), (std::vector<std::wstring>{L"30", L"10"}));
}

TEST(ScaleView, SizesFollowTheDpi) {
  ScaleViewModel model;
  model.add(reading("1234,5", true, 0));
  for (const int dpi : {96, 144}) {
    const Picture picture(model, dpi);
    const ScaleViewMetrics& m = picture.metrics;
    EXPECT_EQ(m.textHeight, dpi == 96 ? 13 : 20) << "10 points";
    EXPECT_GE(m.numberHeight, 3 * m.textHeight);
    EXPECT_EQ(picture.textsOf(m.numberHeight).size(), 1u);
    EXPECT_LE(picture.layout.plot.bottom, m.pictureHeight());
    EXPECT_GE(picture.layout.plot.height(), m.plotHeight);
  }
  const ScaleViewMetrics at96 = scaleViewMetrics(96);
  const ScaleViewMetrics at144 = scaleViewMetrics(144);
  EXPECT_EQ(at96.numberHeight, 52);
  EXPECT_EQ(at144.numberHeight, 80);
  EXPECT_EQ(at144.padding * 2, at96.padding * 3);
  EXPECT_EQ(at96.markSize % 2, 1);
  EXPECT_EQ(at144.markSize % 2, 1);
}

}  // namespace
}  // namespace pondex::ui
