#pragma once
// The picture of the scale at the top of the data panel in weight mode: the
// last reading large with its unit, a mark when it is settled (a filled
// disc and the word "ustalona", so that it does not rest on colour), and a
// plot of the last readings against time, settled ones marked with a
// square.
//
// ScaleViewModel keeps what the picture is drawn from, bounded whatever the
// number of readings: the last reading and the last kPlotReadings. The
// picture is drawn on a controls::Canvas, so it is checked in memory and
// painted by GDI alike. Sizes follow the DPI of the panel's monitor.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/canvas.h"
#include "platform/event_loop.h"

namespace pondex::ui {

// One reading as the panel shows it.
struct ScaleReading {
  std::string number;  // as typed
  std::string unit;    // "" when the line had none
  bool settled = false;
  Millis at{0};  // when its line ended, on the event loop's clock
};

// The value of a number as typed ("-12,345", "0.5"), or none when it holds
// no digits. Either mark counts as the decimal one.
[[nodiscard]] std::optional<double> readingValue(std::string_view number);

class ScaleViewModel {
 public:
  static constexpr std::size_t kPlotReadings = 60;

  // A point of the plot, in the canvas's pixels.
  struct PlotPoint {
    int x = 0;
    int y = 0;
    bool settled = false;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
  };

  void add(const ScaleReading& reading);

  [[nodiscard]] const std::optional<ScaleReading>& last() const { return last_; }
  // How many readings the plot holds: at most kPlotReadings, the newest.
  // A reading whose number holds no digits is shown large but not plotted.
  [[nodiscard]] std::size_t plotted() const { return count_; }
  // The plotted readings inside `area`, oldest first: time from left to
  // right over the span of the readings kept, values from the lowest at
  // the bottom to the highest at the top (all in the middle when equal).
  [[nodiscard]] std::vector<PlotPoint> plotPoints(const controls::PixelRect& area) const;
  // The numbers as typed of the highest and the lowest plotted reading,
  // which label the plot.
  [[nodiscard]] std::string highestText() const;
  [[nodiscard]] std::string lowestText() const;

 private:
  struct Sample {
    Millis at{0};
    double value = 0;
    bool settled = false;
    std::string number;
  };
  // The i-th kept sample, oldest first.
  [[nodiscard]] const Sample& sample(std::size_t i) const { return samples_[(first_ + i) % kPlotReadings]; }
  [[nodiscard]] std::size_t extremeIndex(bool highest) const;

  std::optional<ScaleReading> last_;
  std::array<Sample, kPlotReadings> samples_{};  // a ring: nothing grows
  std::size_t first_ = 0;
  std::size_t count_ = 0;
};

// Sizes of the picture at a DPI.
struct ScaleViewMetrics {
  int textHeight = 0;    // the panel's text: 10 points
  int numberHeight = 0;  // the last reading: kNumberScale times the text
  int unitHeight = 0;    // its unit and the settled mark's word
  int padding = 0;
  int markSize = 0;    // of the plot's squares; odd, so they centre
  int plotHeight = 0;  // the plot's least height
  // The row of the number: its em and the font's leading.
  [[nodiscard]] int readingHeight() const { return numberHeight + numberHeight / 4; }
  // The height the picture asks of the panel.
  [[nodiscard]] int pictureHeight() const { return padding * 3 + readingHeight() + plotHeight; }
};
inline constexpr int kNumberScale = 4;
[[nodiscard]] ScaleViewMetrics scaleViewMetrics(int dpi);

// Where drawScaleView put the parts.
struct ScaleViewLayout {
  controls::PixelRect reading;  // the number, its unit and the mark
  controls::PixelRect plot;     // the plot's frame, right of its labels
  controls::PixelRect points;   // where the plot's points lie, inside the frame
};

namespace scale_colors {
inline constexpr controls::Color kBackground = controls::rgb(255, 255, 255);
inline constexpr controls::Color kNumber = controls::rgb(0, 0, 0);
inline constexpr controls::Color kUnit = controls::rgb(64, 64, 64);
inline constexpr controls::Color kSettled = controls::rgb(0, 112, 40);
inline constexpr controls::Color kMoving = controls::rgb(96, 96, 96);
inline constexpr controls::Color kFrame = controls::rgb(192, 192, 192);
inline constexpr controls::Color kLine = controls::rgb(0, 84, 166);
inline constexpr controls::Color kLabel = controls::rgb(96, 96, 96);
}  // namespace scale_colors

// The words beside the number.
inline constexpr const char* kSettledWord = "ustalona";
inline constexpr const char* kMovingWord = "nieustalona";

// Draws the whole picture into `area`, background first; says where its
// parts went.
ScaleViewLayout drawScaleView(controls::Canvas& canvas, const controls::PixelRect& area, const ScaleViewModel& model,
                              const ScaleViewMetrics& metrics);

}  // namespace pondex::ui
