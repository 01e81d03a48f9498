#pragma once
// The edge of every Win32 callback (window procedures, timer and socket
// notifications): no exception may cross into the system, and after one the
// program must not go on in a state nobody knows. guarded() runs the body;
// an exception is reported once by the program's fatal handler (which
// removes the tray icon and says what happened) and the process ends with a
// non-zero code.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace pondex::win32 {

inline constexpr UINT kExitAfterFailure = 3;

// What the program does before it ends after a failure: given a short
// description. Set once by the entry point; without one the process just
// ends.
void setFatalHandler(std::function<void(const std::string&)> handler);

// Reports `what` through the fatal handler and ends the process.
[[noreturn]] void failFatally(const std::string& what) noexcept;

template <typename Body>
auto guarded(const char* where, Body&& body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception& e) {
    failFatally(std::string(where) + ": " + e.what());
  } catch (...) {
    failFatally(std::string(where) + ": unknown exception");
  }
}

}  // namespace pondex::win32
