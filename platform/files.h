#pragma once
// Directories and files the program touches outside the profile files.
// Paths are UTF-8 texts in the form the program builds them ("c:\kolvat\"),
// in any language.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/result.h"
#include "platform/text.h"

namespace pondex {

// A file opened for writing; closed when the object goes.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all bytes at the end of the file; fails with the system's error
  // number when it refused (a full disk, a vanished network folder).
  virtual Status write(std::span<const std::uint8_t> bytes) = 0;
  virtual Status close() = 0;
  // Writes all bytes at the end of the file or none of them: when the
  // system took only part (a full disk, a vanished network folder), the
  // file is cut back to its length before the call, so no partial record
  // stays, and the call fails with the system's error number.
  virtual Status writeWhole(std::span<const std::uint8_t> bytes) = 0;
};

enum class WriteMode { Append, Replace };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Creates one directory; fails when it could not (it may exist already).
  virtual Status createDirectory(const std::string& path) = 0;
  // True when the path names an existing normal file (not a directory).
  [[nodiscard]] virtual bool isNormalFile(const std::string& path) const = 0;
  // The directory of the program's executable, without a trailing "\"
  // (except at a drive root).
  [[nodiscard]] virtual std::string programDirectory() const = 0;
  // Opens a file for writing; a missing file is created in both modes.
  virtual Result<std::unique_ptr<OutputFile>> openForWriting(const std::string& path, WriteMode mode) = 0;
  // Up to `count` bytes from the start of a file, while others may have it
  // open; fewer when it is shorter, none when it is empty or missing. Fails
  // with the system's error number when the file exists but cannot be
  // read, or its folder is missing.
  virtual Result<std::string> readStart(const std::string& path, std::size_t count) = 0;

  // The system's ANSI code page, in which the settings file keeps the data
  // folder (as the ANSI file functions took it, so older files still read):
  // the UTF-8 form of such bytes, and the bytes of a UTF-8 path.
  [[nodiscard]] virtual std::string fromAnsi(std::string_view ansi) const = 0;
  [[nodiscard]] virtual EncodedText toAnsi(std::string_view utf8) const = 0;
};

}  // namespace pondex
