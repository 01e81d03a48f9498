// receiver: a window that takes the keyboard focus and records every
// character it receives, the way an application does that Pon_dex types
// into. One line per character in LOGFILE, flushed at once:
//   <microseconds since 1970> <character code in hex>
// LOGFILE.ready appears once the window has the focus.
//
//   receiver LOGFILE
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

FILE* logFile = nullptr;
std::string readyPath;

unsigned long long unixMicroseconds() {
  FILETIME ft;
  ::GetSystemTimePreciseAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return (t.QuadPart - 116444736000000000ULL) / 10;  // 100 ns since 1601 to us since 1970
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CHAR:
      std::fprintf(logFile, "%llu %02x\n", unixMicroseconds(), static_cast<unsigned>(wParam & 0xFF));
      std::fflush(logFile);
      return 0;
    case WM_SETFOCUS:
      if (FILE* ready = std::fopen(readyPath.c_str(), "w")) std::fclose(ready);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: receiver LOGFILE\n", stderr);
    return 2;
  }
  logFile = std::fopen(argv[1], "ab");
  if (logFile == nullptr) return 1;
  readyPath = std::string(argv[1]) + ".ready";

  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "Pon_dex.Receiver";
  ::RegisterClassA(&wc);
  HWND hwnd = ::CreateWindowExA(0, wc.lpszClassName, "Pon_dex receiver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 300,
                                300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  ::SetForegroundWindow(hwnd);
  ::SetFocus(hwnd);

  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  std::fclose(logFile);
  return 0;
}
