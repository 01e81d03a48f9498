#pragma once
// The rules of platform/serial.h for the background read, once, for every
// implementation: the virtual-time fake (native) and the Windows ports over
// a pty pair (under Wine, in real time). An Env provides:
//   EventLoop& loop();
//   SerialPorts& ports();
//   std::string portName();            the port the tests open
//   void farSideSends(const std::string& bytes);
//   std::string farSideReceives(std::size_t count);   waits up to a few seconds
//   bool pump(done);                   runs the loop's own message loop until done() or a few seconds passed
//   bool pumpForeign(done);            the same in a message loop that is not the loop's (a modal window's)
// The tests assert order, content and counts, never a real duration.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/serial.h"

namespace pondex::contract {

template <typename Env>
class SerialContract : public ::testing::Test {
 protected:
  // Opens the port as the serial component does and starts its background read.
  void SetUp() override {
    auto opened = env.ports().open(env.portName());
    ASSERT_TRUE(opened.ok()) << "error " << opened.error;
    port = std::move(opened.value);
    ASSERT_TRUE(port->setTimeouts({.readInterval = 10, .writeTotalMultiplier = 1, .writeTotalConstant = 1}).ok());
    auto block = env.ports().buildLineControl("9600,N,8,1");
    ASSERT_TRUE(block.ok());
    ASSERT_TRUE(port->setLineControl(*block.value).ok());
    port->startReading([this] {
      ++arrivals;
      for (auto piece = port->read(256); !piece.value.empty(); piece = port->read(256)) {
        EXPECT_TRUE(piece.ok());
        EXPECT_LE(piece.value.size(), 256u);
        received += piece.value;
      }
    });
  }
  void TearDown() override {
    if (port) (void)port->close();
  }

  Env env;
  std::unique_ptr<OpenPort> port;
  int arrivals = 0;
  std::string received;
};

TYPED_TEST_SUITE_P(SerialContract);

TYPED_TEST_P(SerialContract, AReadNeverWaits) {
  // Nothing has arrived: a read that waited for the line would never come
  // back here, since nothing is sent at all.
  const auto silent = this->port->read(256);
  EXPECT_TRUE(silent.ok());
  EXPECT_EQ(silent.value, "");
}

TYPED_TEST_P(SerialContract, AnArrivalWakesTheLoop) {
  auto& e = this->env;
  e.farSideSends("S S      12.345 kg\r\n");
  EXPECT_TRUE(e.pump([&] { return this->received.size() == 20; })) << "received: " << this->received;
  EXPECT_EQ(this->received, "S S      12.345 kg\r\n");
  EXPECT_GE(this->arrivals, 1);
}

TYPED_TEST_P(SerialContract, AnArrivalWakesAMessageLoopThatIsNotTheProgramsOwn) {
  auto& e = this->env;
  e.farSideSends("T\r\n");
  EXPECT_TRUE(e.pumpForeign([&] { return this->received == "T\r\n"; })) << "received: " << this->received;
}

TYPED_TEST_P(SerialContract, EveryByteArrivesOnceInOrder) {
  auto& e = this->env;
  std::string all;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  }
  for (std::size_t at = 0; at < all.size(); at += 100) e.farSideSends(all.substr(at, 100));
  EXPECT_TRUE(e.pump([&] { return this->received.size() >= all.size(); }));
  EXPECT_TRUE(this->received == all) << this->received.size() << " of " << all.size() << " bytes, or not in order";
}

TYPED_TEST_P(SerialContract, AWriteIsNotHeldUpByTheWaitingRead) {
  auto& e = this->env;
  const auto written = this->port->write("SI\r\n");
  EXPECT_TRUE(written.ok());
  EXPECT_EQ(written.value, 4u);
  EXPECT_EQ(e.farSideReceives(4), "SI\r\n");
}

TYPED_TEST_P(SerialContract, NothingArrivesAfterTheClose) {
  auto& e = this->env;
  EXPECT_TRUE(this->port->close());
  e.farSideSends("late\r\n");
  int ticks = 0;
  (void)e.pump([&] { return ++ticks > 20; });
  EXPECT_EQ(this->arrivals, 0);
  EXPECT_FALSE(this->port->read(256).ok()) << "a closed port reads nothing";
}

REGISTER_TYPED_TEST_SUITE_P(SerialContract, AReadNeverWaits, AnArrivalWakesTheLoop,
                            AnArrivalWakesAMessageLoopThatIsNotTheProgramsOwn, EveryByteArrivesOnceInOrder,
                            AWriteIsNotHeldUpByTheWaitingRead, NothingArrivesAfterTheClose);

}  // namespace pondex::contract
