#include "platform/unique_resource.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace pondex {
namespace {

std::vector<int> closed;

int closeHandle(int v) noexcept {
  closed.push_back(v);
  return 0;
}
int noHandle() noexcept {
  return -1;
}
using Handle = UniqueResource<int, closeHandle, noHandle>;

static_assert(!std::is_copy_constructible_v<Handle> && !std::is_copy_assignable_v<Handle>);

TEST(UniqueResource, EveryHandleIsClosedExactlyOnce) {
  closed.clear();
  {
    Handle a(7);
    Handle b(std::move(a));  // moved: only b closes
    Handle c(1);
    c = std::move(b);  // assignment closes what c held
    EXPECT_EQ(closed, std::vector<int>{1});
    Handle invalid;
    invalid.reset();  // nothing to close
  }
  EXPECT_EQ(closed, (std::vector<int>{1, 7}));

  Handle released(3);
  EXPECT_EQ(released.release(), 3);  // given up without closing
  EXPECT_FALSE(released);
  released.reset();
  EXPECT_EQ(closed, (std::vector<int>{1, 7}));
}

}  // namespace
}  // namespace pondex
