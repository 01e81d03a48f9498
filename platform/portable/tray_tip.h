#pragma once
// The tip over the tray icon: the record holds only so many characters.
#include <cstddef>
#include <string>

namespace pondex {

// A UTF-8 tip of at most `maxChars` UTF-16 units, as the record counts
// them; a cut never splits a character. A longer tip keeps its beginning up
// to the path it names (when the room allows) and the end of that path, so
// that the file name stays readable: "Pon_dex - ...\path\yymmdd.txt".
[[nodiscard]] std::string shortenTip(const std::string& tip, std::size_t maxChars);

}  // namespace pondex
