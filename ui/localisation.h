#pragma once
// The language file set.lng beside the program: it maps the language keys
// (the Tag of a control) to captions of the main window, and holds the
// messages of the data folder's choice.
//
// Texts are UTF-8 in the control model and Windows-1250 bytes in the file;
// they are converted here. The file is read and written through the profile
// interface with a 100-character buffer: a value of 99 characters or more
// counts as absent.
//
// Controls drawn without a caption (the check boxes whose text is the label
// beside them) share keys with captioned controls; they neither write their
// empty caption into the file nor take a text from it.
#include <cstddef>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "ui/form.h"

namespace pondex::ui {

namespace lang {
inline constexpr const char* kFile = "\\set.lng";
inline constexpr const char* kCaptionSection = "Global";
inline constexpr const char* kMessageSection = "komunikaty";
inline constexpr const char* kChangeFromKey = "zmienKatalog1";
inline constexpr const char* kChangeToKey = "zmienKatalog2";
inline constexpr const char* kUnstorableFolderKey = "znakKatalogu";
// The trailing blanks belong to the question.
inline constexpr const char* kChangeFromDefault = "Zmienić domyślny katalog zapisu danych z ";
inline constexpr const char* kChangeToDefault = "na katalog  ";
// A folder whose name the settings file cannot keep: "%1" stands for the
// character. Short enough that a translation fits the read buffer too.
inline constexpr const char* kUnstorableFolderDefault =
    "Tego katalogu nie można wybrać: ustawienia nie zapiszą znaku „%1” z jego nazwy.";
inline constexpr std::size_t kReadBufferSize = 100;
}  // namespace lang

class Localisation {
 public:
  Localisation(ProfileFiles& profiles, const FileSystem& files) : profiles_(profiles), files_(files) {}

  [[nodiscard]] std::string languagePath() const;
  // True when the language file exists as a normal file.
  [[nodiscard]] bool languageFileExists() const;

  // Writes section "Global" from the current captions: one entry per key,
  // in the order of the key's first control, holding the caption of the
  // last captioned control with that key. False when a write failed (the
  // program then simply runs on its built-in texts).
  bool writeLanguageFile(const Form& form);

  // Gives every keyed control the text of its key; a key that is absent
  // (or too long) leaves the caption as it is. Loads the question parts.
  void applyLanguageFile(Form& form);

  [[nodiscard]] const std::string& changeFromText() const { return changeFromText_; }
  [[nodiscard]] const std::string& changeToText() const { return changeToText_; }
  [[nodiscard]] const std::string& unstorableFolderText() const { return unstorableFolderText_; }

 private:
  // The stored text, or nothing when the key is absent or too long.
  std::optional<std::string> read(const std::string& section, const std::string& key);

  ProfileFiles& profiles_;
  const FileSystem& files_;
  std::string changeFromText_ = lang::kChangeFromDefault;
  std::string changeToText_ = lang::kChangeToDefault;
  std::string unstorableFolderText_ = lang::kUnstorableFolderDefault;
};

// A profile value that reads back exactly as given: a text with blanks at
// either end, or one enclosed in a pair of quotes, is written in quotes,
// because reading drops such blanks and one pair of quotes.
std::string protectProfileValue(const std::string& text);

}  // namespace pondex::ui
