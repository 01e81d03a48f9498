#include "platform/unique_resource.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace pondex {
namespace {

std::vector<int> closed;

struct CountingTraits {
  using Type = int;
  static Type invalid() noexcept { return -1; }
  static void close(Type v) noexcept { closed.push_back(v); }
};
using Handle = UniqueResource<CountingTraits>;

static_assert(!std::is_copy_constructible_v<Handle>);
static_assert(!std::is_copy_assignable_v<Handle>);

class UniqueResourceTest : public ::testing::Test {
 protected:
  void SetUp() override { closed.clear(); }
};

TEST_F(UniqueResourceTest, ClosesOnceWhetherMovedOrDestroyed) {
  {
    Handle a(7);
    Handle b(std::move(a));
    EXPECT_FALSE(a.valid());
    Handle c;
    c = std::move(b);
    EXPECT_EQ(c.get(), 7);
  }
  EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueResourceTest, AssignmentClosesTheHandleItReplaces) {
  Handle a(1);
  Handle b(2);
  a = std::move(b);
  EXPECT_EQ(closed, std::vector<int>{1});
  a.reset();
  EXPECT_EQ(closed, (std::vector<int>{1, 2}));
  EXPECT_FALSE(a);
}

TEST_F(UniqueResourceTest, ReleaseGivesUpWithoutClosing) {
  Handle a(3);
  EXPECT_EQ(a.release(), 3);
  EXPECT_TRUE(closed.empty());
  Handle invalid;
  invalid.reset();
  EXPECT_TRUE(closed.empty());
}

}  // namespace
}  // namespace pondex
