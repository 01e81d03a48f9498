#include "net/address_check.h"

#include <optional>

namespace pondex {
namespace {

// The value of 1 to `maxDigits` decimal digits, or nothing.
std::optional<long> decimal(const std::string& text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

CheckedAddress checkNetworkAddress(const std::array<std::string, 4>& parts, const std::string& port) {
  std::string address;
  for (const std::string& part : parts) {
    const auto value = decimal(part, 3);
    if (!value || *value > 255) return {.fault = AddressFault::Part};
    if (!address.empty()) address += '.';
    address += std::to_string(*value);
  }
  const auto portValue = decimal(port, 5);
  if (!portValue || *portValue < 1 || *portValue > 65535) return {.fault = AddressFault::Port};
  return {.fault = AddressFault::None, .address = address, .port = std::to_string(*portValue)};
}

const char* addressFaultText(AddressFault fault) {
  switch (fault) {
    case AddressFault::Part:
      return "Odrzucono: każda część adresu to liczba od 0 do 255";
    case AddressFault::Port:
      return "Odrzucono: port to liczba od 1 do 65535";
    case AddressFault::None:
      break;
  }
  return "";
}

}  // namespace pondex
