#pragma once
// Profile files on any system with a standard library: the semantics of
// platform/profile.h over real files. Every call reads (and a write
// rewrites) the whole file; nothing is cached. "\" in a path is taken as a
// directory separator, so the program's own paths work off Windows.
#include "platform/profile.h"

namespace pondex {

class FileProfile final : public ProfileFiles {
 public:
  ProfileRead getString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::size_t bufferSize) override;
  Status writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

}  // namespace pondex
