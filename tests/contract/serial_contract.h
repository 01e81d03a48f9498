#pragma once
// The rules of platform/serial.h for the background read, once, for every
// implementation: the virtual-time fake (native) and the Windows ports over
// a pty pair (under Wine, in real time). An Env provides:
//   EventLoop& loop();
//   SerialPorts& ports();
//   std::string portName();            the port the tests open
//   void farSideSends(const std::string& bytes);
//   void farSideStreams(const std::string& bytes, std::size_t chunk, Millis gap);
//                                      sends `chunk` bytes every `gap` in the background, as a scale that
//                                      never pauses does; returns at once
//   bool farSideStreamEnded();         the last chunk of the stream has been sent
//   std::string farSideReceives(std::size_t count);   waits up to a few seconds
//   void removeDevice();               the adapter is pulled out: the port's device vanishes
//   void settle();                     gives the reader time to take in what was sent (blocks the thread)
//   bool pump(done);                   runs the loop's own message loop until done() or a few seconds passed
//   bool pumpForeign(done);            the same in a message loop that is not the loop's (a modal window's)
// The tests assert order, content and counts, never a real duration.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial.h"

namespace pondex::contract {

template <typename Env>
class SerialContract : public ::testing::Test {
 protected:
  // Opens the port as the serial component does and starts its background
  // read; whatever an earlier test left on the line is dropped first.
  void SetUp() override {
    auto opened = env.ports().open(env.portName());
    ASSERT_TRUE(opened.ok()) << "error " << opened.error;
    port = std::move(opened.value);
    ASSERT_TRUE(port->setTimeouts({.writeTotalMultiplier = 1, .writeTotalConstant = 1}).ok());
    auto block = env.ports().buildLineControl("9600,N,8,1");
    ASSERT_TRUE(block.ok());
    ASSERT_TRUE(port->setLineControl(*block.value).ok());
    port->discardInput();
    port->startReading([this] {
      ++arrivals;
      if (onArrival) {
        auto handler = onArrival;
        onArrival = nullptr;
        handler();
        return;
      }
      takeAll();
    });
  }
  void TearDown() override {
    if (port) (void)port->close();
  }

  // Takes every piece that waits, as the serial component does.
  void takeAll() {
    for (;;) {
      auto piece = port->read(256);
      if (!piece.ok()) {
        failures.push_back(piece.error);
        continue;
      }
      if (piece.value.bytes.empty()) return;
      EXPECT_LE(piece.value.bytes.size(), 256u);
      received += piece.value.bytes;
      pieces.push_back(std::move(piece.value));
    }
  }

  Env env;
  std::unique_ptr<OpenPort> port;
  int arrivals = 0;
  std::string received;
  std::vector<SerialPiece> pieces;
  std::vector<int> failures;
  // Runs instead of takeAll() at the next arrival, once.
  std::function<void()> onArrival;
};

TYPED_TEST_SUITE_P(SerialContract);

TYPED_TEST_P(SerialContract, AReadNeverWaits) {
  // Nothing has arrived: a read that waited for the line would never come
  // back here, since nothing is sent at all.
  const auto silent = this->port->read(256);
  EXPECT_TRUE(silent.ok());
  EXPECT_EQ(silent.value.bytes, "");
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

TYPED_TEST_P(SerialContract, PiecesAreStampedInOrderOnTheLoopsClock) {
  auto& e = this->env;
  const Millis before = e.loop().now();
  e.farSideSends("S S       1.000 kg\r\n");
  e.farSideSends("S S       2.000 kg\r\n");
  ASSERT_TRUE(e.pump([&] { return this->received.size() == 40; }));
  const Millis after = e.loop().now();
  for (std::size_t i = 0; i < this->pieces.size(); ++i) {
    EXPECT_GE(this->pieces[i].receivedAt, before);
    EXPECT_LE(this->pieces[i].receivedAt, after);
    if (i > 0) {
      EXPECT_GE(this->pieces[i].receivedAt, this->pieces[i - 1].receivedAt);
    }
    EXPECT_FALSE(this->pieces[i].lineError);
  }
}

TYPED_TEST_P(SerialContract, AStreamIsHandedOverWhileItFlows) {
  // 1,200 bytes in 6-byte writes, 6 ms apart: a scale that never pauses. A
  // reader that waited for a gap or a full buffer would hand it over in a
  // few big pieces, most of them only at the end.
  auto& e = this->env;
  std::string stream;
  for (int line = 0; line < 150; ++line) stream += "0000" + std::to_string(10 + line % 90) + "\r\n";
  e.farSideStreams(stream, 6, Millis(6));
  std::size_t receivedWhileFlowing = 0;
  ASSERT_TRUE(e.pump([&] {
    if (!e.farSideStreamEnded()) receivedWhileFlowing = this->received.size();
    return this->received.size() >= stream.size();
  }));
  EXPECT_EQ(this->received, stream);
  EXPECT_GE(receivedWhileFlowing, stream.size() / 2) << "the stream waited for its end";
  // One hand-over may come out as several pieces (read() cuts at 256): they
  // share its stamp.
  std::vector<std::size_t> sizes;
  for (std::size_t i = 0; i < this->pieces.size(); ++i) {
    const bool sameHandOver = i > 0 && this->pieces[i].receivedAt == this->pieces[i - 1].receivedAt;
    if (!sameHandOver) sizes.push_back(0);
    sizes.back() += this->pieces[i].bytes.size();
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_LE(sizes[sizes.size() / 2], 64u) << "the median hand-over held " << sizes[sizes.size() / 2] << " bytes";
}

TYPED_TEST_P(SerialContract, AnArrivalDuringTheHandlerIsNotLost) {
  auto& e = this->env;
  // The first run of the handler takes nothing and makes more arrive while
  // it runs; the next run must come by itself and find everything.
  this->onArrival = [&] {
    e.farSideSends("more\r\n");
    e.settle();
  };
  e.farSideSends("first\r\n");
  EXPECT_TRUE(e.pump([&] { return this->received == "first\r\nmore\r\n"; })) << "received: " << this->received;
  EXPECT_GE(this->arrivals, 2);
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

TYPED_TEST_P(SerialContract, ACloseDropsWhatWasHandedOverButNotTaken) {
  auto& e = this->env;
  bool handedOver = false;
  this->onArrival = [&] { handedOver = true; };
  e.farSideSends("S S      12.345 kg\r\n");
  ASSERT_TRUE(e.pump([&] { return handedOver; }));
  EXPECT_TRUE(this->port->close());
  int ticks = 0;
  (void)e.pump([&] { return ++ticks > 20; });
  EXPECT_EQ(this->arrivals, 1) << "the handler ran after the close";
  EXPECT_FALSE(this->port->read(256).ok());
  EXPECT_EQ(this->received, "");
}

TYPED_TEST_P(SerialContract, BytesThenRemovalGiveTheBytesThenOneFailureThenNothing) {
  auto& e = this->env;
  e.farSideSends("S S      12.345 kg\r\n");
  ASSERT_TRUE(e.pump([&] { return this->received.size() == 20; }));
  e.removeDevice();
  ASSERT_TRUE(e.pump([&] { return !this->failures.empty(); })) << "the removal was never reported";
  EXPECT_EQ(this->received, "S S      12.345 kg\r\n");
  ASSERT_EQ(this->failures.size(), 1u);
  EXPECT_TRUE(isDeviceGoneError(this->failures[0])) << "error " << this->failures[0];
  const int arrivalsAfter = this->arrivals;
  int ticks = 0;
  (void)e.pump([&] { return ++ticks > 40; });
  EXPECT_EQ(this->failures.size(), 1u) << "a gone device is read again";
  EXPECT_EQ(this->arrivals, arrivalsAfter);
}

REGISTER_TYPED_TEST_SUITE_P(SerialContract, AReadNeverWaits, AnArrivalWakesTheLoop,
                            AnArrivalWakesAMessageLoopThatIsNotTheProgramsOwn, EveryByteArrivesOnceInOrder,
                            PiecesAreStampedInOrderOnTheLoopsClock, AStreamIsHandedOverWhileItFlows,
                            AnArrivalDuringTheHandlerIsNotLost, AWriteIsNotHeldUpByTheWaitingRead,
                            NothingArrivesAfterTheClose, ACloseDropsWhatWasHandedOverButNotTaken,
                            BytesThenRemovalGiveTheBytesThenOneFailureThenNothing);

}  // namespace pondex::contract
