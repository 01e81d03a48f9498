#pragma once
// Serial ports in virtual time, each with a scriptable far side and a
// background reader whose reads can be cut anywhere.
//
// - A port is known by its name in capitals without a colon: "Com1:" and
//   "COM1" name the same port. Opening a port that was not added fails with
//   2 (as does one that is unplugged), one already open with 5.
// - Every byte the far side sends has its own virtual arrival time. Bytes
//   that arrive before a port reads wait in the driver, for the reader or
//   for discardInput().
// - Once a port reads, arriving bytes go into the read under way, and a
//   read completes (its piece is handed over, stamped, and the arrival
//   handler is signalled) where the cut rule says: by default at each
//   moment bytes arrive, with every byte of that moment; with `cutAfter`
//   set, right after each byte it picks, or `maxHold` after the read's
//   first byte, whichever comes first. A test can so cut one stream every
//   way a reader could. `completionDelay` puts the hand-over (and its
//   stamp) later than the last byte, as a reader's latency does.
// - read() never moves the clock: it takes the pieces handed over so far.
// - A write completes at once in virtual time (the driver buffers it) and
//   is recorded byte for byte.
// - Mode texts are refused with 87 when their first field is not a whole
//   number (as the system refuses "abc,N,8,1").
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial.h"
#include "tests/fakes/fake_event_loop.h"

namespace pondex::fakes {

class FakeOpenPort;

class FakeSerialDevice {
 public:
  explicit FakeSerialDevice(FakeEventLoop& loop) : loop_(loop) {}

  // The far side sends `bytes`, all arriving at virtual time `at`.
  void sendAt(Millis at, const std::string& bytes);
  // ... arriving `delay` from now.
  void sendIn(Millis delay, const std::string& bytes) { sendAt(loop_.now() + delay, bytes); }
  // The far side sends `bytes` back to back at `baud` (ten bits a byte),
  // the first arriving at `at`: each byte at its own time.
  void streamAt(Millis at, const std::string& bytes, int baud);
  // When the last byte sent so far arrives.
  [[nodiscard]] Millis lastArrival() const { return lastArrival_; }

  // The driver reports a line error (parity, framing, overrun) at `at`: the
  // read under way then, or the next one, carries it.
  void lineErrorAt(Millis at);
  // The background read fails once at `at` with `error`, after handing over
  // the bytes it had.
  void readFailsAt(Millis at, int error);

  // The device vanishes now: the reader hands over the bytes it had, then
  // one failure with `error`, then nothing; every other call of a handle
  // opened before fails with `error`, and opening fails with 2 until plugIn().
  void unplug(int error = kErrorBadCommand);
  void plugIn() { pluggedIn_ = true; }

  // The cut rule (see above). `byteNumber` counts every byte this device
  // received, from 0, in arrival order.
  std::function<bool(std::uint64_t byteNumber)> cutAfter;
  Millis maxHold{20};
  Millis completionDelay{0};
  // How long a handed-over piece waits before the arrival handler is
  // signalled, as a busy thread's message queue makes it wait; read() can
  // take it meanwhile.
  Millis signalDelay{0};

  // The bytes of every write call in order, empty ones included.
  std::vector<std::string> writes;
  // All bytes written, in order, and when each write was made.
  [[nodiscard]] std::string written() const;
  std::vector<Millis> writeTimes;

  // Failure injection for the next write only, and for every call of its
  // kind while set.
  std::optional<int> failNextWrite;
  std::optional<int> refuseOpen;
  std::optional<int> refuseTimeouts;
  std::optional<int> refuseLineControl;

  // What the port was last set to, and counts of calls.
  std::optional<SerialTimeouts> timeouts;
  std::string mode;  // mode text of the last line-control block applied
  int opens = 0;     // successful opens
  int closes = 0;
  bool open = false;
  bool reading = false;  // the open port reads in the background

 private:
  friend class FakeOpenPort;
  friend class FakeSerialPorts;
  struct Byte {
    Millis at;
    char value;
  };

  void startReading(FakeOpenPort& reader);
  void stopReading();
  void discardArrived();
  // Moves the bytes that have arrived into the read under way.
  void takeInArrivals();
  void completeRead();
  void handOver(SerialPiece piece, int error = 0);

  FakeEventLoop& loop_;
  std::deque<Byte> waiting_;  // sent, not yet in a read; in arrival order
  Millis lastArrival_{0};
  std::uint64_t received_ = 0;  // bytes that went into reads
  bool pluggedIn_ = true;
  int removalError_ = 0;  // what handles of an earlier generation fail with
  std::uint64_t plugGeneration_ = 0;
  FakeOpenPort* reader_ = nullptr;  // the open port's, while it reads
  // The read under way.
  std::string readBytes_;
  bool readLineError_ = false;
  std::uint64_t readNumber_ = 0;  // counts completed reads, to match hold deadlines
};

class FakeSerialPorts final : public SerialPorts {
 public:
  explicit FakeSerialPorts(FakeEventLoop& loop) : loop_(loop) {}

  // Adds a port (or returns the one of that name).
  FakeSerialDevice& addPort(const std::string& name);

  Result<std::unique_ptr<OpenPort>> open(const std::string& name) override;
  Result<std::unique_ptr<LineControl>> buildLineControl(const std::string& mode) override;

 private:
  FakeEventLoop& loop_;
  std::map<std::string, std::unique_ptr<FakeSerialDevice>> devices_;
};

// A cut rule for FakeSerialDevice::cutAfter: reads complete after bytes picked at random with probability
// 1/`meanLength`.
std::function<bool(std::uint64_t)> randomCuts(std::uint32_t seed, std::uint32_t meanLength);

}  // namespace pondex::fakes
