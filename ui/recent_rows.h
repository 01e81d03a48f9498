#pragma once
// The rows the data panel lists under its picture: the last kKept, oldest
// first, so that a day of readings keeps the panel's memory bounded. What
// add() returns is what the list control must drop from its start to stay
// in step.
#include <cstddef>
#include <deque>
#include <string>

namespace pondex::ui {

class RecentRows {
 public:
  static constexpr std::size_t kKept = 1000;

  // Adds a row (UTF-8, without its line end). Returns how many UTF-16
  // units of text, the row and its CR LF, left at the start to make room:
  // 0 while fewer than kKept rows were held.
  std::size_t add(std::string row);

  [[nodiscard]] const std::deque<std::string>& rows() const { return rows_; }
  // Every row with its CR LF, as the list shows them.
  [[nodiscard]] std::string text() const;

 private:
  std::deque<std::string> rows_;
};

}  // namespace pondex::ui
