#include "ui/recent_rows.h"

#include <gtest/gtest.h>

#include <string>

namespace pondex::ui {
namespace {

TEST(RecentRows, KeepsTheLastThousandCountingTheTextDroppedFromTheStart) {
  RecentRows rows;
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(rows.add("row " + std::to_string(i)), 0u);
  EXPECT_EQ(rows.add("odpowiedź"), 5u + 2) << "\"row 0\" and its CR LF";
  EXPECT_EQ(rows.rows().size(), RecentRows::kKept);
  EXPECT_EQ(rows.rows().front(), "row 1");
  for (int i = 0; i < 999; ++i) (void)rows.add("x");
  EXPECT_EQ(rows.rows().front(), "odpowiedź");
  EXPECT_EQ(rows.add("y"), 9u + 2) << "counted in UTF-16 units, as the list control counts";
  EXPECT_EQ(rows.text().substr(0, 6), "x\r\nx\r\n");
}

}  // namespace
}  // namespace pondex::ui
