#pragma once
// The small Win32 services: clock, files and folders, message boxes and the
// single-instance test. Paths and texts arrive in UTF-8 and go to the "W"
// functions.
#include <windows.h>

#include <cstdint>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

class Win32Clock final : public Clock {
 public:
  [[nodiscard]] LocalDateTime localNow() const override;
};

class Win32FileSystem final : public FileSystem {
 public:
  Status createDirectory(const std::string& path) override;
  [[nodiscard]] bool isNormalFile(const std::string& path) const override;
  [[nodiscard]] std::string programDirectory() const override;
  Result<std::unique_ptr<OutputFile>> openForWriting(const std::string& path, WriteMode mode) override;
  Result<std::string> readStart(const std::string& path, std::size_t count) override;
  [[nodiscard]] std::string fromAnsi(std::string_view ansi) const override;
  [[nodiscard]] EncodedText toAnsi(std::string_view utf8) const override;
};

// Cuts an open file back to `length` bytes and leaves its pointer there:
// how a write that the system took only part of is undone.
Status cutFileBack(HANDLE file, std::int64_t length);

class Win32MessageBoxes final : public MessageBoxes {
 public:
  // Boxes belong to this window when it is set (they then stay above it).
  void setOwner(HWND owner) { owner_ = owner; }
  MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override;

 private:
  HWND owner_ = nullptr;
};

// A named mutex in the user's session: the first copy holds it for its life.
class Win32SingleInstance final : public SingleInstance {
 public:
  explicit Win32SingleInstance(const wchar_t* name) : name_(name) {}
  bool anotherInstanceRunning() override;

 private:
  const wchar_t* name_;
  UniqueKernelHandle mutex_;
};

}  // namespace pondex::win32
