#include "net/network_input.h"

namespace pondex {

NetworkInput::NetworkInput(SocketLibrary& library, MessageBoxes& messages) : service_(library, messages) {}

void NetworkInput::newClient() {
  auto next = std::make_unique<SocketConnection>(service_);
  wire(*next);
  client_ = std::move(next);  // the old object closes its socket as it goes
}

void NetworkInput::releaseClient() {
  if (client_) (void)client_->close();
  client_.reset();
}

void NetworkInput::wire(SocketConnection& client) {
  client.events.failed = [this](SocketErrorArgs&) { clientFailed(); };
  client.events.dataArrived = [this](std::int32_t bytesTotal) {
    if (dataArrived_) dataArrived_(bytesTotal);
  };
}

bool NetworkInput::supervise(const std::string& address, const std::string& port) {
  if (!client_) return false;
  switch (client_->state()) {
    case SocketState::Closed:
      if (!client_->connect(address, port).ok()) {
        // A port that is no port, or an address refused at once: close the
        // attempt so that the next tick tries again with what is stored then.
        (void)client_->close();
      }
      break;
    case SocketState::Closing:
      // The instrument closed the connection normally (a converter that
      // restarts): close our side; a later tick connects again.
      (void)client_->close();
      break;
    case SocketState::Error:
      // The socket could not even be made, so there is nothing to close:
      // a new object starts over.
      if (client_->socketId() == kNoSocket) newClient();
      break;
    default:
      break;
  }
  return client_->state() == SocketState::Connected;
}

std::string NetworkInput::takeReceived() {
  if (!client_) return {};
  SocketData data = std::string();
  (void)client_->takeReceived(data);
  const auto* text = std::get_if<std::string>(&data);
  return text != nullptr ? *text : std::string();
}

bool NetworkInput::send(const std::string& text) {
  return client_ && client_->send(text).ok();
}

void NetworkInput::clientFailed() {
  if (client_) (void)client_->close();
}

}  // namespace pondex
