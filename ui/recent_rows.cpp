#include "ui/recent_rows.h"

#include "platform/portable/code_page.h"

namespace pondex::ui {

std::size_t RecentRows::add(std::string row) {
  rows_.push_back(std::move(row));
  if (rows_.size() <= kKept) return 0;
  const std::size_t dropped = text::utf16Length(rows_.front()) + 2;
  rows_.pop_front();
  return dropped;
}

std::string RecentRows::text() const {
  std::string all;
  for (const auto& row : rows_) {
    all += row;
    all += "\r\n";
  }
  return all;
}

}  // namespace pondex::ui
