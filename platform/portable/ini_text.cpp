#include "platform/portable/ini_text.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace pondex::ini {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

struct Line {
  std::string_view text;
  std::optional<std::string_view> section;  // set on a "[name]" line
  std::string_view key;                     // set on a "key=value" line
  std::optional<std::string_view> value;
};

std::vector<Line> splitLines(std::string_view content) {
  std::vector<Line> lines;
  while (!content.empty()) {
    const auto end = content.find('\n');
    std::string_view raw = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
    Line line{.text = raw};
    const std::string_view t = trim(raw);
    if (!t.empty() && t.front() == '[') {
      const auto close = t.find(']');
      line.section = trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else if (const auto eq = t.find('='); eq != std::string_view::npos) {
      line.key = trim(t.substr(0, eq));
      line.value = trim(t.substr(eq + 1));
    }
    lines.push_back(line);
  }
  return lines;
}

// [begin, end) of the lines that follow the first header of `section`.
struct SectionRange {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionRange> findSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].section && sameName(*lines[i].section, section)) {
      std::size_t end = i + 1;
      while (end < lines.size() && !lines[end].section) ++end;
      return SectionRange{i, end};
    }
  }
  return std::nullopt;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string result;
  for (const auto& l : lines) {
    result += l;
    result += "\r\n";
  }
  return result;
}

ProfileRead copyOut(std::string_view text, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  const std::size_t n = std::min(text.size(), bufferSize - 1);
  return {std::string(text.substr(0, n)), n};
}

}  // namespace

ProfileRead getString(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view defaultValue, std::size_t bufferSize) {
  const auto lines = splitLines(content);
  if (const auto range = findSection(lines, section)) {
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      if (!lines[i].value || !sameName(lines[i].key, key)) continue;
      std::string_view v = *lines[i].value;
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
      }
      return copyOut(v, bufferSize);
    }
  }
  while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  return copyOut(defaultValue, bufferSize);
}

std::string setString(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
  const auto lines = splitLines(content);
  const std::string entry = std::string(key) + "=" + std::string(value);
  std::vector<std::string> out;
  out.reserve(lines.size() + 3);
  for (const auto& l : lines) {
    std::string_view t = l.text;
    if (!t.empty() && t.back() == '\r') t.remove_suffix(1);
    out.emplace_back(t);
  }

  if (const auto range = findSection(lines, section)) {
    std::size_t last = range->header;  // the last non-blank line of the section
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      if (lines[i].value && sameName(lines[i].key, key)) {
        out[i] = std::string(lines[i].key) + "=" + std::string(value);
        return joinLines(out);
      }
      if (!trim(lines[i].text).empty()) last = i;
    }
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(last + 1), entry);
  } else {
    if (!out.empty() && !trim(out.back()).empty()) out.emplace_back();
    out.push_back("[" + std::string(section) + "]");
    out.push_back(entry);
  }
  return joinLines(out);
}

}  // namespace pondex::ini
