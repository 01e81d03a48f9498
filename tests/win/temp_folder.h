#pragma once
// A folder of the temporary directory for one test, removed with what was
// made in it; its name may hold any character, and so may the files'.
// Paths are UTF-8, as the program holds them.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/text_win32.h"

namespace pondex::win32 {

class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    path_ = narrow(temp) + name + "-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
    ::CreateDirectoryW(widen(path_).c_str(), nullptr);
  }
  ~TempFolder() {
    for (const auto& f : made_) {
      ::SetFileAttributesW(widen(f).c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(widen(f).c_str());
    }
    ::RemoveDirectoryW(widen(path_).c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }
  // A file's path in the folder (removed at the end, with its ".new").
  std::string file(const std::string& name) {
    made_.push_back(path_ + "\\" + name);
    made_.push_back(made_.back() + ".new");
    return made_[made_.size() - 2];
  }

  static void plant(const std::string& file, const std::string& bytes) {
    const HANDLE h = ::CreateFileW(widen(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    ::CloseHandle(h);
  }
  static std::string contents(const std::string& file) {
    // Shared as a well-behaved reader shares: the file may be replaced meanwhile.
    const HANDLE h =
        ::CreateFileW(widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<none>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(h);
    return bytes;
  }
  static bool exists(const std::string& file) {
    return ::GetFileAttributesW(widen(file).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  std::string path_;
  std::vector<std::string> made_;
};

}  // namespace pondex::win32
