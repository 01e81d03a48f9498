#include "ui/shell.h"

#include <algorithm>
#include <string_view>

namespace pondex::ui {
namespace {

char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Folder names differ in case between what the user typed into the settings
// ("c:\kolvat\") and what the shell reports ("C:\kolvat\"); the file system
// treats them as one folder, and so does the question.
bool sameFolder(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

}  // namespace

std::string helpProgramPath(const std::string& programDirectory) {
  // A drive root already ends with its "\" ("C:\").
  if (!programDirectory.empty() && programDirectory.back() == '\\') return programDirectory + kHelpProgram;
  return programDirectory + "\\" + kHelpProgram;
}

void startHelp(Shell& shell, const FileSystem& files) {
  // A missing or broken help program is deliberately not reported.
  (void)shell.startProgram(helpProgramPath(files.programDirectory()));
}

std::string unstorableFolderMessage(const std::string& text, const std::string& character, const std::string& path) {
  static constexpr std::string_view kPlace = "%1";
  std::string message = text;
  if (const auto at = message.find(kPlace); at != std::string::npos) {
    message.replace(at, kPlace.size(), character);
  } else {
    message += " „" + character + "”";
  }
  return message + "\r\n" + path;
}

bool changeDataFolder(Shell& shell, MessageBoxes& boxes, const std::string& dataDirectory,
                      const FolderQuestion& question, const FolderStore& store) {
  std::string path = shell.browseForFolder("");
  if (path.empty()) return false;
  if (path.back() != '\\') path += '\\';
  if (sameFolder(path, dataDirectory)) return false;
  if (const std::string character = store.unstorable ? store.unstorable(path) : ""; !character.empty()) {
    (void)boxes.show(unstorableFolderMessage(question.unstorableFolderText, character, path), "", MessageButtons::Ok,
                     MessageIcon::Exclamation);
    return false;
  }
  const std::string text =
      question.changeFromText + "  " + dataDirectory + "\r\n" + question.changeToText + "  " + path;
  if (boxes.show(text, "", MessageButtons::YesNo, MessageIcon::None) != MessageAnswer::Yes) return false;
  if (store.accept) store.accept(path);
  return true;
}

}  // namespace pondex::ui
