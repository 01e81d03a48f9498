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
  FakeOpenPort(FakeSerialDevice& device, std::uint64_t generation) : device_(device), generation_(generation) {}
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

  Result<std::string> read(std::size_t maxBytes) override {
    if (!open_) return {{}, 6};  // ERROR_INVALID_HANDLE
    if (auto e = deadError()) return {{}, *e};
    if (auto e = std::exchange(device_.failNextRead, std::nullopt)) return {{}, *e};
    return device_.read(maxBytes);
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
    if (generation_ == device_.plugGeneration_) device_.open = false;
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
  bool open_ = true;
};

void FakeSerialDevice::sendAt(Millis at, const std::string& bytes) {
  auto it =
      std::upper_bound(arrivals_.begin(), arrivals_.end(), at, [](Millis t, const Arrival& a) { return t < a.at; });
  arrivals_.insert(it, {at, bytes});
}

void FakeSerialDevice::unplug(int error) {
  pluggedIn_ = false;
  removalError_ = error;
  ++plugGeneration_;
  open = false;
  arrivals_.clear();
}

std::string FakeSerialDevice::written() const {
  std::string all;
  for (const auto& w : writes) all += w;
  return all;
}

Result<std::string> FakeSerialDevice::read(std::size_t maxBytes) {
  const SerialTimeouts t = timeouts.value_or(SerialTimeouts{});
  const Millis start = loop_.now();
  const std::uint64_t total = std::uint64_t{t.readTotalMultiplier} * maxBytes + t.readTotalConstant;
  std::string got;
  std::optional<Millis> lastByte;
  while (got.size() < maxBytes) {
    std::optional<Millis> deadline;
    if (total != 0) deadline = start + Millis{static_cast<Millis::rep>(total)};
    if (lastByte && t.readInterval != 0) {
      const Millis interval = *lastByte + Millis{t.readInterval};
      if (!deadline || interval < *deadline) deadline = interval;
    }
    // Bytes already waiting count as received at the call.
    const Millis at = arrivals_.empty() ? start : std::max(arrivals_.front().at, start);
    if (arrivals_.empty() || (deadline && at > *deadline)) {
      if (deadline) loop_.advanceClock(*deadline - loop_.now());
      break;
    }
    loop_.advanceClock(at - loop_.now());
    lastByte = at;
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
  return {std::make_unique<FakeOpenPort>(d, d.plugGeneration_), 0};
}

Result<std::unique_ptr<LineControl>> FakeSerialPorts::buildLineControl(const std::string& mode) {
  if (!startsWithWholeNumber(mode)) return {nullptr, kErrorInvalidParameter};
  return {std::make_unique<FakeLineControl>(mode), 0};
}

}  // namespace pondex::fakes
