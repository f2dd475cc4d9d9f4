// A third press soon after a double-click, near it, is a triple click; anything else is not.
#include "platform/win32/text_view/click_counter.h"

#include <gtest/gtest.h>

namespace tambrel::platform::win32 {
namespace {

const ClickCounter::Limits kLimits{500, SIZE{4, 4}};

TEST(ClickCounter, APressSoonAfterADoubleClickIsTheThird) {
  ClickCounter clicks;
  clicks.DoubleClicked(POINT{100, 50}, 1000);
  EXPECT_TRUE(clicks.IsTripleClick(POINT{101, 51}, 1400, kLimits));
  // The count starts again after it: a fourth press is a first one.
  EXPECT_FALSE(clicks.IsTripleClick(POINT{101, 51}, 1450, kLimits));
}

TEST(ClickCounter, ALatePressIsAFirstOne) {
  ClickCounter clicks;
  clicks.DoubleClicked(POINT{100, 50}, 1000);
  EXPECT_FALSE(clicks.IsTripleClick(POINT{100, 50}, 1501, kLimits));
}

TEST(ClickCounter, AFarPressIsAFirstOne) {
  ClickCounter clicks;
  clicks.DoubleClicked(POINT{100, 50}, 1000);
  EXPECT_FALSE(clicks.IsTripleClick(POINT{103, 50}, 1100, kLimits));
  clicks.DoubleClicked(POINT{100, 50}, 2000);
  EXPECT_FALSE(clicks.IsTripleClick(POINT{100, 47}, 2100, kLimits));
}

TEST(ClickCounter, WithoutADoubleClickThereIsNoThird) {
  ClickCounter clicks;
  EXPECT_FALSE(clicks.IsTripleClick(POINT{0, 0}, 0, kLimits));
}

TEST(ClickCounter, TheTickCountWrappingAroundDoesNoHarm) {
  ClickCounter clicks;
  clicks.DoubleClicked(POINT{10, 10}, 0xFFFFFF00u);
  EXPECT_TRUE(clicks.IsTripleClick(POINT{10, 10}, 0x00000010u, kLimits));
}

}  // namespace
}  // namespace tambrel::platform::win32
