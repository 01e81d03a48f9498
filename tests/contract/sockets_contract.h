#pragma once
// The notifications of platform/sockets.h, once, for the fake library
// (native, a scripted far side) and Winsock (under Wine, against a loopback
// listener the Env opens itself). An Env provides:
//   SocketLibrary& library();
//   Endpoint refusedEndpoint();       nobody listens there
//   Endpoint listeningEndpoint();     a listener that takes a connection
//   void peerSends(SocketId ours, const std::string& bytes);   after connecting
//   void peerCloses(SocketId ours);
//   template <typename Pred> bool pump(Pred done);   runs the loop until done() or a
//                                                    generous time has passed
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sockets.h"

namespace pondex::contract {

template <typename Env>
class SocketsContract : public ::testing::Test, public MessageTarget {
 protected:
  struct Notice {
    SocketId socket;
    int kind;
    int error;
  };

  void SetUp() override {
    ASSERT_TRUE(lib().startup().ok());
    window = lib().createMessageWindow();
    ASSERT_NE(window, 0u);
    lib().installWindowProcedure(window, *this);
  }
  void TearDown() override {
    if (socket != kNoSocket) (void)lib().closeSocket(socket);
    lib().restoreWindowProcedure(window);
    (void)lib().destroyMessageWindow(window);
    (void)lib().cleanup();
  }

  std::intptr_t windowProcedure(WindowId, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    if (message == kSocketMessage) {
      const auto bits = static_cast<std::uint32_t>(lParam);
      notices.push_back({static_cast<SocketId>(wParam), static_cast<int>(bits & 0xFFFF), static_cast<int>(bits >> 16)});
    }
    return 0;
  }

  SocketLibrary& lib() { return env.library(); }

  // A registered TCP socket, connecting to `to`.
  void connectTo(const Endpoint& to) {
    auto created = lib().createSocket(SocketProtocol::Tcp);
    ASSERT_TRUE(created.ok());
    socket = created.value;
    ASSERT_TRUE(lib().asyncSelect(socket, window, kSocketMessage, kAllNotifications).ok());
    const Status started = lib().connect(socket, to);
    ASSERT_TRUE(started.ok() || started.error == kWsaWouldBlock) << started.error;
  }

  const Notice* find(int kind) const {
    auto it = std::find_if(notices.begin(), notices.end(), [kind](const Notice& n) { return n.kind == kind; });
    return it == notices.end() ? nullptr : &*it;
  }

  Env env;
  WindowId window = 0;
  SocketId socket = kNoSocket;
  std::vector<Notice> notices;
};

TYPED_TEST_SUITE_P(SocketsContract);

TYPED_TEST_P(SocketsContract, ConnectingToARefusedPortNotifiesConnectWith10061) {
  this->connectTo(this->env.refusedEndpoint());
  ASSERT_TRUE(this->env.pump([&] { return this->find(kNotifyConnect) != nullptr; }));
  const auto* n = this->find(kNotifyConnect);
  EXPECT_EQ(n->socket, this->socket);
  EXPECT_EQ(n->error, kWsaConnectionRefused);
  EXPECT_EQ(this->find(kNotifyRead), nullptr);
}

TYPED_TEST_P(SocketsContract, AConnectionDeliversWhatThePeerSends) {
  this->connectTo(this->env.listeningEndpoint());
  ASSERT_TRUE(this->env.pump([&] { return this->find(kNotifyConnect) != nullptr; }));
  EXPECT_EQ(this->find(kNotifyConnect)->error, 0);
  auto peer = this->lib().peerEndpoint(this->socket);
  ASSERT_TRUE(peer.ok());
  EXPECT_EQ(peer.value, this->env.listeningEndpoint());

  this->env.peerSends(this->socket, "12.5 kg\r\n");
  std::string got;
  ASSERT_TRUE(this->env.pump([&] {
    if (this->find(kNotifyRead) == nullptr) return false;
    std::uint8_t buffer[64];
    auto r = this->lib().receive(this->socket, buffer, false);
    if (r.ok()) got.append(reinterpret_cast<const char*>(buffer), r.value);
    return got.size() >= 9;
  }));
  EXPECT_EQ(got, "12.5 kg\r\n");
  EXPECT_TRUE(this->lib().closeSocket(this->socket).ok());
  this->socket = kNoSocket;
}

TYPED_TEST_P(SocketsContract, AConnectionDeliversThePeersClose) {
  this->connectTo(this->env.listeningEndpoint());
  ASSERT_TRUE(this->env.pump([&] { return this->find(kNotifyConnect) != nullptr; }));
  this->env.peerCloses(this->socket);
  ASSERT_TRUE(this->env.pump([&] { return this->find(kNotifyClose) != nullptr; }));
  EXPECT_EQ(this->find(kNotifyClose)->error, 0) << "a graceful close carries no error";
  EXPECT_TRUE(this->lib().closeSocket(this->socket).ok());
  this->socket = kNoSocket;
}

REGISTER_TYPED_TEST_SUITE_P(SocketsContract, ConnectingToARefusedPortNotifiesConnectWith10061,
                            AConnectionDeliversWhatThePeerSends, AConnectionDeliversThePeersClose);

}  // namespace pondex::contract
