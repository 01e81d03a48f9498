#include "tests/fakes/fake_platform.h"

namespace pondex::fakes {

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
  if (mode == WriteMode::Replace) contents[path].clear();
  contents.try_emplace(path);
  return {std::make_unique<MemoryFile>(*this, path), 0};
}

}  // namespace pondex::fakes
