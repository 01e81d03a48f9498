#pragma once
// The address panel's check of what the user typed: each of the four parts
// is 1 to 3 decimal digits with a value of 0 to 255, the port 1 to 5
// decimal digits with a value of 1 to 65535. Digits are read as decimal
// ("010" is ten), and the texts that pass are stored in their shortest
// form, so that no later reading can take a leading 0 for octal.
#include <array>
#include <string>

namespace pondex {

enum class AddressFault { None, Part, Port };

struct CheckedAddress {
  AddressFault fault = AddressFault::None;
  std::string address;  // "a.b.c.d"; empty unless fault is None
  std::string port;     // empty unless fault is None
};

[[nodiscard]] CheckedAddress checkNetworkAddress(const std::array<std::string, 4>& parts, const std::string& port);

// The line the window shows for a refused entry (Windows-1250 bytes).
[[nodiscard]] const char* addressFaultText(AddressFault fault);

}  // namespace pondex
