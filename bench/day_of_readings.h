#pragma once
// The day both log benchmarks play: 10 readings a second for 24 hours, of
// a scale that loads, settles and unloads every 4 s.
#include <string>

#include "output/weighing_log.h"

namespace pondex::bench {

inline constexpr int kDayOfReadings = 864'000;
inline constexpr Millis kReadingInterval{100};

// The i-th reading of the day that starts at `start`.
inline LoggedReading readingAt(int i, const LocalDateTime& start) {
  const int phase = i % 40;
  const bool settled = phase >= 10 && phase < 30;
  const int grams = settled ? 12'345 : phase * 617;
  std::string number = std::to_string(grams / 1000) + ',' + std::to_string(1000 + grams % 1000).substr(1);
  return {std::move(number), "kg", settled, false, shifted(start, kReadingInterval * i)};
}

}  // namespace pondex::bench
