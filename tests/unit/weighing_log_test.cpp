#include "output/weighing_log.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fakes/fake_platform.h"

namespace pondex {
namespace {

const std::string kHeader = "data;godzina;masa;jednostka;stan;odpowied\x9F\r\n";  // Windows-1250
const std::string kFolder = "c:\\kolvat\\pon_dex\\";
const std::string kToday = kFolder + "261206.csv";

LoggedReading reading(std::string number, LocalDateTime at, bool settled = true, std::string unit = "kg",
                      bool answer = false) {
  return {std::move(number), std::move(unit), settled, answer, at};
}

// A reading at 14:03 on 6 December 2026 plus `ms`.
LoggedReading at(std::string number, int ms) {
  return reading(std::move(number), shifted({2026, 12, 6, 14, 3, 0, 0}, Millis(ms)));
}

class WeighingLogTest : public ::testing::Test {
 protected:
  WeighingLogTest() { log.setFolder(kFolder); }

  // Time passes to `until` with the caller's timer running timeUp() at
  // every deadline on the way.
  void runUntil(Millis until) {
    while (const auto due = log.deadline()) {
      if (*due > until) break;
      now = std::max(now, *due);
      log.timeUp(now);
    }
    now = until;
  }
  void add(LoggedReading r, LogSeparator separator = LogSeparator::Semicolon) {
    EXPECT_TRUE(log.add(std::move(r), separator, now));
  }

  fakes::FakeFileSystem files;
  int failureChanges = 0;
  WeighingLog log{files, [this] { ++failureChanges; }};
  Millis now{0};
};

TEST_F(WeighingLogTest, TheHeaderIsWrittenOncePerFileAcrossRestarts) {
  add(at("12,345", 512));
  add(at("12,350", 900));
  EXPECT_EQ(files.contents[kToday], kHeader +
                                        "2026-12-06;14:03:00.512;12,345;kg;ustalona;\r\n"
                                        "2026-12-06;14:03:00.900;12,350;kg;ustalona;\r\n");

  // The program starts again: the day's file is appended to, its header
  // not repeated, also by later rows.
  WeighingLog again(files);
  again.setFolder("c:\\kolvat\\pon_dex");  // without its backslash
  EXPECT_TRUE(again.add(at("1,000", 60'000), LogSeparator::Semicolon, now));
  EXPECT_TRUE(again.add(at("2,000", 61'000), LogSeparator::Semicolon, now));
  const std::string& file = files.contents[kToday];
  EXPECT_EQ(file.find("data;"), 0u);
  EXPECT_EQ(file.find("data;", 1), std::string::npos);
  EXPECT_EQ(file.substr(file.rfind("2026")), "2026-12-06;14:04:01.000;2,000;kg;ustalona;\r\n");
}

TEST_F(WeighingLogTest, EachRowSpellsItsReadingInItsFilesSeparator) {
  const LocalDateTime t{2026, 12, 6, 9, 5, 7, 3};
  const auto row = [&t](std::string number, bool settled, std::string unit, bool answer, LogSeparator separator) {
    return logRow(reading(std::move(number), t, settled, std::move(unit), answer), separator);
  };
  EXPECT_EQ(row("12,345", true, "kg", false, LogSeparator::Semicolon), "2026-12-06;09:05:07.003;12,345;kg;ustalona;");
  EXPECT_EQ(row("-0,5", false, "", true, LogSeparator::Semicolon), "2026-12-06;09:05:07.003;-0,5;;nieustalona;tak");
  // A decimal comma in a file of commas (one that kept its separator).
  EXPECT_EQ(row("12,345", false, "pcs", true, LogSeparator::Comma),
            "2026-12-06,09:05:07.003,\"12,345\",pcs,nieustalona,tak");
  EXPECT_EQ(row("1;5", true, "a\"b", false, LogSeparator::Semicolon),
            "2026-12-06;09:05:07.003;\"1;5\";\"a\"\"b\";ustalona;");
}

TEST_F(WeighingLogTest, AFileKeepsTheSeparatorItStartedWith) {
  add(at("12.345", 0), LogSeparator::Comma);
  EXPECT_EQ(files.contents[kToday],
            "data,godzina,masa,jednostka,stan,odpowied\x9F\r\n"
            "2026-12-06,14:03:00.000,12.345,kg,ustalona,\r\n");

  // The decimal comma is switched on later that day: the file keeps its
  // commas and quotes the number.
  add(at("12,5", 1000), LogSeparator::Semicolon);
  EXPECT_EQ(files.contents[kToday].substr(files.contents[kToday].rfind("2026")),
            "2026-12-06,14:03:01.000,\"12,5\",kg,ustalona,\r\n");

  // A file that holds something without the header gets none, and follows
  // its first line.
  files.contents[kFolder + "261207.csv"] = "masa;uwagi\r\n";
  add(reading("3", {2026, 12, 7, 8, 0, 0, 0}), LogSeparator::Comma);
  EXPECT_EQ(files.contents[kFolder + "261207.csv"], "masa;uwagi\r\n2026-12-07;08:00:00.000;3;kg;ustalona;\r\n");
}

TEST_F(WeighingLogTest, EachDayHasItsFileByTheTimeItsLinesEnded) {
  add(reading("1", {2026, 12, 6, 23, 59, 59, 950}));
  // Held across midnight: the reading of 23:59:59.990 still belongs to
  // the 6th when it is written on the 7th.
  files.held.insert(kToday);
  add(reading("2", {2026, 12, 6, 23, 59, 59, 990}));
  add(reading("3", {2026, 12, 7, 0, 0, 0, 20}));
  files.held.clear();
  runUntil(Millis(1000));
  EXPECT_EQ(files.contents[kToday], kHeader +
                                        "2026-12-06;23:59:59.950;1;kg;ustalona;\r\n"
                                        "2026-12-06;23:59:59.990;2;kg;ustalona;\r\n");
  EXPECT_EQ(files.contents[kFolder + "261207.csv"], kHeader + "2026-12-07;00:00:00.020;3;kg;ustalona;\r\n");
}

TEST_F(WeighingLogTest, AFileHeldForThreeSecondsGetsEveryRowInOrderWithoutAFailureShown) {
  files.held.insert(kToday);
  std::string expected = kHeader;
  for (int i = 0; i < 30; ++i) {  // ten readings a second
    runUntil(Millis(100 * i));
    add(at(std::to_string(i), 100 * i));
    expected += logRow(at(std::to_string(i), 100 * i), LogSeparator::Semicolon) + "\r\n";
  }
  EXPECT_EQ(log.waiting(), 30u);
  EXPECT_EQ(files.contents.count(kToday), 0u);
  runUntil(Millis(3000));
  files.held.clear();  // the spreadsheet closes the file
  EXPECT_EQ(log.deadline(), Millis(2900) + WeighingLog::kRetryInterval) << "the retry after the last attempt";
  runUntil(Millis(3100));
  EXPECT_EQ(files.contents[kToday], expected);
  EXPECT_EQ(log.waiting(), 0u);
  EXPECT_EQ(log.deadline(), std::nullopt);
  runUntil(Millis(10'000));
  EXPECT_EQ(failureChanges, 0);
  EXPECT_FALSE(log.failure());
}

TEST_F(WeighingLogTest, TheFailureShowsFromFiveSecondsUntilTheRowsAreIn) {
  files.held.insert(kToday);
  now = Millis(1000);
  add(at("1", 0));
  runUntil(Millis(5999));
  EXPECT_FALSE(log.failure());
  add(at("2", 5999));
  runUntil(Millis(6000));
  ASSERT_TRUE(log.failure());
  EXPECT_EQ(log.failure()->path, kToday);
  EXPECT_EQ(log.failure()->error, 32);
  EXPECT_EQ(failureChanges, 1);

  files.held.clear();
  runUntil(Millis(6500));
  EXPECT_FALSE(log.failure());
  EXPECT_EQ(failureChanges, 2);
  EXPECT_EQ(files.contents[kToday], kHeader + logRow(at("1", 0), LogSeparator::Semicolon) + "\r\n" +
                                        logRow(at("2", 5999), LogSeparator::Semicolon) + "\r\n");

  // A new failure counts its five seconds afresh.
  files.held.insert(kToday);
  add(at("3", 7000));
  runUntil(Millis(6500 + 4999));
  EXPECT_FALSE(log.failure());
  runUntil(Millis(6500 + 5000));
  EXPECT_TRUE(log.failure());
}

TEST_F(WeighingLogTest, AShortWriteIsCutBackToWholeRows) {
  files.shortWrites[kToday] = 1;  // the header
  add(at("1", 0));
  EXPECT_EQ(files.contents[kToday], "");
  runUntil(Millis(200));
  EXPECT_EQ(files.contents[kToday], kHeader + "2026-12-06;14:03:00.000;1;kg;ustalona;\r\n");

  files.shortWrites[kToday] = 1;  // a row
  add(at("2", 300));
  EXPECT_EQ(files.contents[kToday], kHeader + "2026-12-06;14:03:00.000;1;kg;ustalona;\r\n");
  add(at("3", 400));  // tried again first
  EXPECT_EQ(files.contents[kToday], kHeader +
                                        "2026-12-06;14:03:00.000;1;kg;ustalona;\r\n"
                                        "2026-12-06;14:03:00.300;2;kg;ustalona;\r\n"
                                        "2026-12-06;14:03:00.400;3;kg;ustalona;\r\n");
  EXPECT_EQ(files.cutBacks, 2);
}

TEST_F(WeighingLogTest, BeyondTenThousandWaitingRowsTheNewestReadingsAreDropped) {
  files.held.insert(kToday);
  const int count = static_cast<int>(WeighingLog::kMaxWaiting);
  for (int i = 0; i < count; ++i) add(at(std::to_string(i), i));
  for (int i = count; i < count + 5; ++i) EXPECT_FALSE(log.add(at(std::to_string(i), i), LogSeparator::Semicolon, now));
  EXPECT_EQ(log.waiting(), WeighingLog::kMaxWaiting);
  EXPECT_EQ(log.dropped(), 5u);

  files.held.clear();
  add(at("new", count + 10));  // room is made by writing, so it is kept
  std::string expected = kHeader;
  for (int i = 0; i < count; ++i) expected += logRow(at(std::to_string(i), i), LogSeparator::Semicolon) + "\r\n";
  expected += logRow(at("new", count + 10), LogSeparator::Semicolon) + "\r\n";
  EXPECT_TRUE(files.contents[kToday] == expected) << "the oldest ten thousand, then the new one";
}

TEST_F(WeighingLogTest, RowsWaitingForAMissingFolderGoToTheFolderChosenNext) {
  files.unopenable.insert("z:\\gone\\261206.csv");
  log.setFolder("z:\\gone\\");
  add(at("1", 0));
  EXPECT_EQ(log.waiting(), 1u);
  log.setFolder("d:\\dane");
  runUntil(Millis(200));
  EXPECT_EQ(files.contents["d:\\dane\\261206.csv"], kHeader + "2026-12-06;14:03:00.000;1;kg;ustalona;\r\n");
}

TEST(LocalDateTime, ShiftingBackCrossesEveryCalendarBoundary) {
  EXPECT_EQ(shifted({2027, 1, 1, 0, 0, 0, 30}, Millis(-50)), (LocalDateTime{2026, 12, 31, 23, 59, 59, 980}));
  EXPECT_EQ(shifted({2028, 2, 28, 23, 59, 59, 999}, Millis(1)), (LocalDateTime{2028, 2, 29, 0, 0, 0, 0}));
  EXPECT_EQ(logFileName({2026, 3, 7, 1, 2, 3, 4}), "260307.csv");
}

}  // namespace
}  // namespace pondex
