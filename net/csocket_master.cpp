#include "net/csocket_master.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <span>
#include <string_view>

namespace pondex {

namespace {

constexpr std::int32_t kErrWrongState = 40006;
constexpr std::int32_t kErrBadArgument = 40014;
constexpr std::int32_t kErrUnsupportedType = 40018;
constexpr std::int32_t kErrInvalidOperation = 40020;
constexpr const char* kTextWrongState = "Wrong protocol or connection state for the requested transaction or request";
constexpr const char* kTextBadArgument =
    "The argument passed to a function was not in the correct format or in the specified range.";
constexpr const char* kTextInvalidArgument = "Invalid argument";
constexpr const char* kTextUnsupportedType = "Unsupported variant type.";
constexpr const char* kTextInvalidOperation = "Invalid operation at current state";

constexpr int kNoDataRecord = 11004;
constexpr int kListenBacklog = 5;

// The stack's buffer sizes decide the piece sizes; a size the stack gives as
// 0 must still move data.
constexpr std::size_t kFallbackPiece = 8192;
std::size_t pieceSize(std::int32_t size) {
  return size > 0 ? static_cast<std::size_t>(size) : kFallbackPiece;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

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
std::optional<std::size_t> fixedSize(VarType type) {
  switch (type) {
    case VarType::Byte:
      return 1;
    case VarType::Boolean:
    case VarType::Integer:
      return 2;
    case VarType::Long:
    case VarType::Single:
      return 4;
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
      return 8;
    default:
      return std::nullopt;
  }
}

SocketData decodeFixed(VarType type, const char* bytes) {
  switch (type) {
    case VarType::Byte:
      return static_cast<std::uint8_t>(bytes[0]);
    case VarType::Boolean:
      return getLittleEndian<std::uint16_t>(bytes) != 0;
    case VarType::Integer:
      return static_cast<std::int16_t>(getLittleEndian<std::uint16_t>(bytes));
    case VarType::Long:
      return static_cast<std::int32_t>(getLittleEndian<std::uint32_t>(bytes));
    case VarType::Single:
      return std::bit_cast<float>(getLittleEndian<std::uint32_t>(bytes));
    case VarType::Double:
      return std::bit_cast<double>(getLittleEndian<std::uint64_t>(bytes));
    case VarType::Currency:
      return Currency{static_cast<std::int64_t>(getLittleEndian<std::uint64_t>(bytes))};
    case VarType::Date:
      return OleDate{std::bit_cast<double>(getLittleEndian<std::uint64_t>(bytes))};
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
  } else if (const auto* money = std::get_if<Currency>(&data)) {
    putLittleEndian(out, static_cast<std::uint64_t>(money->tenThousandths));
  } else if (const auto* date = std::get_if<OleDate>(&data)) {
    putLittleEndian(out, std::bit_cast<std::uint64_t>(date->days));
  } else {
    return std::nullopt;
  }
  return out;
}

// A port argument as a whole number (rounded half to even), when numeric.
std::optional<double> wholePort(const PortValue& port) {
  const std::optional<double> number = port.numeric();
  if (!number) return std::nullopt;
  return std::nearbyint(*number);
}

}  // namespace

VarType varTypeOf(const SocketData& data) {
  static constexpr VarType kTypes[] = {VarType::Empty,  VarType::String,   VarType::ByteArray, VarType::Boolean,
                                       VarType::Byte,   VarType::Integer,  VarType::Long,      VarType::Single,
                                       VarType::Double, VarType::Currency, VarType::Date};
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

CSocketMaster::CSocketMaster(modSocketMaster& service)
    : service_(service),
      lib_(service.library()),
      startup_(service.InitiateProcesses()),
      alive_(std::make_shared<bool>(true)) {}

CSocketMaster::~CSocketMaster() {
  *alive_ = false;
  cancelLookups(true);
  if (socket_ != kNoSocket) {
    const bool routed = service_.RoutesTo(socket_, *this);
    if (!accepted_) (void)lib_.closeSocket(socket_);
    // Even a socket taken as-is must not route to a released object.
    if (routed) (void)service_.DeregisterSocket(socket_);
  }
  (void)service_.FinalizeProcesses();
}

SocketResult CSocketMaster::fail(std::int32_t number, const char* procedure) const {
  return fail(number, SocketErrorText(number), procedure);
}

SocketResult CSocketMaster::fail(std::int32_t number, std::string description, const char* procedure) const {
  return SocketResult::failure(number, std::move(description), std::string("CSocketMaster.") + procedure);
}

bool CSocketMaster::raiseError(int code, const char* procedure) {
  state_ = sckError;
  SocketErrorArgs args;
  args.Number = static_cast<std::int16_t>(code);
  args.Description = SocketErrorText(code);
  args.Source = std::string("CSocketMaster.") + procedure;
  MessageBoxes& boxes = service_.messages();
  const bool alive = raise(events.Error, std::ref(args));
  if (!args.CancelDisplay) boxes.show(args.Description, args.Source, MessageButtons::Ok, MessageIcon::None);
  return alive;
}

// ---- properties ----------------------------------------------------------

SocketResult CSocketMaster::setRemotePort(std::int32_t port) {
  if (protocol_ == SocketProtocol::Tcp && state_ != sckClosed) {
    return fail(kErrInvalidOperation, kTextInvalidOperation, "RemotePort");
  }
  if (port < 0 || port > 65535) return fail(kErrBadArgument, kTextBadArgument, "RemotePort");
  remotePort_ = port;
  return {};
}

SocketResult CSocketMaster::setRemoteHost(std::string host) {
  if (protocol_ == SocketProtocol::Tcp && state_ != sckClosed) {
    return fail(kErrInvalidOperation, kTextInvalidOperation, "RemoteHost");
  }
  remoteHost_ = std::move(host);
  return {};
}

SocketResult CSocketMaster::setLocalPort(std::int32_t port) {
  if (state_ != sckClosed) return fail(kErrInvalidOperation, kTextInvalidOperation, "LocalPort");
  if (port < 0 || port > 65535) return fail(kErrBadArgument, kTextBadArgument, "LocalPort");
  localPort_ = port;
  return {};
}

SocketResult CSocketMaster::setProtocol(SocketProtocol protocol) {
  if (state_ != sckClosed) return fail(kErrInvalidOperation, kTextInvalidOperation, "Protocol");
  protocol_ = protocol;
  return {};
}

SocketResultOf<std::string> CSocketMaster::LocalHostName() {
  SocketCallResult<std::string> name = lib_.hostName();
  if (!name.ok()) return fail(name.error, "LocalHostName");
  return name.value;
}

SocketResultOf<std::string> CSocketMaster::LocalIP() {
  if (state_ == sckConnected) return localIP_;
  SocketCallResult<std::string> name = lib_.hostName();
  if (!name.ok()) return fail(name.error, "LocalIP");
  SocketCallResult<Ipv4Address> address = lib_.lookupHost(name.value);
  if (!address.ok()) return fail(address.error, "LocalIP");
  return address.value.dotted();
}

std::int32_t CSocketMaster::BytesReceived() {
  if (protocol_ == SocketProtocol::Tcp) return static_cast<std::int32_t>(receiveBuffer_.size());
  if (state_ != sckOpen || socket_ == kNoSocket) return 0;
  scratch_.resize(pieceSize(receiveSize_));
  SocketCallResult<ReceivedDatagram> waiting = lib_.receiveFrom(socket_, scratch_, true);
  return waiting.ok() ? static_cast<std::int32_t>(waiting.value.count) : 0;
}

// ---- making and dropping the socket ----------------------------------------

bool CSocketMaster::SocketExists(SocketResult& out) {
  if (socket_ != kNoSocket) return true;
  SocketCallResult<SocketId> created = lib_.createSocket(protocol_);
  if (!created.ok()) {
    raiseError(created.error, "SocketExists");
    return false;
  }
  socket_ = created.value;
  SocketResult prepared = ProcessOptions();
  if (prepared.ok()) prepared = service_.RegisterSocket(socket_, *this, true);
  if (!prepared.ok()) {
    // Nothing half-made is kept: the next attempt starts afresh.
    discardSocket();
    out = prepared;
    return false;
  }
  return true;
}

SocketResult CSocketMaster::ProcessOptions() {
  if (protocol_ == SocketProtocol::Tcp) {
    SocketCallResult<std::int32_t> receive = lib_.getOption(socket_, SocketOption::ReceiveBufferSize);
    if (!receive.ok()) return fail(receive.error, "ProcessOptions");
    SocketCallResult<std::int32_t> send = lib_.getOption(socket_, SocketOption::SendBufferSize);
    if (!send.ok()) return fail(send.error, "ProcessOptions");
    receiveSize_ = receive.value;
    sendSize_ = send.value;
    return {};
  }
  if (SocketCallStatus broadcast = lib_.enableBroadcast(socket_); !broadcast.ok()) {
    return fail(broadcast.error, "ProcessOptions");
  }
  SocketCallResult<std::int32_t> largest = lib_.getOption(socket_, SocketOption::MaxDatagramSize);
  if (!largest.ok()) return fail(largest.error, "ProcessOptions");
  receiveSize_ = largest.value;
  sendSize_ = largest.value;
  return {};
}

void CSocketMaster::discardSocket() {
  if (socket_ == kNoSocket) return;
  (void)lib_.closeSocket(socket_);
  if (service_.RoutesTo(socket_, *this)) (void)service_.DeregisterSocket(socket_);
  socket_ = kNoSocket;
  boundLocalPort_ = 0;
  sendSize_ = 0;
  receiveSize_ = 0;
}

bool CSocketMaster::makeBoundSocket(const Ipv4Address& address, SocketResult& out) {
  if (!SocketExists(out)) return false;
  if (SocketResult bound = BindInternal(address); !bound.ok()) {
    discardSocket();
    out = bound;
    return false;
  }
  return true;
}

SocketResult CSocketMaster::BindInternal(const Ipv4Address& address) {
  const Endpoint local{address, static_cast<std::uint16_t>(localPort_)};
  if (SocketCallStatus bound = lib_.bind(socket_, local); !bound.ok()) return fail(bound.error, "BindInternal");
  if (localPort_ != 0) {
    boundLocalPort_ = localPort_;
    return {};
  }
  SocketCallResult<Endpoint> given = lib_.localEndpoint(socket_);
  if (!given.ok()) return fail(given.error, "GetLocalPort");
  boundLocalPort_ = given.value.port;
  return {};
}

SocketResult CSocketMaster::CloseSck() {
  if (socket_ == kNoSocket) return {};
  state_ = sckClosing;
  cancelLookups(false);
  return DestroySocket();
}

SocketResult CSocketMaster::DestroySocket() {
  if (SocketCallStatus closed = lib_.closeSocket(socket_); !closed.ok()) {
    state_ = sckError;
    return fail(closed.error, "DestroySocket");
  }
  SocketResult deregistered;
  if (service_.RoutesTo(socket_, *this)) deregistered = service_.DeregisterSocket(socket_);
  socket_ = kNoSocket;
  accepted_ = false;
  boundLocalPort_ = 0;
  receiveSize_ = 0;
  sendSize_ = 0;
  remoteHostIP_.clear();
  sendBuffer_.clear();
  receiveBuffer_.clear();
  state_ = sckClosed;
  return deregistered;
}

void CSocketMaster::cancelLookups(bool all) {
  const std::vector<LookupId> pending = pendingLookups_;
  for (LookupId lookup : pending) {
    // A lookup that cannot be cancelled has completed: its notification may
    // still come, and is then ignored.
    const bool cancelled = lib_.cancelHostLookup(lookup).ok();
    if (!cancelled && !all) continue;
    service_.DeregisterLookup(lookup);
    lib_.releaseLookup(lookup);
    std::erase(pendingLookups_, lookup);
  }
  currentLookup_ = 0;
}

// ---- TCP client ------------------------------------------------------------

SocketResult CSocketMaster::Connect(std::optional<std::string> RemoteHost, std::optional<PortValue> RemotePort) {
  if (state_ != sckClosed) return fail(kErrInvalidOperation, kTextInvalidOperation, "Connect");
  if (RemoteHost) remoteHost_ = std::move(*RemoteHost);
  if (RemotePort) {
    const std::optional<double> port = wholePort(*RemotePort);
    if (!port) return fail(kErrUnsupportedType, kTextUnsupportedType, "Connect");
    if (!(*port >= 1 && *port <= 65535)) return fail(kErrBadArgument, kTextBadArgument, "Connect");
    remotePort_ = static_cast<std::int32_t>(*port);
  }

  if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
  if (protocol_ == SocketProtocol::Udp) {
    state_ = sckOpen;
    return {};
  }

  if (std::optional<Ipv4Address> address = lib_.parseDotted(remoteHost_)) return ConnectToIP(*address);

  state_ = sckResolvingHost;
  SocketCallResult<LookupId> lookup = service_.StartLookup(remoteHost_, *this);
  if (lookup.value == 0) {
    raiseError(lookup.error, "ResolveIfHostname");
    return {};
  }
  pendingLookups_.push_back(lookup.value);
  currentLookup_ = lookup.value;
  return {};
}

SocketResult CSocketMaster::ConnectToIP(const Ipv4Address& address) {
  state_ = sckConnecting;
  const SocketCallStatus status = lib_.connect(socket_, {address, static_cast<std::uint16_t>(remotePort_)});
  if (status.ok() || status.error == kWsaWouldBlock) return {};
  // Refused on the spot: the caller hears of it, the state stays.
  if (status.error == kWsaAddressNotAvailable) return fail(status.error, "ConnectToIP");
  raiseError(status.error, "ConnectToIP");
  return {};
}

void CSocketMaster::PostResolution(LookupId lookup, int error) {
  std::erase(pendingLookups_, lookup);
  service_.DeregisterLookup(lookup);
  // Only the lookup of the connection attempt under way may continue it; an
  // older one (its cancel came too late) is ignored.
  const bool current = lookup == currentLookup_ && state_ == sckResolvingHost;
  std::optional<Ipv4Address> address;
  if (current && error == 0) address = lib_.lookupResult(lookup);
  lib_.releaseLookup(lookup);
  if (!current) return;
  currentLookup_ = 0;
  if (error != 0) {
    raiseError(error, "ConnectToIP");
    return;
  }
  if (!address) {
    raiseError(kNoDataRecord, "ConnectToIP");
    return;
  }
  state_ = sckHostResolved;
  SocketResult connecting = ConnectToIP(*address);
  // Nobody would receive a returned error here; it becomes an Error event.
  if (!connecting.ok()) raiseError(connecting.error().number, "ConnectToIP");
}

std::intptr_t CSocketMaster::WndProc(WindowId, std::uint32_t uMsg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (uMsg == kLookupMessage) {
    PostResolution(static_cast<LookupId>(wParam), hiWord(lParam));
  } else if (uMsg == kSocketMessage && socket_ != kNoSocket && static_cast<SocketId>(wParam) == socket_) {
    PostSocket(loWord(lParam), hiWord(lParam));
  }
  return 0;
}

void CSocketMaster::PostSocket(std::uint16_t kind, int error) {
  if (error != 0) {
    raiseError(error, "PostSocket");
    return;
  }
  switch (kind) {
    case kNotifyRead:
      if (protocol_ == SocketProtocol::Tcp && state_ == sckConnected) {
        (void)RecvDataToBuffer();
      } else if (protocol_ == SocketProtocol::Udp && state_ == sckOpen) {
        onDatagram();
      }
      break;
    case kNotifyWrite:
      if (protocol_ == SocketProtocol::Tcp && state_ == sckConnected && !sendBuffer_.empty()) SendBufferedData();
      break;
    case kNotifyAccept:
      if (state_ == sckListening) onIncoming();
      break;
    case kNotifyConnect:
      if (state_ == sckConnecting) onConnected();
      break;
    case kNotifyClose:
      if (state_ == sckConnected) onPeerClosed();
      break;
    default:
      break;
  }
}

void CSocketMaster::onConnected() {
  const SocketCallResult<Endpoint> local = lib_.localEndpoint(socket_);
  if (!local.ok()) {
    raiseError(local.error, "PostSocket");
    return;
  }
  const SocketCallResult<Endpoint> peer = lib_.peerEndpoint(socket_);
  if (!peer.ok()) {
    raiseError(peer.error, "PostSocket");
    return;
  }
  boundLocalPort_ = local.value.port;
  localIP_ = local.value.address.dotted();
  remotePort_ = peer.value.port;
  remoteHostIP_ = peer.value.address.dotted();
  remoteHost_.clear();
  state_ = sckConnected;
  raise(events.Connect);
}

void CSocketMaster::onPeerClosed() {
  // Bytes the peer sent before closing may still be queued; they are taken
  // before the close is reported, or they would be lost.
  const Alive alive = alive_;
  while (RecvDataToBuffer() > 0) {
    if (!*alive || state_ != sckConnected) return;
  }
  if (!*alive || state_ != sckConnected) return;
  state_ = sckClosing;
  raise(events.CloseSck);
}

std::size_t CSocketMaster::RecvDataToBuffer() {
  scratch_.resize(pieceSize(receiveSize_));
  const SocketCallResult<std::size_t> received = lib_.receive(socket_, scratch_, false);
  if (!received.ok()) {
    // Nothing to read after all is not a failure. A real failure is
    // reported, so that the owner can close and start again.
    if (received.error != kWsaWouldBlock) raiseError(received.error, "RecvDataToBuffer");
    return 0;
  }
  if (received.value == 0) return 0;
  receiveBuffer_.append(reinterpret_cast<const char*>(scratch_.data()), received.value);
  raise(events.DataArrival, static_cast<std::int32_t>(receiveBuffer_.size()));
  return received.value;
}

// ---- sending ---------------------------------------------------------------

SocketResult CSocketMaster::SendData(const SocketData& data) {
  if (protocol_ == SocketProtocol::Tcp) {
    if (state_ != sckConnected) return fail(kErrWrongState, kTextWrongState, "SendData");
  } else if (state_ != sckClosed && state_ != sckOpen) {
    return fail(kErrWrongState, kTextWrongState, "SendData");
  }
  std::optional<std::string> bytes = encode(data);
  if (!bytes) return fail(kErrUnsupportedType, kTextUnsupportedType, "SendData");
  if (bytes->empty()) return {};

  if (protocol_ == SocketProtocol::Udp) {
    if (state_ == sckClosed) {
      if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
      state_ = sckOpen;
    }
    sendBuffer_ += *bytes;
    return SendBufferedDataUDP();
  }

  // Bytes behind others that wait for room go out in order, later.
  const bool idle = sendBuffer_.empty();
  sendBuffer_ += *bytes;
  if (idle) SendBufferedData();
  return {};
}

void CSocketMaster::SendBufferedData() {
  std::int32_t total = 0;
  while (!sendBuffer_.empty() && state_ == sckConnected) {
    const std::size_t piece = std::min(sendBuffer_.size(), pieceSize(sendSize_));
    const SocketCallResult<std::size_t> sent =
        lib_.send(socket_, bytesOf(std::string_view(sendBuffer_).substr(0, piece)));
    if (!sent.ok()) {
      if (sent.error != kWsaWouldBlock) {
        raiseError(sent.error, "SendBufferedData");
      } else if (total >= 1) {
        raise(events.SendProgress, total, static_cast<std::int32_t>(sendBuffer_.size()));
      }
      return;  // the rest goes on the next write notification
    }
    if (sent.value == 0) return;
    total += static_cast<std::int32_t>(sent.value);
    if (sendBuffer_.size() <= sent.value) {
      sendBuffer_.clear();
      if (!raise(events.SendProgress, total, std::int32_t{0})) return;
      if (!raise(events.SendComplete)) return;
      total = 0;
    } else {
      sendBuffer_.erase(0, sent.value);
    }
  }
}

SocketResultOf<Ipv4Address> CSocketMaster::resolveNow(const std::string& host) {
  if (std::optional<Ipv4Address> address = lib_.parseDotted(host)) return *address;
  SocketCallResult<Ipv4Address> found = lib_.lookupHost(host);
  if (!found.ok()) return fail(found.error, "resolveNow");
  return found.value;
}

SocketResult CSocketMaster::SendBufferedDataUDP() {
  const std::string datagram = std::move(sendBuffer_);
  sendBuffer_.clear();
  SocketResultOf<Ipv4Address> address = resolveNow(remoteHost_);
  if (!address.ok()) return fail(kErrBadArgument, kTextInvalidArgument, "SendBufferedDataUDP");
  const SocketCallResult<std::size_t> sent =
      lib_.sendTo(socket_, bytesOf(datagram), {address.value(), static_cast<std::uint16_t>(remotePort_)});
  if (!sent.ok()) {
    raiseError(sent.error, "SendBufferedDataUDP");
    return {};
  }
  if (raise(events.SendProgress, static_cast<std::int32_t>(sent.value), std::int32_t{0})) raise(events.SendComplete);
  return {};
}

// ---- receiving -------------------------------------------------------------

SocketResult CSocketMaster::GetData(SocketData& data, std::optional<VarType> varType,
                                    std::optional<std::int32_t> maxLen) {
  return RecvData(data, false, varType, maxLen);
}

SocketResult CSocketMaster::PeekData(SocketData& data, std::optional<VarType> varType,
                                     std::optional<std::int32_t> maxLen) {
  return RecvData(data, true, varType, maxLen);
}

SocketResult CSocketMaster::RecvData(SocketData& data, bool peek, std::optional<VarType> varType,
                                     std::optional<std::int32_t> maxLen) {
  const char* procedure = peek ? "PeekData" : "GetData";
  const bool udp = protocol_ == SocketProtocol::Udp;
  if (udp ? state_ != sckOpen : (state_ != sckConnected && !accepted_)) {
    return fail(kErrWrongState, kTextWrongState, procedure);
  }
  if (maxLen && *maxLen < 0) return fail(kErrBadArgument, kTextBadArgument, procedure);
  // A value already held decides the type.
  const VarType type = data.index() != 0 ? varTypeOf(data) : varType.value_or(VarType::ByteArray);
  const bool variable = type == VarType::String || type == VarType::ByteArray;
  const std::optional<std::size_t> size = fixedSize(type);
  if (!variable && !size) return fail(kErrUnsupportedType, kTextUnsupportedType, procedure);

  std::string_view available = receiveBuffer_;
  if (udp) {
    scratch_.resize(pieceSize(receiveSize_));
    const SocketCallResult<ReceivedDatagram> waiting = lib_.receiveFrom(socket_, scratch_, true);
    if (!waiting.ok()) {
      if (waiting.error == kWsaWouldBlock) return {};
      return fail(waiting.error, procedure);
    }
    if (waiting.value.count == 0) return {};
    available = std::string_view(reinterpret_cast<const char*>(scratch_.data()), waiting.value.count);
  }

  std::size_t taken = 0;
  if (variable) {
    taken = maxLen ? std::min(static_cast<std::size_t>(*maxLen), available.size()) : available.size();
    const std::string_view part = available.substr(0, taken);
    if (type == VarType::String) {
      data = std::string(part);
    } else {
      data = ByteArray(bytesOf(part).begin(), bytesOf(part).end());
    }
  } else {
    if (available.size() < *size) return {};  // not enough yet: nothing changes
    taken = *size;
    data = decodeFixed(type, available.data());
  }
  if (peek) return {};

  if (udp) {
    // The whole datagram goes, whatever part of it was wanted.
    const SocketCallResult<ReceivedDatagram> read = lib_.receiveFrom(socket_, scratch_, false);
    if (read.ok()) {
      remotePort_ = read.value.from.port;
      remoteHostIP_ = read.value.from.address.dotted();
    }
    datagramTaken_ = true;
  } else {
    receiveBuffer_.erase(0, taken);
  }
  return {};
}

// ---- server side and UDP ---------------------------------------------------

SocketResult CSocketMaster::Bind(std::optional<PortValue> LocalPort, std::optional<std::string> LocalIP) {
  if (state_ != sckClosed) return fail(kErrInvalidOperation, kTextInvalidOperation, "Bind");
  if (LocalPort) {
    const std::optional<double> port = wholePort(*LocalPort);
    if (!port) return fail(kErrUnsupportedType, kTextUnsupportedType, "Bind");
    if (!(*port >= 0 && *port <= 65535)) return fail(kErrBadArgument, kTextBadArgument, "Bind");
    localPort_ = static_cast<std::int32_t>(*port);
  }
  Ipv4Address address{};
  if (LocalIP && !LocalIP->empty()) {
    SocketResultOf<Ipv4Address> found = resolveNow(*LocalIP);
    if (!found.ok()) return fail(kErrBadArgument, kTextInvalidArgument, "Bind");
    address = found.value();
  }
  if (SocketResult out; !makeBoundSocket(address, out)) return out;
  state_ = sckOpen;
  return {};
}

SocketResult CSocketMaster::Listen() {
  if (state_ != sckClosed && state_ != sckOpen) return fail(kErrInvalidOperation, kTextInvalidOperation, "Listen");
  if (state_ == sckClosed) {
    if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
  }
  if (SocketCallStatus listening = lib_.listen(socket_, kListenBacklog); !listening.ok()) {
    return fail(listening.error, "Listen");
  }
  state_ = sckListening;
  return {};
}

void CSocketMaster::onIncoming() {
  const SocketCallResult<AcceptedConnection> incoming = lib_.accept(socket_);
  if (!incoming.ok()) {
    if (incoming.error != kWsaWouldBlock) raiseError(incoming.error, "PostSocket");
    return;
  }
  const SocketId requestID = incoming.value.socket;
  // Held apart: the handler may release this object.
  modSocketMaster& service = service_;
  SocketLibrary& lib = lib_;
  if (!service.ParkAccepted(requestID).ok()) {
    (void)lib.closeSocket(requestID);
    return;
  }
  const std::int32_t savedPort = remotePort_;
  const std::string savedAddress = remoteHostIP_;
  remotePort_ = incoming.value.peer.port;
  remoteHostIP_ = incoming.value.peer.address.dotted();
  const bool alive = raise(events.ConnectionRequest, requestID);
  if (alive && state_ == sckListening) {
    remotePort_ = savedPort;
    remoteHostIP_ = savedAddress;
  }
  if (service.IsParked(requestID)) {  // nobody accepted it
    (void)lib.closeSocket(requestID);
    service.ForgetParked(requestID);
  }
}

SocketResult CSocketMaster::Accept(SocketId requestID) {
  if (state_ != sckClosed) return fail(kErrInvalidOperation, kTextInvalidOperation, "Accept");

  if (service_.HasSocket(requestID)) {
    CSocketMaster* holder = service_.TakeParked(requestID);
    if (holder == nullptr) return fail(kErrWrongState, kTextWrongState, "Accept");
    socket_ = requestID;
    protocol_ = holder->protocol_;
    sendSize_ = holder->sendSize_;
    receiveSize_ = holder->receiveSize_;
    remotePort_ = holder->remotePort_;
    remoteHostIP_ = holder->remoteHostIP_;
    boundLocalPort_ = holder->boundLocalPort_;
    localIP_ = holder->localIP_;
    receiveBuffer_ = std::move(holder->receiveBuffer_);
    const bool peerClosed = holder->state_ == sckClosing;
    holder->socket_ = kNoSocket;  // the holder lets go of it
    holder->state_ = sckClosed;
    service_.ChangeSocketOwner(requestID, *this);
    service_.ForgetParked(requestID);
    accepted_ = false;
    state_ = sckConnected;
    if (!receiveBuffer_.empty() && !raise(events.DataArrival, static_cast<std::int32_t>(receiveBuffer_.size()))) {
      return {};
    }
    if (peerClosed && state_ == sckConnected) {
      state_ = sckClosing;
      raise(events.CloseSck);
    }
    return {};
  }

  // A socket the service does not know is taken as it is; this object will
  // not close it when released.
  socket_ = requestID;
  accepted_ = true;
  SocketResult taken = ProcessOptions();
  if (taken.ok()) taken = service_.RegisterSocket(socket_, *this, true);
  if (taken.ok()) {
    const SocketCallResult<Endpoint> peer = lib_.peerEndpoint(socket_);
    const SocketCallResult<Endpoint> local = lib_.localEndpoint(socket_);
    if (!peer.ok() || !local.ok()) {
      taken = fail(peer.ok() ? local.error : peer.error, "Accept");
    } else {
      remotePort_ = peer.value.port;
      remoteHostIP_ = peer.value.address.dotted();
      boundLocalPort_ = local.value.port;
      localIP_ = local.value.address.dotted();
    }
  }
  if (!taken.ok()) {
    if (service_.RoutesTo(socket_, *this)) (void)service_.DeregisterSocket(socket_);
    socket_ = kNoSocket;
    accepted_ = false;
    sendSize_ = 0;
    receiveSize_ = 0;
    return taken;
  }
  state_ = sckConnected;
  return {};
}

void CSocketMaster::onDatagram() {
  const std::int32_t waiting = BytesReceived();
  if (waiting == 0) return;
  datagramTaken_ = false;
  if (!raise(events.DataArrival, waiting)) return;
  // A datagram the handler left is dropped, so that it is not announced
  // again; one the handler took must not cost the next one.
  if (!datagramTaken_ && state_ == sckOpen && socket_ != kNoSocket) {
    std::uint8_t discard = 0;
    (void)lib_.receive(socket_, std::span<std::uint8_t>(&discard, 1), false);
  }
}

}  // namespace pondex
