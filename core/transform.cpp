#include "core/transform.h"

namespace pondex {
namespace {

std::string characterWithCode(std::uint8_t code) {
  return code == 0 ? std::string() : std::string(1, static_cast<char>(code));
}

}  // namespace

std::string dotReplacement(const Settings& s) {
  return s.decimalComma != DecimalCommaMode::Off ? "," : ".";
}

std::string crReplacementText(const Settings& s) {
  return characterWithCode(s.crReplacement);
}

std::string lfReplacementText(const Settings& s) {
  return characterWithCode(s.lfReplacement);
}

bool transformChar(const Settings& s, std::string& ch) {
  if (ch.size() != 1) return true;
  const auto code = static_cast<unsigned char>(ch[0]);
  if (code == 13) {
    const bool tabForCr = s.atFrameEnd == FrameEndReaction::EnterTab || s.atFrameEnd == FrameEndReaction::EnterTabEnter;
    ch = tabForCr ? std::string("\t") : crReplacementText(s);
  } else if (code == 10) {
    ch = lfReplacementText(s);
  } else if (ch == ".") {
    ch = dotReplacement(s);
  } else if (!s.textMode && code >= 27 && (code <= 42 || code >= 59)) {
    return false;
  }
  return true;
}

}  // namespace pondex
