#pragma once
// Wall-clock time, injected so that file names and time-outs are testable.
namespace pondex {

struct LocalDateTime {
  int year = 2000;  // four digits
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;
  int second = 0;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The computer's local time now.
  [[nodiscard]] virtual LocalDateTime localNow() const = 0;
};

}  // namespace pondex
