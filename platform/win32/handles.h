#pragma once
// UniqueResource aliases for the Win32 handle types the program owns.
#include <windows.h>

#include "platform/unique_resource.h"

namespace pondex::win32 {

struct FileHandleTraits {  // CreateFile: INVALID_HANDLE_VALUE when it failed
  using Type = HANDLE;
  static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Type h) noexcept { ::CloseHandle(h); }
};
using UniqueFile = UniqueResource<FileHandleTraits>;

struct KernelHandleTraits {  // CreateMutex and friends: null when they failed
  using Type = HANDLE;
  static Type invalid() noexcept { return nullptr; }
  static void close(Type h) noexcept { ::CloseHandle(h); }
};
using UniqueKernelHandle = UniqueResource<KernelHandleTraits>;

struct WindowTraits {
  using Type = HWND;
  static Type invalid() noexcept { return nullptr; }
  static void close(Type h) noexcept { ::DestroyWindow(h); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

struct MenuTraits {
  using Type = HMENU;
  static Type invalid() noexcept { return nullptr; }
  static void close(Type h) noexcept { ::DestroyMenu(h); }
};
using UniqueMenu = UniqueResource<MenuTraits>;

struct IconTraits {  // icons the program created itself (not shared resources)
  using Type = HICON;
  static Type invalid() noexcept { return nullptr; }
  static void close(Type h) noexcept { ::DestroyIcon(h); }
};
using UniqueIcon = UniqueResource<IconTraits>;

struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type invalid() noexcept { return nullptr; }
  static void close(Type h) noexcept { ::DeleteObject(h); }
};
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;

// Twips to pixels on the screen's horizontal and vertical resolution.
int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);

}  // namespace pondex::win32
