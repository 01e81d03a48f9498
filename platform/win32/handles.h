#pragma once
// UniqueResource aliases for the Win32 handle types the program owns.
#include <windows.h>

#include "platform/result.h"
#include "platform/unique_resource.h"

namespace pondex::win32 {

inline HANDLE invalidFileHandle() noexcept {
  return INVALID_HANDLE_VALUE;  // what CreateFile gives when it failed
}

using UniqueFile = UniqueResource<HANDLE, ::CloseHandle, invalidFileHandle>;
using UniqueKernelHandle = UniqueResource<HANDLE, ::CloseHandle>;  // null when creation failed
using UniqueWindow = UniqueResource<HWND, ::DestroyWindow>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, ::DeleteObject>;
using UniqueMenu = UniqueResource<HMENU, ::DestroyMenu>;

// GetLastError as the seam's result: the one place a Win32 error number
// becomes one.
inline Status lastError() {
  return Status::failure(static_cast<int>(::GetLastError()));
}

}  // namespace pondex::win32
