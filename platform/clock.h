#pragma once
// Wall-clock time, injected so that file names and time-outs are testable.
#include <chrono>

namespace pondex {

struct LocalDateTime {
  int year = 2000;  // four digits
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;  // 0..999
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// `time` moved by `offset` (earlier when negative), across days, months and
// years: the local time of a moment the event loop's clock stamped, from
// the local time now and how long ago it was.
inline LocalDateTime shifted(const LocalDateTime& time, std::chrono::milliseconds offset) {
  using namespace std::chrono;
  const sys_days date{year{time.year} / month{static_cast<unsigned>(time.month)} /
                      day{static_cast<unsigned>(time.day)}};
  const auto at =
      date + hours{time.hour} + minutes{time.minute} + seconds{time.second} + milliseconds{time.millisecond} + offset;
  const auto d = floor<days>(at);
  const year_month_day ymd{d};
  const hh_mm_ss<milliseconds> hms{at - d};
  return {static_cast<int>(ymd.year()),
          static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(hms.hours().count()),
          static_cast<int>(hms.minutes().count()),
          static_cast<int>(hms.seconds().count()),
          static_cast<int>(hms.subseconds().count())};
}

class Clock {
 public:
  virtual ~Clock() = default;
  // The computer's local time now, to the millisecond.
  [[nodiscard]] virtual LocalDateTime localNow() const = 0;
};

}  // namespace pondex
