#include "core/status_marks.h"

namespace pondex {
namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool sameLetters(std::string_view a, std::string_view b, Letters letters) {
  if (a.size() != b.size()) return false;
  if (letters == Letters::Exact) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const StatusMark* markAt(std::string_view field, Place place) {
  for (const auto& m : kStatusMarks) {
    if (allows(m.places, place) && sameLetters(field, m.mark, m.letters)) return &m;
  }
  return nullptr;
}

bool isMark(std::string_view field) {
  return markAt(field, kAnywhere) != nullptr;
}

std::optional<std::string_view> unitNamed(std::string_view field) {
  for (const auto& u : kWeightUnits) {
    if (sameLetters(field, u.spelling, Letters::AnyCase)) return u.name;
  }
  return std::nullopt;
}

std::optional<LineWord> lineWord(std::string_view field) {
  for (const auto& w : kLineWords) {
    if (sameLetters(field, w.word, Letters::AnyCase)) return w.kind;
  }
  return std::nullopt;
}

}  // namespace pondex
