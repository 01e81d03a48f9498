#include "ui/localisation.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/portable/code_page.h"

namespace pondex::ui {
namespace {

bool sameKey(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

bool takesPart(const Form& form, ControlId id) {
  return !form.tag(id).empty() && form.captionShown(id);
}

std::string inFile(const std::string& text) {
  return text::fromUtf8(text, text::kWindows1250).bytes;
}

}  // namespace

std::string protectProfileValue(const std::string& text) {
  if (text.empty()) return text;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
  if (blank(text.front()) || blank(text.back()) || quoted) return '"' + text + '"';
  return text;
}

std::string Localisation::languagePath() const {
  return files_.programDirectory() + lang::kFile;
}

bool Localisation::languageFileExists() const {
  return files_.isNormalFile(languagePath());
}

bool Localisation::writeLanguageFile(const Form& form) {
  struct Entry {
    std::string key;
    std::optional<std::string> text;
  };
  // Every keyed control reserves its key's place, captionless ones too, so
  // the file lists the keys in control order; the last caption wins.
  std::vector<Entry> entries;
  for (ControlId id = 1; id < form.size(); ++id) {
    const std::string& key = form.tag(id);
    if (key.empty()) continue;
    auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return sameKey(e.key, key); });
    if (it == entries.end()) it = entries.insert(entries.end(), Entry{key, std::nullopt});
    if (takesPart(form, id)) it->text = form.caption(id);
  }
  const std::string path = languagePath();
  bool allWritten = true;
  for (const auto& e : entries) {
    if (!e.text) continue;
    if (!profiles_.writeString(path, lang::kCaptionSection, inFile(e.key), protectProfileValue(inFile(*e.text))).ok())
      allWritten = false;
  }
  return allWritten;
}

std::optional<std::string> Localisation::read(const std::string& section, const std::string& key) {
  const std::string path = languagePath();
  const std::string storedKey = inFile(key);
  ProfileRead r = profiles_.getString(path, section, storedKey, "", lang::kReadBufferSize);
  if (r.copied >= lang::kReadBufferSize - 1) return std::nullopt;
  if (r.copied == 0) {
    // Empty or absent: a default that no stored empty value can give tells.
    if (profiles_.getString(path, section, storedKey, "-", lang::kReadBufferSize).copied != 0) return std::nullopt;
    return std::string();
  }
  r.text.resize(std::min(r.copied, r.text.size()));
  return text::toUtf8(r.text, text::kWindows1250);
}

void Localisation::applyLanguageFile(Form& form) {
  for (ControlId id = 1; id < form.size(); ++id) {
    if (!takesPart(form, id)) continue;
    if (auto text = read(lang::kCaptionSection, form.tag(id))) form.setCaption(id, std::move(*text));
  }
  changeFromText_ = read(lang::kMessageSection, lang::kChangeFromKey).value_or(lang::kChangeFromDefault);
  changeToText_ = read(lang::kMessageSection, lang::kChangeToKey).value_or(lang::kChangeToDefault);
  unstorableFolderText_ =
      read(lang::kMessageSection, lang::kUnstorableFolderKey).value_or(lang::kUnstorableFolderDefault);
}

}  // namespace pondex::ui
