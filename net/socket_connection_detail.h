#pragma once
// What the source files of SocketConnection share and nobody else needs: the
// fixed errors a member returns to its caller, and small byte helpers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "net/socket_connection.h"

namespace pondex::connection_detail {

// What every error of the object names as its source, before the procedure.
inline constexpr const char* kErrorSource = "CSocketMaster.";

// An error with a fixed number and text, returned by a member.
struct FixedError {
  std::int32_t number;
  const char* text;
};

inline constexpr FixedError kWrongState{40006,
                                        "Wrong protocol or connection state for the requested transaction or request"};
inline constexpr FixedError kOutOfRange{
    40014, "The argument passed to a function was not in the correct format or in the specified range."};
inline constexpr FixedError kInvalidArgument{40014, "Invalid argument"};
inline constexpr FixedError kUnsupportedType{40018, "Unsupported variant type."};
inline constexpr FixedError kInvalidOperation{40020, "Invalid operation at current state"};

inline constexpr int kNoDataRecord = 11004;

// `procedure` is the member or internal procedure, without the class name.
SocketResult fail(const FixedError& error, const char* procedure);
// A socket error number with its text from the error table.
SocketResult fail(int socketError, const char* procedure);

// Piece sizes come from the stack's buffer sizes; a size the stack gives as
// 0 must still move data.
inline std::size_t pieceSize(std::int32_t size) {
  constexpr std::size_t kFallbackPiece = 8192;
  return size > 0 ? static_cast<std::size_t>(size) : kFallbackPiece;
}

inline std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A port argument as a whole number from `lowest` to 65535: 40018 when it is
// not numeric, 40014 when it is out of range.
SocketResultOf<std::int32_t> checkedPort(const PortValue& port, std::int32_t lowest, const char* procedure);

}  // namespace pondex::connection_detail
