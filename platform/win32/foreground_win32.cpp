#include "platform/win32/foreground_win32.h"

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/text_win32.h"

namespace pondex::win32 {

std::optional<DWORD> processIntegrity(HANDLE process) {
  HANDLE rawToken = nullptr;
  if (::OpenProcessToken(process, TOKEN_QUERY, &rawToken) == FALSE) return std::nullopt;
  const UniqueKernelHandle token(rawToken);
  DWORD size = 0;
  (void)::GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
  std::vector<ULONGLONG> buffer((size + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG));  // aligned for the SID
  if (::GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size) == FALSE) {
    return std::nullopt;
  }
  const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  if (sid == nullptr || ::IsValidSid(sid) == FALSE) return std::nullopt;
  const UCHAR count = *::GetSidSubAuthorityCount(sid);
  if (count == 0) return std::nullopt;
  return *::GetSidSubAuthority(sid, count - 1u);
}

ForegroundTarget Win32Foreground::query() {
  ForegroundTarget target;
  const HWND window = ::GetForegroundWindow();
  if (window == nullptr) return target;
  target.window = reinterpret_cast<std::uintptr_t>(window);

  const int length = ::GetWindowTextLengthW(window);
  if (length > 0) {
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    title.resize(static_cast<std::size_t>(::GetWindowTextW(window, title.data(), length + 1)));
    target.title = narrow(title);
  }

  if (!own_) own_ = processIntegrity(::GetCurrentProcess());
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  const UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process || !own_) return target;  // rights Unknown
  const std::optional<DWORD> theirs = processIntegrity(process.get());
  if (!theirs) return target;
  target.rights = *theirs > *own_ ? TargetRights::Higher : TargetRights::SameOrLower;
  return target;
}

}  // namespace pondex::win32
