#pragma once
// Draws a ui::Form as a real top-level window with child controls, keeps
// the controls in step with the model (it observes every change), and turns
// the user's clicks, typing and focus changes back into model events.
//
// Every control gets a child window, parented to the window of its model
// container; moving a panel into another container is a SetParent. Timers,
// components and menus have no window. Geometry is converted from twips.
#include <windows.h>

#include <functional>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/form.h"

namespace pondex::win32 {

class FormWindow final : public ui::FormObserver {
 public:
  struct Callbacks {
    // The window is asked to close: 0 for the close box or system menu,
    // 2 when the session ends.
    std::function<void(int unloadMode)> close;
    // A mouse message reached a control's window (the tray's receiver).
    std::function<void(ui::ControlId control, UINT message, WPARAM wParam, LPARAM lParam)> mouse;
  };

  FormWindow(ui::Form& form, HICON icon, Callbacks callbacks);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  [[nodiscard]] HWND handle() const { return window_.get(); }
  [[nodiscard]] HWND controlHandle(ui::ControlId id) const { return id < hwnds_.size() ? hwnds_[id] : nullptr; }

  void controlChanged(ui::ControlId id, ui::Change what) override;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void onCommand(HWND child, WORD code);
  void createControl(ui::ControlId id);
  void place(ui::ControlId id);
  void applyValue(ui::ControlId id);
  void applyVisible(ui::ControlId id);
  void applyCaption(ui::ControlId id);
  void applyTabStop(ui::ControlId id);
  ui::ControlId controlOf(HWND hwnd) const;

  ui::Form& form_;
  Callbacks callbacks_;
  HFONT font_;
  UniqueWindow owner_;   // hidden owner: keeps the window off the task bar
  UniqueWindow window_;  // destroying it destroys every child
  std::vector<HWND> hwnds_;
  bool updating_ = false;  // the renderer itself is changing a control
};

}  // namespace pondex::win32
