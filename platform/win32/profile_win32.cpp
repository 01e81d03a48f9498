#include "platform/win32/profile_win32.h"

#include <windows.h>

#include "platform/portable/ini_text.h"
#include "platform/win32/handles.h"
#include "platform/win32/text_win32.h"

namespace pondex::win32 {
namespace {

constexpr int kAttempts = 10;
constexpr DWORD kPauseMs = 20;
// Far beyond any settings or language file: a larger file is not ours.
constexpr LONGLONG kLargestFile = 1 << 20;
// What a replacing file keeps of the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool heldByAnother(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

struct FileBytes {
  std::string bytes;
  DWORD error = 0;
};

FileBytes readOpen(HANDLE file) {
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file, &size) == FALSE) return {{}, ::GetLastError()};
  if (size.QuadPart > kLargestFile) return {{}, ERROR_FILE_TOO_LARGE};
  FileBytes result;
  result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < result.bytes.size()) {
    DWORD got = 0;
    if (::ReadFile(file, result.bytes.data() + done, static_cast<DWORD>(result.bytes.size() - done), &got, nullptr) ==
        FALSE) {
      return {{}, ::GetLastError()};
    }
    if (got == 0) break;  // shorter than it was a moment ago
    done += got;
  }
  result.bytes.resize(done);
  return result;
}

FileBytes readWhole(const std::wstring& path) {
  for (int attempt = 1;; ++attempt) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return readOpen(file.get());
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    if (!heldByAnother(error) || attempt == kAttempts) return {{}, error};
    ::Sleep(kPauseMs);
  }
}

Status writeWhole(const std::wstring& path, const std::string& bytes, DWORD attributes) {
  const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return lastError();
  DWORD written = 0;
  if (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) == FALSE) {
    return lastError();
  }
  if (written != bytes.size()) return Status::failure(ERROR_HANDLE_DISK_FULL);
  // On the disk before it takes the old file's place.
  if (::FlushFileBuffers(file.get()) == FALSE) return lastError();
  return {};
}

Status replace(const std::wstring& fresh, const std::wstring& path) {
  for (int attempt = 1;; ++attempt) {
    if (::MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE) {
      return {};
    }
    const DWORD error = ::GetLastError();
    // Windows says "access denied" for a file open without delete sharing.
    if ((!heldByAnother(error) && error != ERROR_ACCESS_DENIED) || attempt == kAttempts) {
      return Status::failure(static_cast<int>(error));
    }
    ::Sleep(kPauseMs);
  }
}

}  // namespace

ProfileRead Win32Profiles::getString(const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& defaultValue, std::size_t bufferSize) {
  return ini::getString(readWhole(widen(file)).bytes, section, key, defaultValue, bufferSize);
}

Status Win32Profiles::writeString(const std::string& file, const std::string& section, const std::string& key,
                                  const std::string& value) {
  const std::wstring path = widen(file);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return Status::failure(ERROR_ACCESS_DENIED);
  }
  const FileBytes current = readWhole(path);
  if (current.error != 0) return Status::failure(static_cast<int>(current.error));

  const std::wstring fresh = path + L".new";
  Status status =
      writeWhole(fresh, ini::setString(current.bytes, section, key, value), exists ? attributes & kKeptAttributes : 0);
  if (status.ok()) status = replace(fresh, path);
  if (!status.ok()) (void)::DeleteFileW(fresh.c_str());
  return status;
}

}  // namespace pondex::win32
