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
    if (open_ && !deadError()) device_.discardArrived();
  }

  void startReading(std::function<void()> arrived) override {
    if (!open_ || arrived_) return;
    arrived_ = loop_.createSignal(std::move(arrived));
    if (!deadError()) device_.startReading(*arrived_);
  }

  Result<std::string> read(std::size_t maxBytes) override {
    if (!open_) return {{}, 6};  // ERROR_INVALID_HANDLE
    if (auto e = deadError()) return {{}, *e};
    // As the background read keeps them: the bytes before the failure first.
    Result<std::string> got = device_.read(maxBytes);
    if (got.value.empty()) {
      if (auto e = std::exchange(device_.failNextRead, std::nullopt)) return {{}, *e};
    }
    return got;
  }

  Result<std::size_t> write(std::string_view bytes) override {
    if (!open_) return {0, 6};
    if (auto e = deadError()) return {0, *e};
    if (auto e = std::exchange(device_.failNextWrite, std::nullopt)) return {0, *e};
    device_.writes.emplace_back(bytes);
    return {bytes.size(), 0};
  }

  bool close() override {
    if (!open_) return false;
    open_ = false;
    ++device_.closes;
    if (generation_ == device_.plugGeneration_) {
      device_.open = false;
      if (arrived_) device_.stopReading();
    }
    arrived_.reset();
    return true;
  }

 private:
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
};

void FakeSerialDevice::sendAt(Millis at, const std::string& bytes) {
  auto it =
      std::upper_bound(arrivals_.begin(), arrivals_.end(), at, [](Millis t, const Arrival& a) { return t < a.at; });
  arrivals_.insert(it, {at, bytes});
  loop_.postAt(at, [this, generation = plugGeneration_] {
    if (generation != plugGeneration_ || !reading) return;
    readUpTo_ = std::max(readUpTo_, loop_.now());
    signalArrival();
  });
}

void FakeSerialDevice::startReading(CrossThreadSignal& arrived) {
  arrived_ = &arrived;
  reading = true;
  // The reader catches up with what waits a moment later, not within the
  // call that starts it.
  loop_.post([this, generation = plugGeneration_] {
    if (generation != plugGeneration_ || !reading) return;
    readUpTo_ = std::max(readUpTo_, loop_.now());
    if (!arrivals_.empty() && arrivals_.front().at <= readUpTo_) signalArrival();
  });
}

void FakeSerialDevice::discardArrived() {
  while (!arrivals_.empty() && arrivals_.front().at <= loop_.now()) arrivals_.pop_front();
}

void FakeSerialDevice::stopReading() {
  arrived_ = nullptr;
  reading = false;
  readUpTo_ = Millis::min();
}

void FakeSerialDevice::signalArrival() {
  if (arrived_ != nullptr) arrived_->signal();
}

void FakeSerialDevice::unplug(int error) {
  pluggedIn_ = false;
  removalError_ = error;
  ++plugGeneration_;
  open = false;
  arrivals_.clear();
  // The reading port's next read fails: its host must hear of it.
  signalArrival();
  stopReading();
}

std::string FakeSerialDevice::written() const {
  std::string all;
  for (const auto& w : writes) all += w;
  return all;
}

Result<std::string> FakeSerialDevice::read(std::size_t maxBytes) {
  std::string got;
  while (got.size() < maxBytes && !arrivals_.empty() && arrivals_.front().at <= readUpTo_) {
    Arrival& a = arrivals_.front();
    const std::size_t n = std::min(maxBytes - got.size(), a.bytes.size());
    got.append(a.bytes, 0, n);
    a.bytes.erase(0, n);
    if (a.bytes.empty()) arrivals_.pop_front();
  }
  return {std::move(got), 0};
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
  if (d.open) return {nullptr, kErrorAccessDenied};
  d.open = true;
  ++d.opens;
  return {std::make_unique<FakeOpenPort>(d, d.plugGeneration_, loop_), 0};
}

Result<std::unique_ptr<LineControl>> FakeSerialPorts::buildLineControl(const std::string& mode) {
  if (!startsWithWholeNumber(mode)) return {nullptr, kErrorInvalidParameter};
  return {std::make_unique<FakeLineControl>(mode), 0};
}

}  // namespace pondex::fakes
