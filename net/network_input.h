#pragma once
// Network input: the socket connection to the instrument (or a
// serial-to-Ethernet converter) while continuous listening is on.
//
// The controller owns one NetworkInput and forwards to it: the supervision
// tick calls supervise() with the stored address and port, the data event
// reaches the controller through onDataArrival(), which takes the text with
// takeReceived(). The address panel that changes the stored address is the
// presenter's.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/socket_connection.h"
#include "net/socket_service.h"

namespace pondex {

class NetworkInput {
 public:
  NetworkInput(SocketLibrary& library, MessageBoxes& messages);

  // Runs for every data event of the current socket object.
  void onDataArrival(std::function<void(std::int32_t bytesTotal)> dataArrived) {
    dataArrived_ = std::move(dataArrived);
  }

  // A new socket object for the input. It is made before the previous one
  // goes, so the socket library stays up across a START.
  void newClient();
  // Closes and releases the socket object; a missing one is fine.
  void releaseClient();

  // The network branch of the supervision tick: connects to `address` and
  // `port`, or closes what the instrument closed. True when connected, so
  // that the tick goes on.
  bool supervise(const std::string& address, const std::string& port);

  // Everything the socket object has received, as text.
  std::string takeReceived();
  // Sends a command text; refused by the object while not connected, and
  // then only that command is lost. True when it went out.
  bool send(const std::string& text);

 private:
  // A failure of the connection closes it; the next tick tries again.
  void clientFailed();
  void wire(SocketConnection& client);

  SocketService service_;
  std::function<void(std::int32_t)> dataArrived_;
  std::unique_ptr<SocketConnection> client_;
};

}  // namespace pondex
