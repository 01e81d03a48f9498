#include "output/data_file.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"

namespace pondex {
namespace {

class DataFileTest : public ::testing::Test {
 protected:
  DataFileTest() { clock.set({2026, 3, 7, 9, 5, 4}); }

  void transmission(const std::string& text) {
    writer.OpenDataFile(settings);
    for (char c : text) writer.WriteDataChar(std::string(1, c));
    writer.CloseDataFile();
  }

  fakes::FakeEventLoop loop;
  fakes::FakeClock clock{loop};
  fakes::FakeFileSystem files;
  DataFileWriter writer{files, clock};
  Settings settings;
};

TEST(DataFileName, DayOrDayAndTimeWithTwoDigitsEach) {
  EXPECT_EQ(dataFileName({2026, 3, 7, 9, 5, 4}, true), "260307.txt");
  EXPECT_EQ(dataFileName({2026, 3, 7, 9, 5, 4}, false), "260307_090504.txt");
  EXPECT_EQ(dataFileName({2100, 12, 31, 23, 59, 59}, false), "001231_235959.txt");
}

TEST_F(DataFileTest, PerDayFileAppendsOrKeepsOnlyTheLastTransmission) {
  settings.StaticFileName = -1;
  settings.FileWriteMode = 0;
  transmission("A\r\n");
  loop.advanceClock(Millis(3'600'000));
  transmission("B\r\n");
  EXPECT_EQ(files.contents["c:\\kolvat\\pon_dex\\260307.txt"], "A\r\nB\r\n");
  settings.FileWriteMode = 1;
  transmission("C\r\n");
  EXPECT_EQ(files.contents["c:\\kolvat\\pon_dex\\260307.txt"], "C\r\n");
  EXPECT_EQ(files.openFiles, 0);
}

TEST_F(DataFileTest, PerTransmissionNamesCollideWithinOneSecond) {
  settings.StaticFileName = 0;
  settings.FileWriteMode = 0;
  transmission("1");
  loop.advanceClock(Millis(400));
  transmission("2");
  EXPECT_EQ(files.contents["c:\\kolvat\\pon_dex\\260307_090504.txt"], "12");
  settings.FileWriteMode = 1;
  transmission("3");
  EXPECT_EQ(files.contents["c:\\kolvat\\pon_dex\\260307_090504.txt"], "3");
  loop.advanceClock(Millis(1000));
  transmission("4");
  EXPECT_EQ(files.contents["c:\\kolvat\\pon_dex\\260307_090505.txt"], "4");
}

TEST_F(DataFileTest, TheNameIsTakenWhenTheFileOpensAndGluedToTheFolderAsStored) {
  clock.set({2026, 3, 7, 23, 59, 59});
  settings.StaticFileName = -1;
  settings.DataDirectory = "d:\\dane";
  writer.OpenDataFile(settings);
  loop.advanceClock(Millis(2000));
  writer.WriteDataChar("x");
  writer.CloseDataFile();
  EXPECT_EQ(files.contents["d:\\dane260307.txt"], "x");
}

TEST_F(DataFileTest, AFailedOpenLosesItsTransmissionAndAFailedWriteTheRestOfIt) {
  settings.StaticFileName = -1;
  const std::string path = "c:\\kolvat\\pon_dex\\260307.txt";
  files.unopenable.insert(path);
  writer.OpenDataFile(settings);
  EXPECT_TRUE(writer.inTransmission());
  EXPECT_EQ(writer.state(), DataFileWriter::State::Failed);
  EXPECT_EQ(writer.lastError(), 3u);
  writer.WriteDataChar("x");
  writer.CloseDataFile();
  EXPECT_FALSE(writer.inTransmission());
  files.unopenable.clear();

  writer.OpenDataFile(settings);  // tried again
  writer.WriteDataChar("a");
  files.unwritable.insert(path);
  writer.WriteDataChar("b");
  files.unwritable.clear();
  writer.WriteDataChar("c");
  EXPECT_EQ(writer.state(), DataFileWriter::State::Failed);
  EXPECT_EQ(writer.lastError(), 112u);
  writer.CloseDataFile();
  EXPECT_EQ(files.contents[path], "a");
  EXPECT_EQ(files.openFiles, 0);
}

}  // namespace
}  // namespace pondex
