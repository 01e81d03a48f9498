#include "platform/win32/callback_guard.h"

namespace pondex::win32 {
namespace {

std::function<void(const std::string&)>& fatalHandler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}

}  // namespace

void setFatalHandler(std::function<void(const std::string&)> handler) {
  fatalHandler() = std::move(handler);
}

void failFatally(const std::string& what) noexcept {
  // A failure inside the handler itself must not stop the process ending.
  try {
    static bool failing = false;
    if (!failing && fatalHandler()) {
      failing = true;
      fatalHandler()(what);
    }
  } catch (...) {
  }
  ::ExitProcess(kExitAfterFailure);
}

}  // namespace pondex::win32
