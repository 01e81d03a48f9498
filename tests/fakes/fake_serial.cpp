#include "tests/fakes/fake_serial.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace pondex::fakes {
namespace {

struct FakeLineControl final : LineControl {
  explicit FakeLineControl(std::string m) : mode(std::move(m)) {}
  std::string mode;
};

bool startsWithWholeNumber(const std::string& mode) {
  const std::string first = mode.substr(0, mode.find(','));
  return !first.empty() && std::all_of(first.begin(), first.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Com1:", "com1" -> "COM1".
std::string normalisePortName(const std::string& name) {
  std::string n = name;
  if (!n.empty() && n.back() == ':') n.pop_back();
  for (char& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return n;
}

constexpr int kErrorInvalidHandle = 6;

}  // namespace

class FakeOpenPort final : public OpenPort {
 public:
  FakeOpenPort(FakeSerialDevice& device, std::uint64_t generation, FakeEventLoop& loop)
      : device_(device), generation_(generation), loop_(loop) {}
  ~FakeOpenPort() override { (void)close(); }

  Status setTimeouts(const SerialTimeouts& timeouts) override {
    if (auto e = deadError()) return Status::failure(*e);
    if (device_.refuseTimeouts) return Status::failure(*device_.refuseTimeouts);
    device_.timeouts = timeouts;
    return {};
  }

  Status setLineControl(const LineControl& block) override {
    if (auto e = deadError()) return Status::failure(*e);
    if (device_.refuseLineControl) return Status::failure(*device_.refuseLineControl);
    const auto* ours = dynamic_cast<const FakeLineControl*>(&block);
    if (ours == nullptr) return Status::failure(kErrorInvalidParameter);
    device_.mode = ours->mode;
    return {};
  }

  void discardInput() override {
    if (!open_ || deadError()) return;
    device_.discardArrived();
  }

  void startReading(std::function<void()> arrived) override {
    if (!open_ || arrived_) return;
    arrived_ = loop_.createSignal(std::move(arrived));
    if (!deadError()) device_.startReading(*this);
  }

  Result<SerialPiece> read(std::size_t maxBytes) override {
    if (!open_) return {{}, kErrorInvalidHandle};
    if (handedOver_.empty()) return {};
    Waiting& first = handedOver_.front();
    if (first.error != 0) {
      Result<SerialPiece> failure{std::move(first.piece), first.error};
      handedOver_.pop_front();
      return failure;
    }
    if (first.piece.bytes.size() <= maxBytes) {
      Result<SerialPiece> whole{std::move(first.piece), 0};
      handedOver_.pop_front();
      return whole;
    }
    SerialPiece head{first.piece.bytes.substr(0, maxBytes), first.piece.receivedAt, first.piece.lineError};
    first.piece.bytes.erase(0, maxBytes);
    return {std::move(head), 0};
  }

  Result<std::size_t> write(std::string_view bytes) override {
    if (!open_) return {0, kErrorInvalidHandle};
    if (auto e = deadError()) return {0, *e};
    if (auto e = std::exchange(device_.failNextWrite, std::nullopt)) return {0, *e};
    device_.writes.emplace_back(bytes);
    device_.writeTimes.push_back(loop_.now());
    return {bytes.size(), 0};
  }

  bool close() override {
    if (!open_) return false;
    open_ = false;
    ++device_.closes;
    if (generation_ == device_.plugGeneration_) {
      device_.open = false;
      if (device_.reader_ == this) device_.stopReading();
    }
    handedOver_.clear();
    arrived_.reset();
    return true;
  }

  // The device's reader hands over a piece (or a failure).
  void handOver(SerialPiece piece, int error) {
    handedOver_.push_back({std::move(piece), error});
    if (device_.signalDelay <= Millis{0}) {
      if (arrived_) arrived_->signal();
      return;
    }
    loop_.postAt(loop_.now() + device_.signalDelay, [this, alive = std::weak_ptr<int>(alive_)] {
      if (!alive.expired() && arrived_) arrived_->signal();
    });
  }

 private:
  struct Waiting {
    SerialPiece piece;
    int error = 0;
  };

  // The error every call gives once the device behind this handle is gone.
  [[nodiscard]] std::optional<int> deadError() const {
    if (generation_ != device_.plugGeneration_) return device_.removalError_;
    return std::nullopt;
  }

  FakeSerialDevice& device_;
  std::uint64_t generation_;
  FakeEventLoop& loop_;
  bool open_ = true;
  std::unique_ptr<CrossThreadSignal> arrived_;
  std::deque<Waiting> handedOver_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // for signals posted later
};

void FakeSerialDevice::sendAt(Millis at, const std::string& bytes) {
  for (char c : bytes) {
    const auto it =
        std::upper_bound(waiting_.begin(), waiting_.end(), at, [](Millis t, const Byte& b) { return t < b.at; });
    waiting_.insert(it, {at, c});
  }
  lastArrival_ = std::max(lastArrival_, at);
  loop_.postAt(at, [this] {
    // Bytes sent while the device is out reach nobody.
    if (!pluggedIn_) discardArrived();
    takeInArrivals();
  });
}

void FakeSerialDevice::streamAt(Millis at, const std::string& bytes, int baud) {
  // Microseconds, so that bytes shorter than a millisecond keep their pace.
  const std::int64_t byteMicros = 10'000'000 / baud;
  std::size_t first = 0;
  for (std::size_t i = 0; i <= bytes.size(); ++i) {
    const auto arrival = [&](std::size_t n) { return at + Millis(static_cast<std::int64_t>(n) * byteMicros / 1000); };
    if (i == bytes.size() || arrival(i) != arrival(first)) {
      if (i > first) sendAt(arrival(first), bytes.substr(first, i - first));
      first = i;
    }
  }
}

void FakeSerialDevice::lineErrorAt(Millis at) {
  loop_.postAt(at, [this, generation = plugGeneration_] {
    if (generation != plugGeneration_ || !reading) return;
    takeInArrivals();
    readLineError_ = true;
  });
}

void FakeSerialDevice::readFailsAt(Millis at, int error) {
  loop_.postAt(at, [this, error, generation = plugGeneration_] {
    if (generation != plugGeneration_ || !reading) return;
    takeInArrivals();
    completeRead();
    handOver({.receivedAt = loop_.now()}, error);
  });
}

void FakeSerialDevice::startReading(FakeOpenPort& reader) {
  reader_ = &reader;
  reading = true;
  // The reader catches up with what waits a moment later, not within the
  // call that starts it.
  loop_.post([this, generation = plugGeneration_] {
    if (generation == plugGeneration_) takeInArrivals();
  });
}

void FakeSerialDevice::stopReading() {
  reader_ = nullptr;
  reading = false;
  readBytes_.clear();
  readLineError_ = false;
  ++readNumber_;
}

void FakeSerialDevice::discardArrived() {
  while (!waiting_.empty() && waiting_.front().at <= loop_.now()) waiting_.pop_front();
}

void FakeSerialDevice::takeInArrivals() {
  if (!reading) return;
  bool took = false;
  while (!waiting_.empty() && waiting_.front().at <= loop_.now()) {
    if (readBytes_.empty() && cutAfter) {
      // A read that no cut ends is handed over maxHold after its first byte.
      loop_.postAt(loop_.now() + maxHold, [this, number = readNumber_, generation = plugGeneration_] {
        if (generation == plugGeneration_ && number == readNumber_ && !readBytes_.empty()) completeRead();
      });
    }
    readBytes_ += waiting_.front().value;
    waiting_.pop_front();
    took = true;
    if (cutAfter && cutAfter(received_++)) completeRead();
  }
  if (took && !cutAfter) completeRead();
}

void FakeSerialDevice::completeRead() {
  if (readBytes_.empty() && !readLineError_) return;
  SerialPiece piece{std::exchange(readBytes_, {}), loop_.now() + completionDelay, std::exchange(readLineError_, false)};
  ++readNumber_;
  if (piece.bytes.empty()) {
    readLineError_ = true;  // an error with no byte yet goes with the next read
    return;
  }
  if (completionDelay <= Millis{0}) {
    handOver(std::move(piece));
    return;
  }
  loop_.postAt(piece.receivedAt, [this, piece, generation = plugGeneration_]() mutable {
    if (generation == plugGeneration_) handOver(std::move(piece));
  });
}

void FakeSerialDevice::handOver(SerialPiece piece, int error) {
  if (reader_ != nullptr) reader_->handOver(std::move(piece), error);
}

void FakeSerialDevice::unplug(int error) {
  if (reading) {
    takeInArrivals();
    completeRead();
    handOver({.receivedAt = loop_.now()}, error);
  }
  pluggedIn_ = false;
  removalError_ = error;
  ++plugGeneration_;
  open = false;
  discardArrived();  // what the far side sends later waits for the device to come back
  stopReading();
}

std::string FakeSerialDevice::written() const {
  std::string all;
  for (const auto& w : writes) all += w;
  return all;
}

FakeSerialDevice& FakeSerialPorts::addPort(const std::string& name) {
  auto& slot = devices_[normalisePortName(name)];
  if (!slot) slot = std::make_unique<FakeSerialDevice>(loop_);
  return *slot;
}

Result<std::unique_ptr<OpenPort>> FakeSerialPorts::open(const std::string& name) {
  auto it = devices_.find(normalisePortName(name));
  if (it == devices_.end() || !it->second->pluggedIn_) return {nullptr, kErrorFileNotFound};
  FakeSerialDevice& d = *it->second;
  if (d.refuseOpen) return {nullptr, *d.refuseOpen};
  if (d.open) return {nullptr, kErrorAccessDenied};
  d.open = true;
  ++d.opens;
  return {std::make_unique<FakeOpenPort>(d, d.plugGeneration_, loop_), 0};
}

Result<std::unique_ptr<LineControl>> FakeSerialPorts::buildLineControl(const std::string& mode) {
  if (!startsWithWholeNumber(mode)) return {nullptr, kErrorInvalidParameter};
  return {std::make_unique<FakeLineControl>(mode), 0};
}

std::function<bool(std::uint64_t)> randomCuts(std::uint32_t seed, std::uint32_t meanLength) {
  return [seed, meanLength](std::uint64_t byteNumber) {
    // A hash of the byte's number: the same cuts for the same seed, whatever else happens.
    std::uint64_t h = (byteNumber + 1) * 0x9E3779B97F4A7C15ULL ^ (static_cast<std::uint64_t>(seed) << 32U);
    h ^= h >> 29U;
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 32U;
    return meanLength <= 1 || h % meanLength == 0;
  };
}

}  // namespace pondex::fakes
