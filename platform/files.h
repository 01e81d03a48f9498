#pragma once
// Directories and files the program touches outside the profile files.
// Paths are ANSI texts in the form the program builds them ("c:\kolvat\").
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace pondex {

// A file opened for writing; closed when the object goes.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all bytes at the end of the file: 0, or the system's error
  // number when it refused (a full disk, a vanished network folder).
  virtual std::uint32_t write(std::span<const std::uint8_t> bytes) = 0;
  // Closes the file: 0, or the system's error number.
  virtual std::uint32_t close() = 0;
};

enum class WriteMode { Append, Replace };

struct OpenedFile {
  std::unique_ptr<OutputFile> file;  // null when the file could not be opened
  std::uint32_t error = 0;           // the system's reason when it could not
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Creates one directory; false when it could not (it may exist already).
  virtual bool createDirectory(const std::string& path) = 0;
  // True when the path names an existing normal file (not a directory).
  [[nodiscard]] virtual bool isNormalFile(const std::string& path) const = 0;
  // The directory of the program's executable, without a trailing "\"
  // (except at a drive root).
  [[nodiscard]] virtual std::string programDirectory() const = 0;
  // Opens a file for writing; a missing file is created in both modes.
  virtual OpenedFile openForWriting(const std::string& path, WriteMode mode) = 0;
};

}  // namespace pondex
