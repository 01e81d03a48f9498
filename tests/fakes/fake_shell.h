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
  void showModal(PanelContent shown) override {
    open_ = true;
    content = shown;
    text.clear();
    rows.clear();
    readings.clear();
    if (whileOpen) whileOpen();  // what happens before the user closes it
    open_ = false;
  }
  void append(const std::string& t) override {
    if (open_ && content == PanelContent::ReceivedText) text += t;
  }
  void showReading(const PanelReading& reading) override {
    if (open_ && content == PanelContent::Scale) readings.push_back(reading);
  }
  void addRow(const std::string& row) override {
    if (open_ && content == PanelContent::Scale) rows.push_back(row);
  }
  [[nodiscard]] bool isOpen() const override { return open_; }

  PanelContent content = PanelContent::ReceivedText;
  std::string text;
  std::vector<std::string> rows;
  std::vector<PanelReading> readings;
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
