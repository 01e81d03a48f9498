#include "platform/portable/file_profile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/portable/ini_text.h"

namespace pondex {
namespace {

std::string nativePath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string readAll(const std::string& path) {
  std::ifstream in(nativePath(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

ProfileRead FileProfile::getString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& defaultValue, std::size_t bufferSize) {
  return ini::getString(readAll(file), section, key, defaultValue, bufferSize);
}

Status FileProfile::writeString(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& value) {
  const std::string content = ini::setString(readAll(file), section, key, value);
  std::ofstream out(nativePath(file), std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  // The standard library keeps no system error: report "cannot write".
  return out ? Status{} : Status::failure(29);
}

}  // namespace pondex
