#pragma once
// Owners of the GDI resources the custom controls draw with, beside the
// program's general handle aliases.
#include <windows.h>

#include "platform/unique_resource.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

using UniqueMemoryDc = UniqueResource<HDC, ::DeleteDC>;  // CreateCompatibleDC

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
