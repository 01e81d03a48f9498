#pragma once
// Scope objects for device contexts and what is selected into them, beside
// the program's general handle aliases: every GetDC has its ReleaseDC, every
// BeginPaint its EndPaint, every SelectObject its way back.
#include <windows.h>

#include "platform/unique_resource.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

using UniqueMemoryDc = UniqueResource<HDC, ::DeleteDC>;  // CreateCompatibleDC

// GetDC with its ReleaseDC: a window's client area, or the whole screen for
// a null window. dc() is null when the system gave none.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) noexcept : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  [[nodiscard]] HDC dc() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Puts an object into a device context and the previous one back at the end.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ != nullptr) ::SelectObject(dc_, previous_);  // fonts and bitmaps: null on failure
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint with its EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND window) noexcept : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  [[nodiscard]] HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

}  // namespace pondex::win32
