#pragma once
// One move-only owner for every kind of operating-system handle, named by
// the handle type, the function that closes it and (when it is not the
// type's zero value) a function giving its invalid value. Each handle type
// is then one line:
//
//   inline int noFd() noexcept { return -1; }
//   using UniqueFd = UniqueResource<int, ::close, noFd>;
//
// Copies are deleted so that no handle is ever closed twice. What the close
// function returns is of no use once the handle is being given up, so it is
// dropped.
#include <utility>

namespace pondex {

template <typename T>
constexpr T zeroHandle() noexcept {
  return T{};
}

template <typename T, auto Close, T (*Invalid)() noexcept = zeroHandle<T>>
class UniqueResource {
 public:
  using Type = T;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Type value) noexcept : value_(value) {}
  ~UniqueResource() { reset(); }

  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  [[nodiscard]] Type get() const noexcept { return value_; }
  [[nodiscard]] bool valid() const noexcept { return value_ != Invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Gives the handle up without closing it.
  [[nodiscard]] Type release() noexcept { return std::exchange(value_, Invalid()); }

  // Closes the held handle (if any) and takes `value` instead.
  void reset(Type value = Invalid()) noexcept {
    Type old = std::exchange(value_, value);
    if (old != Invalid()) (void)Close(old);
  }

 private:
  Type value_ = Invalid();
};

}  // namespace pondex
