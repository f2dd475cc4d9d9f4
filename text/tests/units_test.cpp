#include "text/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "text/text_buffer.h"

namespace tambrel::text {
namespace {

TEST(Units, ATakenOverStringKeepsItsStorage) {
  std::u16string string(1000, u'字');
  const char16_t* storage = string.data();
  Units units(std::move(string));
  EXPECT_EQ(units.data(), storage);
  EXPECT_EQ(units.size(), 1000u);
  // Handing the units back hands back the same storage.
  const std::u16string back = std::move(units).TakeString();
  EXPECT_EQ(back.data(), storage);
}

TEST(Units, RoomForOverwriteHoldsWhatIsWrittenAndComesBackAsAString) {
  Units units = Units::ForOverwrite(5);
  ASSERT_EQ(units.size(), 5u);
  std::u16string_view source = u"一二三四五";
  std::copy(source.begin(), source.end(), units.data());
  EXPECT_EQ(units, source);
  units.Truncate(3);
  EXPECT_EQ(units, u"一二三");
  EXPECT_EQ(units.back(), u'三');
  EXPECT_EQ(std::move(units).TakeString(), u"一二三");
  // The room went with it.
  EXPECT_TRUE(units.empty());  // NOLINT(bugprone-use-after-move): a taken text is empty
}

TEST(Units, AppendedUnitsNeverMoveWithinTheRoom) {
  Units units = Units::WithRoom(8);
  EXPECT_TRUE(units.empty());
  EXPECT_EQ(units.capacity(), 8u);
  const char16_t* storage = units.data();
  units.Append(u"abc");
  units.Append(u"");
  units.Append(u"defgh");
  EXPECT_EQ(units.data(), storage);
  EXPECT_EQ(units, u"abcdefgh");
  // Moving the units moves their storage with them.
  const Units moved = std::move(units);
  EXPECT_EQ(moved.data(), storage);
}

TEST(Units, ABufferAdoptsUnitsADecoderWroteWithoutCopyingThem) {
  const std::u16string text = u"第一行\r\n第二行\r第三行\n";
  Units units = Units::ForOverwrite(text.size());
  std::copy(text.begin(), text.end(), units.data());
  const char16_t* storage = units.data();
  const TextBuffer buffer(std::move(units));
  EXPECT_EQ(buffer.Text(), text);
  EXPECT_EQ(buffer.LineCount(), 4u);
  std::u16string scratch;
  EXPECT_EQ(buffer.SpanAt(0, scratch).data(), storage);
}

}  // namespace
}  // namespace tambrel::text
