#include "tests/fakes/fake_platform.h"

namespace pondex::fakes {

// Undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to themselves, as
// Windows converts them.
const text::SingleByteCodePage kWindows1252{{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  //
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  //
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  //
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  //
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  //
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  //
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  //
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  //
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  //
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  //
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  //
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  //
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
}};

class FakeFileSystem::MemoryFile final : public OutputFile {
 public:
  MemoryFile(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) { ++fs_.openFiles; }
  ~MemoryFile() override { (void)close(); }
  Status write(std::span<const std::uint8_t> bytes) override {
    if (closed_) return Status::failure(6);                            // invalid handle
    if (fs_.unwritable.count(path_) > 0) return Status::failure(112);  // the disk is full
    fs_.contents[path_].append(bytes.begin(), bytes.end());
    return {};
  }
  Status writeWhole(std::span<const std::uint8_t> bytes) override {
    if (closed_) return Status::failure(6);
    if (fs_.unwritable.count(path_) > 0) return Status::failure(112);
    std::string& content = fs_.contents[path_];
    if (auto shortWrite = fs_.shortWrites.find(path_); shortWrite != fs_.shortWrites.end() && shortWrite->second > 0) {
      --shortWrite->second;
      const std::size_t before = content.size();
      content.append(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
      content.resize(before);
      ++fs_.cutBacks;
      return Status::failure(112);
    }
    content.append(bytes.begin(), bytes.end());
    return {};
  }
  Status close() override {
    if (!closed_) {
      closed_ = true;
      --fs_.openFiles;
    }
    return {};
  }

 private:
  FakeFileSystem& fs_;
  std::string path_;
  bool closed_ = false;
};

Result<std::unique_ptr<OutputFile>> FakeFileSystem::openForWriting(const std::string& path, WriteMode mode) {
  opened.push_back(path);
  if (unopenable.count(path) > 0) return {nullptr, 3};  // the path was not found
  if (held.count(path) > 0) return {nullptr, 32};       // a sharing violation
  if (mode == WriteMode::Replace) contents[path].clear();
  contents.try_emplace(path);
  return {std::make_unique<MemoryFile>(*this, path), 0};
}

Result<std::string> FakeFileSystem::readStart(const std::string& path, std::size_t count) {
  if (unopenable.count(path) > 0) return {{}, 3};
  const auto it = contents.find(path);
  if (it == contents.end()) return {};
  return {it->second.substr(0, count), 0};
}

}  // namespace pondex::fakes
