#pragma once
// The typed values a socket connection sends and takes: what send() takes
// and takeReceived() gives, and the type numbers that choose what
// takeReceived() produces. Fixed-size values travel as their little-endian
// bytes; texts and byte arrays as they are.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace pondex {

// The type numbers of the values; only some can be sent or taken.
enum class SocketDataType : std::int32_t {
  Empty = 0,
  Null = 1,
  Int16 = 2,
  Int32 = 3,
  Float = 4,
  Double = 5,
  FixedDecimal = 6,
  Date = 7,
  String = 8,
  Object = 9,
  Error = 10,
  Boolean = 11,
  Variant = 12,
  Decimal = 14,
  Byte = 17,
  ByteArray = 8192 + 17,
};

// An amount with four decimal places, as a whole number of ten-thousandths.
struct FixedDecimal {
  std::int64_t tenThousandths = 0;
  friend bool operator==(const FixedDecimal&, const FixedDecimal&) = default;
};
// A date and time as days since 30 December 1899, the fraction the time.
struct DaysSince1899 {
  double days = 0.0;
  friend bool operator==(const DaysSince1899&, const DaysSince1899&) = default;
};
using ByteArray = std::vector<std::uint8_t>;

// Empty (monostate) means "no value yet": takeReceived() then produces the
// requested type.
using SocketData = std::variant<std::monostate, std::string, ByteArray, bool, std::uint8_t, std::int16_t, std::int32_t,
                                float, double, FixedDecimal, DaysSince1899>;
SocketDataType dataTypeOf(const SocketData& data);

}  // namespace pondex
