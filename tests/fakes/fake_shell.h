#pragma once
// The shell, the data panel and the foreground window, scripted by tests.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/foreground.h"
#include "platform/panel.h"
#include "platform/shell.h"

namespace pondex::fakes {

class FakeShell final : public Shell {
 public:
  std::uint32_t startProgram(const std::string& path) override {
    started.push_back(path);
    return 2;  // the file was not found
  }
  std::string browseForFolder(const std::string&) override { return chosenFolder; }
  std::vector<std::string> started;
  std::string chosenFolder;  // "" plays a cancelled browser
};

class FakeDataPanel final : public DataPanel {
 public:
  void showModal() override {
    open_ = true;
    text.clear();
    if (whileOpen) whileOpen();  // what happens before the user closes it
    open_ = false;
  }
  void append(const std::string& t) override {
    if (open_) text += t;
  }
  [[nodiscard]] bool isOpen() const override { return open_; }

  std::string text;
  std::function<void()> whileOpen;

 private:
  bool open_ = false;
};

class FakeForeground final : public Foreground {
 public:
  ForegroundTarget query() override { return target; }
  ForegroundTarget target{.window = 0x100, .rights = TargetRights::SameOrLower, .title = "Notatnik"};
};

}  // namespace pondex::fakes
