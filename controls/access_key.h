#pragma once
// Access keys of captions: "&START" is pressed with Alt+S.
#include <optional>
#include <string_view>

namespace pondex::controls {

// The lower-cased character after the first "&" that marks one. "&&" is a
// literal ampersand (it is drawn as "&"), so it marks nothing and the search
// goes on after it; an "&" at the very end marks nothing either.
[[nodiscard]] std::optional<wchar_t> accessKeyOf(std::wstring_view caption);

// Lower case for the letters captions use: ASCII, Latin-1 and Latin
// Extended-A (which holds the Polish letters). Others come back unchanged.
[[nodiscard]] wchar_t lowerCase(wchar_t c);

}  // namespace pondex::controls
