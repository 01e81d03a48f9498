// Any bytes as a profile file: reading never crashes and stays within the
// buffer, and a value written is read back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/portable/ini_text.h"

namespace {

// A name or value the profile functions can hold: no line breaks, no blanks
// at either end; names also without "=" and "]".
std::string clean(std::string_view s, bool name) {
  std::string out;
  for (char c : s) {
    if (c == '\r' || c == '\n' || c == '\0' || (name && (c == '=' || c == ']' || c == '['))) continue;
    out += c;
  }
  while (!out.empty() && (out.front() == ' ' || out.front() == '\t')) out.erase(0, 1);
  while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  // Layout: buffer size, then section | key | value | file content, split at 0x01.
  const std::size_t buffer = 1 + data[0] % 120;
  std::string_view rest = all.substr(1);
  std::string_view parts[4];
  for (int i = 0; i < 3; ++i) {
    const auto cut = rest.find('\x01');
    parts[i] = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
  }
  parts[3] = rest;
  const std::string content(parts[3]);

  const pondex::ProfileRead r = pondex::ini::getString(content, parts[0], parts[1], "dflt", buffer);
  if (r.text.size() != r.copied || r.copied > buffer - 1) std::abort();

  const std::string section = clean(parts[0], true);
  const std::string key = clean(parts[1], true);
  std::string value = clean(parts[2], false);
  if (section.empty() || key.empty()) return 0;
  // One pair of surrounding quotes is dropped on reading, by design.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) return 0;
  const std::string written = pondex::ini::setString(content, section, key, value);
  const pondex::ProfileRead back = pondex::ini::getString(written, section, key, "<absent>", 4096);
  if (back.text != value) std::abort();
  return 0;
}
