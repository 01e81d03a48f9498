#pragma once
// The profile-string operations of the two INI-style files, with the
// semantics of GetPrivateProfileStringA / WritePrivateProfileStringA:
// - section and key names compare without regard to letter case;
// - blanks around a value are dropped, and so is one pair of matching
//   quotes (' or ") around it;
// - trailing blanks of the default are dropped;
// - the value (or default) is cut to bufferSize - 1 characters, and
//   `copied` tells how many were copied;
// - writing creates the file, the section and the key as needed and
//   replaces an existing value (the last write wins).
// The file's path is UTF-8; section, key, value and default are the file's
// own bytes, which nothing converts (the callers know their code page).
#include <cstddef>
#include <string>

#include "platform/result.h"

namespace pondex {

struct ProfileRead {
  std::string text;
  std::size_t copied = 0;
};

class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  virtual ProfileRead getString(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& defaultValue, std::size_t bufferSize) = 0;
  virtual Status writeString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

}  // namespace pondex
