// The owned handle closes what it holds exactly once, hands it on when moved and gives it up
// when released: on handles that count their closes, and on a real kernel handle.
#include "platform/win32/owned_handle.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace {

std::map<int, int> closes;  // handle -> times closed

struct CountingTraits {
  using Handle = int;
  static Handle None() noexcept { return 0; }
  static bool IsValid(Handle h) noexcept { return h > 0; }
  static void Close(Handle h) noexcept { ++closes[h]; }
};
using Counted = ScopedHandle<CountingTraits>;

struct OwnershipCase {
  const char* what;
  std::function<void()> use;  // every handle it makes ends before it returns
  std::map<int, int> wanted;
};

void PrintTo(const OwnershipCase& c, std::ostream* os) {
  *os << c.what;
}

class OwnedHandleOwnership : public testing::TestWithParam<OwnershipCase> {};

TEST_P(OwnedHandleOwnership, ClosesEachHandleOnce) {
  closes.clear();
  GetParam().use();
  EXPECT_EQ(closes, GetParam().wanted);
}

// Each case checks its handles' state as it goes; the table holds the closes once they end.
INSTANTIATE_TEST_SUITE_P(
    Steps, OwnedHandleOwnership,
    testing::Values(OwnershipCase{"Destroyed", [] { Counted h(1), none(-1), empty; }, {{1, 1}}},
                    OwnershipCase{"Moved",
                                  [] {
                                    Counted a(1), b(std::move(a));
                                    EXPECT_TRUE(!a && b.Get() == 1);
                                  },
                                  {{1, 1}}},
                    OwnershipCase{"MovedOverAHeldOne",
                                  [] {
                                    Counted a(1), b(2);
                                    b = std::move(a);
                                    EXPECT_TRUE(closes[2] == 1 && closes.count(1) == 0 &&
                                                b.Get() == 1);
                                  },
                                  {{1, 1}, {2, 1}}},
                    OwnershipCase{"MovedOntoItself",
                                  [] {
                                    Counted a(1);
                                    Counted& same = a;
                                    a = std::move(same);
                                    EXPECT_EQ(a.Get(), 1);
                                  },
                                  {{1, 1}}},
                    OwnershipCase{"Released",
                                  [] {
                                    Counted a(1);
                                    EXPECT_TRUE(a.Release() == 1 && !a);
                                  },
                                  {}},
                    OwnershipCase{"ResetTwice",
                                  [] {
                                    Counted a(1);
                                    a.Reset(2);
                                    a.Reset();
                                    a.Reset();
                                  },
                                  {{1, 1}, {2, 1}}}),
    [](const auto& info) { return std::string(info.param.what); });

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

TEST(OwnedHandle, ClosesAKernelHandleUnlessReleased) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  { OwnedHandle owner(event); }
  EXPECT_FALSE(IsOpen(event));

  event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  {
    OwnedHandle owner(event);
    EXPECT_EQ(owner.Release(), event);
  }
  EXPECT_TRUE(IsOpen(event));
  CloseHandle(event);

  EXPECT_FALSE(OwnedHandle(INVALID_HANDLE_VALUE));  // CreateFileA's failure is no handle
}

}  // namespace
