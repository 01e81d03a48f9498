#include "platform/portable/tray_tip.h"

#include <string_view>

namespace pondex {

std::string shortenTip(const std::string& tip, std::size_t maxChars) {
  static constexpr std::string_view kEllipsis = "...";
  if (tip.size() <= maxChars) return tip;
  if (maxChars <= kEllipsis.size()) return tip.substr(tip.size() - maxChars);

  // The path starts at the word holding the first backslash ("c:\...").
  std::size_t head = 0;
  const std::size_t slash = tip.find('\\');
  if (slash != std::string::npos) {
    const std::size_t blank = tip.rfind(' ', slash);
    head = blank == std::string::npos ? 0 : blank + 1;
  }
  const std::size_t fileName = tip.rfind('\\');
  const std::size_t nameLength = fileName == std::string::npos ? 0 : tip.size() - fileName;
  // Without room for the beginning, the file name and the ellipsis, keep
  // only the end.
  if (head + kEllipsis.size() + nameLength > maxChars) head = 0;

  const std::size_t room = maxChars - head - kEllipsis.size();
  std::size_t from = tip.size() - room;
  // Whole folder names read better: start the kept end at a backslash when
  // one lies within it.
  const std::size_t nextSlash = tip.find('\\', from);
  if (nextSlash != std::string::npos && nextSlash <= fileName) from = nextSlash;
  return tip.substr(0, head) + std::string(kEllipsis) + tip.substr(from);
}

}  // namespace pondex
