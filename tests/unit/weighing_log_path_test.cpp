// The weighing log and the panel's scale view behind the real controller,
// in virtual time: which readings become rows, in which file, at which
// time, with which separator, what file output writes instead of its
// data files, and what the window shows while the file is held.
#include <string>
#include <vector>

#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

const std::string kLogged = "TYLKO WAGA=1\r\nDZIENNIK=1\r\nKoniec ramki=0\r\n";
const std::string kSettledLogged = kLogged + "TYLKO STABILNA=1\r\n";
const std::string kToday = "c:\\kolvat\\pon_dex\\261206.csv";
const std::string kHeader = "data;godzina;masa;jednostka;stan;odpowied\x9F\r\n";

std::string twoDigits(int n) {
  return std::to_string(n + 100).substr(1);
}

class WeighingLogPathTest : public ControllerFixture {
 protected:
  // `line` arrives whole, its last byte at `at` after the fixture's start.
  void lineAt(Millis at, const std::string& line) { scale.sendAt(at, line); }
  [[nodiscard]] std::string logFile(const std::string& path = kToday) {
    const auto found = fake.files.contents.find(path);
    return found == fake.files.contents.end() ? "" : found->second;
  }
  [[nodiscard]] bool anyFileEndingIn(const std::string& suffix) const {
    for (const auto& [path, content] : fake.files.contents) {
      if (path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return true;
      }
    }
    return false;
  }
};

TEST_F(WeighingLogPathTest, EachSettledReadingTypedIsARowAtTheTimeItsLineEnded) {
  listen(kSettledLogged);
  lineAt(Millis(1000), "S D      10.100 kg\r\n");
  lineAt(Millis(1080), "S S      12.345 kg\r\n");
  lineAt(Millis(1160), "S S      12.345 kg\r\n");
  lineAt(Millis(2500), "S S       7.125 kg\r\n");
  fake.loop.runFor(Millis(3000));
  EXPECT_EQ(typed(), "12,345\r7,125\r");
  EXPECT_EQ(logFile(), kHeader +
                           "2026-12-06;08:00:01.080;12,345;kg;ustalona;\r\n"
                           "2026-12-06;08:00:02.500;7,125;kg;ustalona;\r\n");
  EXPECT_EQ(fake.files.openFiles, 0) << "the log is not held open between readings";
}

TEST_F(WeighingLogPathTest, WithoutSettledOnlyMovingReadingsAreRowsToo) {
  listen(kLogged);
  lineAt(Millis(1000), "S D      10.100 kg\r\n");
  lineAt(Millis(1100), "S S      12.345 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(logFile(), kHeader +
                           "2026-12-06;08:00:01.000;10,100;kg;nieustalona;\r\n"
                           "2026-12-06;08:00:01.100;12,345;kg;ustalona;\r\n");
}

// A point as the decimal mark: a comma between the fields, as a
// spreadsheet that reads a point takes them.
TEST_F(WeighingLogPathTest, WithoutTheDecimalCommaTheFieldsAreSeparatedByCommas) {
  listen(kLogged + "ZMIANA=0\r\n");
  lineAt(Millis(1000), "S S      12.345 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(logFile(), "data,godzina,masa,jednostka,stan,odpowied\x9F\r\n2026-12-06,08:00:01.000,12.345,kg,ustalona,\r\n");
}

// The answer to F9 is marked in the last column, and only that one.
TEST_F(WeighingLogPathTest, TheAnswerToTheReadKeyIsMarked) {
  listen(kHotKeysOn + kSettledLogged);
  lineAt(Millis(500), "S S       5.000 kg\r\n");
  fake.loop.runFor(Millis(1000));
  fake.keyboard.asyncStates[120] = static_cast<std::int16_t>(0x8000);
  for (int i = 0; i < 60 && scale.writes.empty(); ++i) fake.loop.runFor(Millis(10));
  fake.keyboard.asyncStates[120] = 0;
  ASSERT_FALSE(scale.writes.empty());
  scale.sendAt(scale.writeTimes.front() + Millis(100), "S S       5.000 kg\r\n");
  fake.loop.runFor(Millis(3000));
  scale.sendAt(fake.loop.now() + Millis(10), "S S       6.000 kg\r\n");
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "5,000\r5,000\r6,000\r");
  const std::string log = logFile();
  EXPECT_NE(log.find(";5,000;kg;ustalona;\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(";5,000;kg;ustalona;tak\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(";6,000;kg;ustalona;\r\n"), std::string::npos) << log;
}

// A line that ends just before midnight belongs to the day it ended in,
// even when the reading is decided after midnight (an unended line, at
// the silence).
TEST_F(WeighingLogPathTest, AReadingJustBeforeMidnightStaysInItsDay) {
  fake.clock.set({2026, 12, 6, 23, 59, 58, 250});
  listen(kLogged);
  lineAt(Millis(1700), "S S       1.000 kg");  // no line end: read at the silence
  lineAt(Millis(2600), "S S       2.000 kg\r\n");
  fake.loop.runFor(Millis(3000));
  const std::string yesterday = logFile();
  const std::string today = logFile("c:\\kolvat\\pon_dex\\261207.csv");
  EXPECT_EQ(yesterday, kHeader + "2026-12-06;23:59:59.950;1,000;kg;ustalona;\r\n");
  EXPECT_EQ(today, kHeader + "2026-12-07;00:00:00.850;2,000;kg;ustalona;\r\n");
}

TEST_F(WeighingLogPathTest, FileOutputWritesTheLogInsteadOfItsDataFiles) {
  listen(kLogged + "plik=1\r\nplik stat=0\r\n");
  lineAt(Millis(1000), "S S      12.345 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(logFile(), kHeader + "2026-12-06;08:00:01.000;12,345;kg;ustalona;\r\n");
  EXPECT_FALSE(anyFileEndingIn(".txt"));
  EXPECT_TRUE(fake.keyboard.events.empty());
  EXPECT_EQ(form.caption(controls.dataFolderValue), kToday);
}

struct NoLog {
  const char* why;
  std::string settings;
};
void PrintTo(const NoLog& n, std::ostream* os) {
  *os << n.why;
}
class NoLogTest : public WeighingLogPathTest, public ::testing::WithParamInterface<NoLog> {};

TEST_P(NoLogTest, NothingIsLogged) {
  listen(GetParam().settings);
  lineAt(Millis(1000), "S S      12.345 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_FALSE(typed().empty());
  EXPECT_FALSE(anyFileEndingIn(".csv"));
}

INSTANTIATE_TEST_SUITE_P(
    OffOrOutsideTheWeightMode, NoLogTest,
    ::testing::Values(NoLog{"the key absent", "TYLKO WAGA=1\r\n"}, NoLog{"the key off", "TYLKO WAGA=1\r\nDZIENNIK=0\r\n"},
                      NoLog{"frame mode", "DZIENNIK=1\r\n"}));

// A spreadsheet holds the file: the rows wait, in order, and go in when it
// lets go; the window says so only once the failure lasts 5 s.
TEST_F(WeighingLogPathTest, RowsWaitWhileTheFileIsHeldAndTheFailureShowsAfterFiveSeconds) {
  listen(kLogged);
  const std::string folderShown = form.caption(controls.dataFolderValue);
  fake.files.held.insert(kToday);
  const Millis t0 = fake.loop.now();
  for (int i = 0; i < 20; ++i) scale.sendAt(t0 + Millis(300) * i + Millis(1), "S D " + std::to_string(i) + ".0 kg\r\n");
  fake.loop.runFor(Millis(4900));
  EXPECT_EQ(form.caption(controls.dataFolderValue), folderShown) << "not yet 5 s";
  fake.loop.runFor(Millis(400));
  EXPECT_NE(form.caption(controls.dataFolderValue).find(kToday), std::string::npos);
  EXPECT_NE(form.caption(controls.dataFolderValue), kToday) << "shown as a failure";
  fake.files.held.clear();
  fake.loop.runFor(Millis(1000));
  std::string expected = kHeader;
  for (int i = 0; i < 20; ++i) {
    const auto time = shifted({2026, 12, 6, 8, 0, 0}, t0 + Millis(1 + 300 * i));
    expected += "2026-12-06;08:00:" + twoDigits(time.second) + "." + std::to_string(time.millisecond + 1000).substr(1) +
                ";" + std::to_string(i) + ",0;kg;nieustalona;\r\n";
  }
  EXPECT_EQ(logFile(), expected);
  EXPECT_EQ(form.caption(controls.dataFolderValue), kToday) << "the failure cleared";
}

// The panel in weight mode: every reading recognised goes to the picture,
// moving ones included, and each reading taken is a row of the list in
// the log's words, whether or not the log is on.
TEST_F(WeighingLogPathTest, ThePanelShowsEveryReadingAndListsThoseTaken) {
  listen("TYLKO WAGA=1\r\nTYLKO STABILNA=1\r\n");
  fake.panel.whileOpen = [&] {
    const Millis t0 = fake.loop.now();
    scale.sendAt(t0 + Millis(100), "S D 2.0 kg\r\n");
    scale.sendAt(t0 + Millis(200), "S S 1.0 kg\r\n");
    fake.loop.runFor(Millis(1000));
  };
  form.userClick(controls.dataPanelBox);
  EXPECT_EQ(fake.panel.content, PanelContent::Scale);
  ASSERT_EQ(fake.panel.readings.size(), 2u);
  EXPECT_EQ(fake.panel.readings[0].number, "2,0");
  EXPECT_FALSE(fake.panel.readings[0].settled);
  EXPECT_EQ(fake.panel.readings[1].unit, "kg");
  EXPECT_TRUE(fake.panel.readings[1].settled);
  EXPECT_LT(fake.panel.readings[0].at, fake.panel.readings[1].at);
  ASSERT_EQ(fake.panel.rows.size(), 1u);
  EXPECT_NE(fake.panel.rows[0].find(";1,0;kg;ustalona;"), std::string::npos) << fake.panel.rows[0];
  EXPECT_FALSE(anyFileEndingIn(".csv"));
}

TEST_F(WeighingLogPathTest, OutsideTheWeightModeThePanelShowsTheText) {
  listen("DZIENNIK=1\r\nLF=0\r\n");
  fake.panel.whileOpen = [&] {
    scale.sendAt(fake.loop.now() + Millis(100), "S S 1.0 kg\r\n");
    fake.loop.runFor(Millis(1000));
  };
  form.userClick(controls.dataPanelBox);
  EXPECT_EQ(fake.panel.content, PanelContent::ReceivedText);
  EXPECT_EQ(fake.panel.text, "S S 1,0 kg\r");
  EXPECT_TRUE(fake.panel.readings.empty() && fake.panel.rows.empty());
}

}  // namespace
}  // namespace pondex
