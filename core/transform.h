#pragma once
// The per-character transformation of received text: numeric filter,
// decimal comma, carriage return and line feed handling. A character may
// become another one or nothing; a character that becomes nothing is still
// "delivered" and simply produces no output.
#include <string>

#include "config/settings.h"

namespace pondex {

// "," when the decimal point is to become a comma, else ".".
std::string dotReplacement(const Settings& s);
// The character with code CrReplacement, or "" when it is 0.
std::string crReplacementText(const Settings& s);
// The character with code LfReplacement, or "" when it is 0.
std::string lfReplacementText(const Settings& s);

// Transforms one received character (a one-character string) in place and
// tells whether it is to be delivered. Numeric data keep only the codes 0..26
// and 43..58 (control characters, "+", ",", "-", ".", "/", digits, ":").
bool transformChar(const Settings& s, std::string& ch);

}  // namespace pondex
