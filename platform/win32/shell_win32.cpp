#include "platform/win32/shell_win32.h"

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include "platform/unique_resource.h"
#include "platform/win32/handles.h"
#include "platform/win32/text_win32.h"

namespace pondex::win32 {
namespace {

using UniqueIdList = UniqueResource<LPITEMIDLIST, ::CoTaskMemFree>;

// The browser's new style needs OLE on this thread, for the time of the call.
class OleScope {
 public:
  OleScope() : result_(::OleInitialize(nullptr)) {}
  ~OleScope() {
    if (SUCCEEDED(result_)) ::OleUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  HRESULT result_;
};

bool isCompletePath(const std::wstring& path) {
  const bool drive = path.size() >= 3 &&
                     ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                     path[1] == L':' && path[2] == L'\\';
  const bool unc = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
  return drive || unc;
}

}  // namespace

std::uint32_t Win32Shell::startProgram(const std::string& path) {
  const std::wstring application = widen(path);
  if (!isCompletePath(application)) return ERROR_BAD_PATHNAME;
  // The program's own folder as its working folder, as a shortcut would set it.
  std::wstring folder = application.substr(0, application.find_last_of(L'\\') + 1);
  std::wstring commandLine = L"\"" + application + L"\"";  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &info) == FALSE) {
    return ::GetLastError();
  }
  const UniqueKernelHandle process(info.hProcess);
  const UniqueKernelHandle thread(info.hThread);
  // We hold the foreground (the user just pressed F1 or used our menu): pass
  // it on, so that the help window comes up in front.
  (void)::AllowSetForegroundWindow(info.dwProcessId);
  return 0;
}

std::string Win32Shell::browseForFolder(const std::string& title) {
  const OleScope ole;
  const HWND owner = owner_ != nullptr && ::IsWindowVisible(owner_) ? owner_ : nullptr;
  UniqueIdList root;
  LPITEMIDLIST drives = nullptr;
  if (SUCCEEDED(::SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &drives))) root.reset(drives);

  const std::wstring wideTitle = widen(title);
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = root.get();  // none: the browser starts at the desktop
  info.pszDisplayName = displayName;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  const UniqueIdList chosen(::SHBrowseForFolderW(&info));
  if (!chosen) return {};

  wchar_t path[MAX_PATH] = {};
  if (::SHGetPathFromIDListW(chosen.get(), path) == FALSE) return {};
  return narrow(path);
}

}  // namespace pondex::win32
