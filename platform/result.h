#pragma once
// The outcome of one call across the platform seam, the same for every
// interface: the system's error number (GetLastError or WSAGetLastError on
// Windows; every such number fits an int), 0 on success, and for a call that
// produces something, the value. The Win32 layer converts BOOL, handles and
// error numbers into these once, at its boundary; the logic sees only them.
// A result that is dropped on purpose is dropped with (void).
#include <utility>

namespace pondex {

struct [[nodiscard]] Status {
  int error = 0;
  [[nodiscard]] bool ok() const { return error == 0; }
  static Status failure(int error) { return {error}; }
};

template <typename T>
struct [[nodiscard]] Result {
  T value{};
  int error = 0;
  [[nodiscard]] bool ok() const { return error == 0; }
  [[nodiscard]] Status status() const { return {error}; }
};

}  // namespace pondex
