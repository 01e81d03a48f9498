#pragma once
// One move-only owner for every kind of operating-system handle. A traits
// type names the handle type, its invalid value and how to close it:
//
//   struct FileTraits { using Type = int; static Type invalid() noexcept { return -1; }
//                       static void close(Type v) noexcept { ::close(v); } };
//   using UniqueFd = UniqueResource<FileTraits>;
//
// Copies are deleted so that no handle is ever closed twice.
#include <utility>

namespace pondex {

template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

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
  [[nodiscard]] bool valid() const noexcept { return value_ != Traits::invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Gives the handle up without closing it.
  [[nodiscard]] Type release() noexcept { return std::exchange(value_, Traits::invalid()); }

  // Closes the held handle (if any) and takes `value` instead.
  void reset(Type value = Traits::invalid()) noexcept {
    Type old = std::exchange(value_, value);
    if (old != Traits::invalid()) Traits::close(old);
  }

 private:
  Type value_ = Traits::invalid();
};

}  // namespace pondex
