#pragma once
// The setting shared by the tests of the socket object and its service: a
// fake socket library in virtual time, the service over it, and objects that
// record what they raise.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/socket_connection.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sockets.h"

namespace pondex::fakes {

inline const Ipv4Address kScaleAddress{{10, 0, 0, 7}};
inline const Endpoint kScale{kScaleAddress, 4001};

class SocketTest : public ::testing::Test {
 protected:
  // An object whose dataArrived totals go to `sink` (by default `arrivals`)
  // and whose other events go to `errors` and `log`.
  std::unique_ptr<SocketConnection> make(std::vector<std::int32_t>* sink = nullptr) {
    auto object = std::make_unique<SocketConnection>(service);
    SocketConnection* raw = object.get();
    if (sink == nullptr) sink = &arrivals;
    object->events.dataArrived = [sink](std::int32_t n) { sink->push_back(n); };
    // "10061 Connection refused. CSocketMaster.PostSocket in 9", with the
    // state during the event.
    object->events.failed = [this, raw](SocketErrorArgs& e) {
      errors.push_back(std::to_string(e.number) + " " + e.description + " " + e.source + " in " +
                       std::to_string(static_cast<int>(raw->state())));
    };
    object->events.connected = [this] { log.push_back("connected"); };
    object->events.peerClosed = [this, raw] { log.push_back("peerClosed at " + std::to_string(raw->bytesReceived())); };
    object->events.sendCompleted = [this] { log.push_back("sendCompleted"); };
    object->events.sendProgressed = [this](std::int32_t sent, std::int32_t left) {
      log.push_back("sendProgressed " + std::to_string(sent) + " " + std::to_string(left));
    };
    return object;
  }

  // An object connected to the scale, its connected event seen.
  std::unique_ptr<SocketConnection> connected(std::vector<std::int32_t>* sink = nullptr) {
    auto object = make(sink);
    EXPECT_TRUE(object->connect(kScaleAddress.dotted(), kScale.port).ok());
    loop.runFor(Millis(1));
    EXPECT_EQ(object->state(), SocketState::Connected);
    EXPECT_EQ(log, std::vector<std::string>{"connected"});
    log.clear();
    return object;
  }

  static std::string takeText(SocketConnection& object) {
    SocketData text = std::string();
    EXPECT_TRUE(object.takeReceived(text).ok());
    return std::get<std::string>(text);
  }

  FakeEventLoop loop;
  FakeSocketLibrary net{loop};
  FakeMessageBoxes boxes;
  SocketService service{net, boxes};
  std::vector<std::int32_t> arrivals;
  std::vector<std::string> errors;
  std::vector<std::string> log;
};

}  // namespace pondex::fakes
