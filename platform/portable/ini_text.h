#pragma once
// The profile-string semantics of platform/profile.h applied to the bytes of
// one INI-style file. Shared by the file-backed implementation used off
// Windows and by the in-memory fake of the tests.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace pondex::ini {

ProfileRead getString(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view defaultValue, std::size_t bufferSize);

// The file's new content after writing key=value into section. Lines end
// in CR LF; an existing key keeps its spelling and place.
std::string setString(std::string_view content, std::string_view section, std::string_view key, std::string_view value);

}  // namespace pondex::ini
