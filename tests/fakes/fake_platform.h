#pragma once
// Fakes of the platform seam for native tests, and one bundle of them.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/portable/code_page.h"
#include "platform/portable/ini_text.h"
#include "tests/fakes/fake_event_loop.h"
#include "tests/fakes/fake_keyboard.h"
#include "tests/fakes/fake_serial.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_sockets.h"
#include "tests/fakes/fake_tray.h"

namespace pondex::fakes {

// The ANSI code page of a Western European Windows (and of the Wine runs).
extern const text::SingleByteCodePage kWindows1252;

// Profile files held in memory, with the real semantics; a test can read
// and plant the bytes of a file.
class MemoryProfiles final : public ProfileFiles {
 public:
  ProfileRead getString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::size_t bufferSize) override {
    return ini::getString(content(file), section, key, defaultValue, bufferSize);
  }
  Status writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
    writes.push_back({file, key, value});
    if (readOnly) return Status::failure(5);  // access denied
    files[file] = ini::setString(content(file), section, key, value);
    return {};
  }
  [[nodiscard]] std::string content(const std::string& file) const {
    auto it = files.find(file);
    return it == files.end() ? std::string{} : it->second;
  }
  // The value as the program would read it back, or "<absent>".
  [[nodiscard]] std::string value(const std::string& file, const std::string& section, const std::string& key) const {
    return ini::getString(content(file), section, key, "<absent>", 4096).text;
  }

  struct Write {
    std::string file, key, value;
  };
  std::map<std::string, std::string> files;
  std::vector<Write> writes;
  bool readOnly = false;
};

class FakeFileSystem final : public FileSystem {
 public:
  class MemoryFile;

  Status createDirectory(const std::string& path) override {
    created.push_back(path);
    return directories.insert(path).second ? Status{} : Status::failure(183);  // already exists
  }
  [[nodiscard]] bool isNormalFile(const std::string& path) const override { return normalFiles.count(path) > 0; }
  [[nodiscard]] std::string programDirectory() const override { return programDir; }
  Result<std::unique_ptr<OutputFile>> openForWriting(const std::string& path, WriteMode mode) override;
  Result<std::string> readStart(const std::string& path, std::size_t count) override;
  [[nodiscard]] std::string fromAnsi(std::string_view ansi) const override { return text::toUtf8(ansi, kWindows1252); }
  [[nodiscard]] EncodedText toAnsi(std::string_view utf8) const override { return text::fromUtf8(utf8, kWindows1252); }

  std::string programDir = "C:\\Pon_dex";
  std::set<std::string> directories;
  std::vector<std::string> created;
  std::set<std::string> normalFiles;
  // Data files by path, and the paths that refuse to open or to write.
  std::map<std::string, std::string> contents;
  std::set<std::string> unopenable;
  std::set<std::string> unwritable;
  std::vector<std::string> opened;
  int openFiles = 0;
  // Paths another program holds open, as a spreadsheet does: they read,
  // but refuse writers with a sharing violation.
  std::set<std::string> held;
  // Paths whose next writes the system takes only half of, with how many;
  // writeWhole then cuts the file back, as its contract says.
  std::map<std::string, int> shortWrites;
  int cutBacks = 0;
};

class FakeMessageBoxes final : public MessageBoxes {
 public:
  struct Shown {
    std::string text, title;
    MessageButtons buttons;
    MessageIcon icon;
  };
  MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    return buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
  }
  std::vector<Shown> shown;
  MessageAnswer answer = MessageAnswer::Yes;
};

class FakeInstance final : public SingleInstance {
 public:
  bool anotherInstanceRunning() override { return otherRunning; }
  bool otherRunning = false;
};

// Every fake, and the Platform bundle over them.
struct FakePlatform {
  FakeEventLoop loop;
  FakeClock clock{loop};
  MemoryProfiles profiles;
  FakeFileSystem files;
  FakeMessageBoxes messages;
  FakeInstance instance;
  FakeTray tray;
  FakeKeyboard keyboard;
  FakeSerialPorts serial{loop};
  FakeSocketLibrary sockets{loop};
  FakeShell shell;
  FakeDataPanel panel;
  FakeForeground foreground;
  Platform platform{loop,     clock,  profiles, files, messages, instance,  tray,
                    keyboard, serial, sockets,  shell, panel,    foreground};

  [[nodiscard]] std::string settingsFile() const { return files.programDir + "\\Pon_dex_Settings.ini"; }
  // A value of section USTAWIENIA of the settings file, or "<absent>".
  [[nodiscard]] std::string setting(const std::string& key) const {
    return profiles.value(settingsFile(), "USTAWIENIA", key);
  }
  void plantSettings(const std::string& content) { profiles.files[settingsFile()] = content; }
};

}  // namespace pondex::fakes
