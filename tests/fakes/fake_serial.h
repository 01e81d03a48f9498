#pragma once
// Serial ports in virtual time, each with a scriptable far side.
//
// - A port is known by its name in capitals without a colon: "Com1:" and
//   "COM1" name the same port. Opening a port that was not added fails with 2 (as does
//   one that is unplugged), one already open with 5.
// - Bytes from the far side arrive at chosen virtual times, each send as one
//   piece. Bytes that arrived before a port was opened stay for it unless
//   it discards them. Once a port reads, the arrival handler is signalled
//   through the loop at each arrival (for bytes that were waiting, at the
//   loop's next turn), and after the device vanished. Bytes become readable
//   with their signal, as a reader thread hands them over, not before. read() never moves the clock: it takes what has
//   arrived up to now.
// - A write completes at once in virtual time (the driver buffers it) and
//   is recorded byte for byte.
// - Mode texts are refused with 87 when their first field is not a whole
//   number (as the system refuses "abc,N,8,1").
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial.h"
#include "tests/fakes/fake_event_loop.h"

namespace pondex::fakes {

class FakeSerialDevice {
 public:
  explicit FakeSerialDevice(FakeEventLoop& loop) : loop_(loop) {}

  // The far side sends `bytes`, all arriving at virtual time `at`.
  void sendAt(Millis at, const std::string& bytes);
  // ... arriving `delay` from now.
  void sendIn(Millis delay, const std::string& bytes) { sendAt(loop_.now() + delay, bytes); }

  // The device vanishes: every read and write of a handle opened before
  // fails with `error`, and opening fails with 2 until plugIn().
  void unplug(int error = kErrorBadCommand);
  void plugIn() { pluggedIn_ = true; }

  // The bytes of every write call in order, empty ones included.
  std::vector<std::string> writes;
  // All bytes written, in order.
  [[nodiscard]] std::string written() const;

  // Failure injection, each for the next call of its kind only.
  std::optional<int> failNextRead;
  std::optional<int> failNextWrite;
  // Failures of every call of their kind while set.
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
  struct Arrival {
    Millis at;
    std::string bytes;
  };
  Result<std::string> read(std::size_t maxBytes);
  void startReading(CrossThreadSignal& arrived);
  void stopReading();
  void discardArrived();
  void signalArrival();

  FakeEventLoop& loop_;
  std::deque<Arrival> arrivals_;  // in time order
  bool pluggedIn_ = true;
  int removalError_ = 0;  // what handles of an earlier generation fail with
  std::uint64_t plugGeneration_ = 0;
  CrossThreadSignal* arrived_ = nullptr;  // the open port's, while it reads
  Millis readUpTo_ = Millis::min();       // what arrived up to here is readable
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

}  // namespace pondex::fakes
