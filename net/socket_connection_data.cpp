// SocketConnection: typed data in and out (send, takeReceived) and the
// conversions of values and port arguments behind them.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

#include "net/socket_connection_detail.h"

namespace pondex {

namespace connection_detail {

SocketResultOf<std::int32_t> checkedPort(const PortValue& port, std::int32_t lowest, const char* procedure) {
  const std::optional<double> number = port.numeric();
  if (!number) return fail(kUnsupportedType, procedure);
  const double whole = std::nearbyint(*number);  // half to even
  if (!(whole >= lowest && whole <= 65535)) return fail(kOutOfRange, procedure);
  return static_cast<std::int32_t>(whole);
}

}  // namespace connection_detail

using connection_detail::bytesOf;
using connection_detail::fail;
using connection_detail::kOutOfRange;
using connection_detail::kUnsupportedType;
using connection_detail::kWrongState;
using connection_detail::pieceSize;

namespace {

template <typename U>
void putLittleEndian(std::string& out, U value) {
  for (std::size_t i = 0; i < sizeof(U); ++i) {
    out.push_back(static_cast<char>(static_cast<std::uint8_t>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFFu)));
  }
}

template <typename U>
U getLittleEndian(const char* bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < sizeof(U); ++i) {
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return static_cast<U>(value);
}

// Bytes a fixed-size type takes; nothing for text, byte arrays and the
// types that cannot be sent.
std::optional<std::size_t> fixedSize(SocketDataType type) {
  switch (type) {
    case SocketDataType::Byte:
      return 1;
    case SocketDataType::Boolean:
    case SocketDataType::Int16:
      return 2;
    case SocketDataType::Int32:
    case SocketDataType::Float:
      return 4;
    case SocketDataType::Double:
    case SocketDataType::FixedDecimal:
    case SocketDataType::Date:
      return 8;
    default:
      return std::nullopt;
  }
}

SocketData decodeFixed(SocketDataType type, const char* bytes) {
  switch (type) {
    case SocketDataType::Byte:
      return static_cast<std::uint8_t>(bytes[0]);
    case SocketDataType::Boolean:
      return getLittleEndian<std::uint16_t>(bytes) != 0;
    case SocketDataType::Int16:
      return static_cast<std::int16_t>(getLittleEndian<std::uint16_t>(bytes));
    case SocketDataType::Int32:
      return static_cast<std::int32_t>(getLittleEndian<std::uint32_t>(bytes));
    case SocketDataType::Float:
      return std::bit_cast<float>(getLittleEndian<std::uint32_t>(bytes));
    case SocketDataType::Double:
      return std::bit_cast<double>(getLittleEndian<std::uint64_t>(bytes));
    case SocketDataType::FixedDecimal:
      return FixedDecimal{static_cast<std::int64_t>(getLittleEndian<std::uint64_t>(bytes))};
    case SocketDataType::Date:
      return DaysSince1899{std::bit_cast<double>(getLittleEndian<std::uint64_t>(bytes))};
    default:
      return std::monostate{};
  }
}

// The bytes that represent `data` on the wire; nothing for an empty value.
std::optional<std::string> encode(const SocketData& data) {
  std::string out;
  if (const auto* text = std::get_if<std::string>(&data)) return *text;
  if (const auto* bytes = std::get_if<ByteArray>(&data)) return std::string(bytes->begin(), bytes->end());
  if (const auto* flag = std::get_if<bool>(&data)) {
    putLittleEndian<std::uint16_t>(out, *flag ? 0xFFFFu : 0u);  // True is -1
  } else if (const auto* byte = std::get_if<std::uint8_t>(&data)) {
    out.push_back(static_cast<char>(*byte));
  } else if (const auto* i16 = std::get_if<std::int16_t>(&data)) {
    putLittleEndian(out, static_cast<std::uint16_t>(*i16));
  } else if (const auto* i32 = std::get_if<std::int32_t>(&data)) {
    putLittleEndian(out, static_cast<std::uint32_t>(*i32));
  } else if (const auto* single = std::get_if<float>(&data)) {
    putLittleEndian(out, std::bit_cast<std::uint32_t>(*single));
  } else if (const auto* dbl = std::get_if<double>(&data)) {
    putLittleEndian(out, std::bit_cast<std::uint64_t>(*dbl));
  } else if (const auto* money = std::get_if<FixedDecimal>(&data)) {
    putLittleEndian(out, static_cast<std::uint64_t>(money->tenThousandths));
  } else if (const auto* date = std::get_if<DaysSince1899>(&data)) {
    putLittleEndian(out, std::bit_cast<std::uint64_t>(date->days));
  } else {
    return std::nullopt;
  }
  return out;
}

}  // namespace

SocketDataType dataTypeOf(const SocketData& data) {
  static constexpr SocketDataType kTypes[] = {
      SocketDataType::Empty,  SocketDataType::String,       SocketDataType::ByteArray, SocketDataType::Boolean,
      SocketDataType::Byte,   SocketDataType::Int16,        SocketDataType::Int32,     SocketDataType::Float,
      SocketDataType::Double, SocketDataType::FixedDecimal, SocketDataType::Date};
  static_assert(std::size(kTypes) == std::variant_size_v<SocketData>);
  return kTypes[data.index()];
}

std::optional<double> PortValue::numeric() const {
  if (number_) return number_;
  std::string_view text = text_;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  // Plain decimal notation only: no "inf", "nan" or hexadecimal forms.
  const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
  });
  if (!plain) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

SocketResult SocketConnection::send(const SocketData& data) {
  if (protocol_ == SocketProtocol::Tcp) {
    if (state_ != SocketState::Connected) return fail(kWrongState, "SendData");
  } else if (state_ != SocketState::Closed && state_ != SocketState::Open) {
    return fail(kWrongState, "SendData");
  }
  std::optional<std::string> bytes = encode(data);
  if (!bytes) return fail(kUnsupportedType, "SendData");
  if (bytes->empty()) return {};

  if (protocol_ == SocketProtocol::Udp) {
    if (state_ == SocketState::Closed) {
      if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
      state_ = SocketState::Open;
    }
    sendBuffer_ += *bytes;
    return sendDatagram();
  }

  // Bytes behind others that wait for room go out in order, later.
  const bool idle = sendBuffer_.empty();
  sendBuffer_ += *bytes;
  if (idle) sendBuffered();
  return {};
}

SocketResult SocketConnection::takeReceived(SocketData& data, std::optional<SocketDataType> wanted,
                                            std::optional<std::int32_t> maxLength) {
  const char* procedure = "GetData";
  const bool udp = protocol_ == SocketProtocol::Udp;
  if (udp ? state_ != SocketState::Open : (state_ != SocketState::Connected && !accepted_))
    return fail(kWrongState, procedure);
  if (maxLength && *maxLength < 0) return fail(kOutOfRange, procedure);
  // A value already held decides the type.
  const SocketDataType type = data.index() != 0 ? dataTypeOf(data) : wanted.value_or(SocketDataType::ByteArray);
  const bool variable = type == SocketDataType::String || type == SocketDataType::ByteArray;
  const std::optional<std::size_t> size = fixedSize(type);
  if (!variable && !size) return fail(kUnsupportedType, procedure);

  std::string_view available = receiveBuffer_;
  if (udp) {
    scratch_.resize(pieceSize(receiveSize_));
    const Result<ReceivedDatagram> waiting = lib_.receiveFrom(socket_, scratch_, true);
    if (!waiting.ok()) {
      if (waiting.error == kWsaWouldBlock) return {};
      return fail(waiting.error, procedure);
    }
    if (waiting.value.count == 0) return {};
    available = std::string_view(reinterpret_cast<const char*>(scratch_.data()), waiting.value.count);
  }

  std::size_t taken = 0;
  if (variable) {
    taken = maxLength ? std::min(static_cast<std::size_t>(*maxLength), available.size()) : available.size();
    const std::string_view part = available.substr(0, taken);
    if (type == SocketDataType::String) {
      data = std::string(part);
    } else {
      data = ByteArray(bytesOf(part).begin(), bytesOf(part).end());
    }
  } else {
    if (available.size() < *size) return {};  // not enough yet: nothing changes
    taken = *size;
    data = decodeFixed(type, available.data());
  }

  if (udp) {
    // The whole datagram goes, whatever part of it was wanted.
    const Result<ReceivedDatagram> read = lib_.receiveFrom(socket_, scratch_, false);
    if (read.ok()) {
      remotePort_ = read.value.from.port;
      remoteAddress_ = read.value.from.address.dotted();
    }
    datagramTaken_ = true;
  } else {
    receiveBuffer_.erase(0, taken);
  }
  return {};
}

}  // namespace pondex
