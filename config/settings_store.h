#pragma once
// SettingsStore: the access to the settings file. Nothing is cached: every
// call goes to the file, and the file's path is rebuilt from the program
// directory each time.
//
// readValue and writeValue work on any profile file's own bytes. The
// settings file's operations below take UTF-8 key names and write their
// Polish letters as the Windows-1250 bytes the file holds; values pass as
// they are (numbers, key names, the instrument's commands), except paths,
// which the file keeps in the system's ANSI code page: readPath and
// writePath are where they turn into UTF-8 and back.
#include <cstddef>
#include <functional>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"

namespace pondex {

class SettingsStore {
 public:
  // Room for any path the program writes itself: a folder of up to MAX_PATH
  // characters with the "\" the folder choice appends, plus one more
  // character so that such a value does not fill the buffer, plus the NUL.
  static constexpr std::size_t kReadBufferSize = 260 + 2;

  SettingsStore(ProfileFiles& profiles, const FileSystem& files) : profiles_(profiles), files_(files) {}

  // A value that fills the whole buffer counts as absent: the default is
  // returned, so that a cut-off value is never taken for the real one.
  std::string readValue(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue);
  // Whether the platform wrote the value; callers may ignore it.
  Status writeValue(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);

  // The same on section "USTAWIENIA" of the settings file.
  std::string read(const std::string& key, const std::string& defaultValue);
  void write(const std::string& key, const std::string& value);

  // A path in UTF-8, stored in the ANSI code page. A path that code page
  // cannot spell cannot be stored: check it with unstorable() first.
  std::string readPath(const std::string& key, const std::string& defaultValue);
  void writePath(const std::string& key, const std::string& path);
  // The first character of the path that the file cannot keep (UTF-8), or
  // "" when it can keep them all.
  [[nodiscard]] std::string unstorable(const std::string& path) const;

  // Called after every settings write the platform refused; the caller of
  // write() goes on with the value in memory either way.
  void onWriteFailed(std::function<void()> handler) { writeFailed_ = std::move(handler); }

  [[nodiscard]] std::string settingsPath() const;
  [[nodiscard]] std::string programDirectory() const { return files_.programDirectory(); }

 private:
  ProfileFiles& profiles_;
  const FileSystem& files_;
  std::function<void()> writeFailed_;
};

}  // namespace pondex
