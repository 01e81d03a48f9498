#pragma once
// The help window: the topics in a list on the left, the chosen topic's text
// on the right, and a switch between Polish and English above the list.
// Sizes follow the DPI of the monitor the window is on.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace pondex::help {

enum class Language { Polish, English };

struct WideTopic {
  std::wstring title;
  std::wstring body;  // CRLF line breaks
};

// The topics compiled into the program for `language`; empty when the
// resource is missing or holds no topic.
std::vector<WideTopic> loadTopics(HINSTANCE instance, Language language);

class HelpWindow {
 public:
  static constexpr const wchar_t* kClassName = L"Pon_dex.Help";

  HelpWindow(HINSTANCE instance, HICON icon, Language language);
  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  // Creates and shows the window; false when it could not be made.
  bool open(int showCommand);
  [[nodiscard]] HWND handle() const { return window_.get(); }

  // The window's messages, through the window-class helper.
  LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void createControls();
  void applyDpi(UINT dpi);
  void layout();
  // False, and nothing changed, when the language's topics are missing.
  bool showLanguage(Language language, int topic);
  void showTopic(int index);
  [[nodiscard]] int selectedTopic() const;

  HINSTANCE instance_;
  HICON icon_;
  Language language_;
  std::vector<WideTopic> topics_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  win32::UniqueGdiObject font_;
  win32::UniqueWindow window_;  // released once the system has destroyed it
  HWND polish_ = nullptr;       // the controls belong to the window
  HWND english_ = nullptr;
  HWND list_ = nullptr;
  HWND text_ = nullptr;
};

}  // namespace pondex::help
