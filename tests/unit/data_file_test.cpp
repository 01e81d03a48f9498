#include "output/data_file.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"

namespace pondex {
namespace {

class DataFileTest : public ::testing::Test {
 protected:
  DataFileTest() { clock.set({2026, 3, 7, 8, 5, 4}); }

  // A transmission of `text`, a character at a time, `later` after the
  // previous one, into a file per day or per second, appended or replaced.
  void transmission(bool perDay, bool replace, const std::string& text, Millis later = Millis(0)) {
    loop.advanceClock(later);
    settings.fileNames = perDay ? FileNaming::PerDay : FileNaming::PerTransmission;
    settings.existingFile = replace ? WriteMode::Replace : WriteMode::Append;
    writer.openDataFile(settings);
    for (char c : text) writer.write(std::string(1, c));
    writer.closeDataFile();
  }
  std::string& file(const std::string& name) { return files.contents["c:\\kolvat\\pon_dex\\" + name]; }

  fakes::FakeEventLoop loop;
  fakes::FakeClock clock{loop};
  fakes::FakeFileSystem files;
  DataFileWriter writer{files, clock};
  Settings settings;
};

TEST_F(DataFileTest, TransmissionsAreAppendedToOrReplaceTheFileOfTheirDayOrSecond) {
  transmission(true, false, "A\r\n");
  transmission(true, false, "B\r\n", Millis(3'600'000));
  EXPECT_EQ(file("260307.txt"), "A\r\nB\r\n");
  transmission(true, true, "C\r\n");
  EXPECT_EQ(file("260307.txt"), "C\r\n");

  transmission(false, false, "1");
  transmission(false, false, "2", Millis(400));
  EXPECT_EQ(file("260307_090504.txt"), "12") << "one second, one name";
  transmission(false, true, "3");
  EXPECT_EQ(file("260307_090504.txt"), "3");
  transmission(false, false, "4", Millis(1000));
  EXPECT_EQ(file("260307_090505.txt"), "4");
  EXPECT_EQ(files.openFiles, 0);
}

TEST_F(DataFileTest, TheNameIsTakenWhenTheFileOpens) {
  clock.set({2026, 3, 7, 23, 59, 59});
  settings.fileNames = FileNaming::PerDay;
  writer.openDataFile(settings);
  loop.advanceClock(Millis(2000));
  writer.write("x");
  writer.closeDataFile();
  EXPECT_EQ(file("260307.txt"), "x");
}

TEST_F(DataFileTest, AFolderStoredWithoutItsBackslashHoldsTheFile) {
  settings.fileNames = FileNaming::PerDay;
  const std::pair<const char*, const char*> folders[] = {
      {"d:\\dane", "d:\\dane\\260307.txt"},
      {"d:\\dane\\", "d:\\dane\\260307.txt"},
      {"d:/dane/", "d:/dane/260307.txt"},
      {"", "260307.txt"},  // a file in the working folder, as ever
  };
  for (const auto& [folder, path] : folders) {
    settings.dataDirectory = folder;
    writer.openDataFile(settings);
    writer.closeDataFile();
    EXPECT_EQ(files.opened.back(), path) << folder;
  }
}

TEST_F(DataFileTest, AFailedOpenLosesOnlyItsTransmission) {
  settings.fileNames = FileNaming::PerDay;
  const std::string path = "c:\\kolvat\\pon_dex\\260307.txt";
  files.unopenable.insert(path);
  writer.openDataFile(settings);
  EXPECT_TRUE(writer.inTransmission()) << "the rest of the transmission does not try again";
  EXPECT_EQ(writer.lastError(), 3u);
  writer.closeDataFile();
  files.unopenable.clear();

  writer.openDataFile(settings);  // tried again
  EXPECT_EQ(writer.state(), DataFileWriter::State::Open);
  writer.write("a");
  writer.closeDataFile();
  EXPECT_EQ(files.contents[path], "a");
}

TEST_F(DataFileTest, AFailedWriteLosesTheRestOfItsTransmission) {
  settings.fileNames = FileNaming::PerDay;
  const std::string path = "c:\\kolvat\\pon_dex\\260307.txt";
  writer.openDataFile(settings);
  writer.write("a");
  files.unwritable.insert(path);
  writer.write("b");
  files.unwritable.clear();
  writer.write("c");
  EXPECT_EQ(writer.state(), DataFileWriter::State::Failed);
  EXPECT_EQ(writer.lastError(), 112u);
  writer.closeDataFile();
  EXPECT_EQ(files.contents[path], "a");
  EXPECT_EQ(files.openFiles, 0);
}

}  // namespace
}  // namespace pondex
