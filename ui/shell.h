#pragma once
// The two features that reach outside the program: the help program and
// the choice of the data folder. Each takes what it needs, so the
// controller calls them from its handlers.
#include <functional>
#include <string>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/shell.h"

namespace pondex::ui {

inline constexpr const char* kHelpProgram = "pondex_help.exe";

// The help program beside the executable.
[[nodiscard]] std::string helpProgramPath(const std::string& programDirectory);
// Starts the help program; a missing one is ignored without a message.
void startHelp(Shell& shell, const FileSystem& files);

// The two parts of the change-directory question and the refusal of a
// folder the settings cannot keep, as the language file gives them.
struct FolderQuestion {
  std::string changeFromText;
  std::string changeToText;
  std::string unstorableFolderText;  // "%1" stands for the character
};

// What the data folder's choice asks of the settings.
struct FolderStore {
  // The first character of a path the settings cannot keep, "" when none.
  std::function<std::string(const std::string&)> unstorable;
  // Takes exactly the new path (to store as the data folder, write
  // "PathDir" and show it).
  std::function<void(const std::string&)> accept;
};

// Lets the user pick a new data folder and confirm it. The chosen path gets
// a final "\"; the current folder chosen again asks nothing. A folder with
// a character the settings cannot keep is refused with a message that
// names the character, and nothing is asked. On Yes the store accepts the
// new path; on No or a cancelled browser nothing happens. True when the
// folder changed.
bool changeDataFolder(Shell& shell, MessageBoxes& boxes, const std::string& dataDirectory,
                      const FolderQuestion& question, const FolderStore& store);

// The refusal's text: the language file's text with the character in place
// of "%1" (after it, quoted, when the text has no "%1"), then the folder.
[[nodiscard]] std::string unstorableFolderMessage(const std::string& text, const std::string& character,
                                                  const std::string& path);

}  // namespace pondex::ui
