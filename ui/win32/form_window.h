#pragma once
// Draws a ui::Form as a real top-level window with child controls, keeps
// the controls in step with the model (it observes every change), and turns
// the user's clicks, typing and focus changes back into model events.
//
// Every control gets a child window, parented to the window of its model
// container; moving a panel into another container is a SetParent. Timers,
// components and menus have no window. Each child's window text is its
// caption, converted once from UTF-8 to UTF-16, so that any system (and a
// screen reader) sees the right letters whatever its code page.
//
// Geometry is in twips, scaled to the window's own DPI; the window's model
// rectangle is its client area. The fonts are the system's message font at
// that DPI, and everything is laid out again when the DPI changes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/form.h"

namespace pondex::win32 {

class FormWindow final : public ui::FormObserver {
 public:
  struct Callbacks {
    // The window is asked to close, by the user (the close box or the
    // system menu) or because the session ends.
    std::function<void(ui::CloseReason reason)> close;
  };

  FormWindow(ui::Form& form, HICON icon, Callbacks callbacks);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  [[nodiscard]] HWND handle() const { return window_.get(); }
  [[nodiscard]] HWND controlHandle(ui::ControlId id) const { return id < hwnds_.size() ? hwnds_[id] : nullptr; }

  void controlChanged(ui::ControlId id, ui::Change what) override;

  // The messages of the window and of its containers, through the
  // window-class helper.
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  void onCommand(HWND child, WORD code);
  // IDOK or IDCANCEL from the dialog manager (Enter, Escape).
  void onDialogKey(WORD command);
  void drawMarker(const DRAWITEMSTRUCT& item);
  // Puts every container's child windows in the model's tab order.
  void arrangeTabOrder();
  void createControl(ui::ControlId id);
  // Every push button of the window is made here, so that one place decides
  // which button control draws them. It must send BN_CLICKED and BN_SETFOCUS
  // to its parent and keep its caption as its window text.
  HWND createButton(ui::ControlId id, const std::wstring& caption);
  HWND createChild(ui::ControlId id, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle);
  HWND createContainer(ui::ControlId id, DWORD exStyle);
  void place(ui::ControlId id);
  void applyValue(ui::ControlId id);
  void applyVisible(ui::ControlId id);
  void applyCaption(ui::ControlId id);
  void applyTabStop(ui::ControlId id);
  void applyFont(ui::ControlId id);
  // New fonts and geometry for `dpi`.
  void rescale(UINT dpi);
  [[nodiscard]] int px(int twips) const;
  [[nodiscard]] std::wstring shownCaption(ui::ControlId id) const;
  ui::ControlId controlOf(HWND hwnd) const;

  ui::Form& form_;
  Callbacks callbacks_;
  UINT dpi_ = 96;
  UniqueGdiObject font_;
  UniqueGdiObject boldFont_;
  UniqueGdiObject markBrush_;  // background of the open section's label
  UniqueWindow owner_;         // hidden owner: keeps the window off the task bar
  UniqueWindow window_;        // destroying it destroys every child
  std::vector<HWND> hwnds_;
  bool updating_ = false;  // the renderer itself is changing a control
};

}  // namespace pondex::win32
