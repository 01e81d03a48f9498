#include "tests/fakes/fake_platform.h"

namespace pondex::fakes {

class FakeFileSystem::MemoryFile final : public OutputFile {
 public:
  MemoryFile(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) { ++fs_.openFiles; }
  ~MemoryFile() override { close(); }
  std::uint32_t write(std::span<const std::uint8_t> bytes) override {
    if (closed_) return 6;                            // invalid handle
    if (fs_.unwritable.count(path_) > 0) return 112;  // the disk is full
    fs_.contents[path_].append(bytes.begin(), bytes.end());
    return 0;
  }
  std::uint32_t close() override {
    if (!closed_) {
      closed_ = true;
      --fs_.openFiles;
    }
    return 0;
  }

 private:
  FakeFileSystem& fs_;
  std::string path_;
  bool closed_ = false;
};

OpenedFile FakeFileSystem::openForWriting(const std::string& path, WriteMode mode) {
  opened.push_back(path);
  if (unopenable.count(path) > 0) return {nullptr, 3};  // the path was not found
  if (mode == WriteMode::Replace) contents[path].clear();
  contents.try_emplace(path);
  return {std::make_unique<MemoryFile>(*this, path), 0};
}

}  // namespace pondex::fakes
