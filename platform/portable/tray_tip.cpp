#include "platform/portable/tray_tip.h"

#include <string_view>

#include "platform/portable/code_page.h"

namespace pondex {
namespace {

// Where the longest end of `whole` that fits in `units` UTF-16 units starts.
std::size_t endThatFits(std::string_view whole, std::size_t units) {
  std::size_t from = whole.size();
  std::size_t used = 0;
  while (from > 0) {
    // The character before `from` starts at the last byte that is not a
    // continuation byte (10xxxxxx).
    std::size_t start = from - 1;
    while (start > 0 && (static_cast<unsigned char>(whole[start]) & 0xC0) == 0x80 && from - start < 4) --start;
    const std::size_t width = text::utf16Length(whole.substr(start, from - start));
    if (used + width > units) break;
    used += width;
    from = start;
  }
  return from;
}

}  // namespace

std::string shortenTip(const std::string& tip, std::size_t maxChars) {
  static constexpr std::string_view kEllipsis = "...";
  if (text::utf16Length(tip) <= maxChars) return tip;
  if (maxChars <= kEllipsis.size()) return tip.substr(endThatFits(tip, maxChars));

  // The path starts at the word holding the first backslash ("c:\...").
  // Blanks and backslashes never occur inside a UTF-8 character, so every
  // index found here lies between characters.
  std::size_t head = 0;
  const std::size_t slash = tip.find('\\');
  if (slash != std::string::npos) {
    const std::size_t blank = tip.rfind(' ', slash);
    head = blank == std::string::npos ? 0 : blank + 1;
  }
  const std::size_t fileName = tip.rfind('\\');
  const std::size_t nameLength = fileName == std::string::npos ? 0 : text::utf16Length(tip.substr(fileName));
  std::size_t headLength = text::utf16Length(tip.substr(0, head));
  // Without room for the beginning, the file name and the ellipsis, keep
  // only the end.
  if (headLength + kEllipsis.size() + nameLength > maxChars) head = headLength = 0;

  std::size_t from = endThatFits(tip, maxChars - headLength - kEllipsis.size());
  // Whole folder names read better: start the kept end at a backslash when
  // one lies within it.
  const std::size_t nextSlash = tip.find('\\', from);
  if (nextSlash != std::string::npos && nextSlash <= fileName) from = nextSlash;
  return tip.substr(0, head) + std::string(kEllipsis) + tip.substr(from);
}

}  // namespace pondex
