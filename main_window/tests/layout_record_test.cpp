#include "main_window/layout_record.h"

#include <gtest/gtest.h>

#include "tests/support/numeric_locale.h"

namespace tambrel::main_window {
namespace {

TEST(LayoutRecord, WritesFourNumbersEachFollowedByThreeSpaces) {
  EXPECT_EQ(FormatLayoutRecord(120, 0, 450, 300, u'.'), u"120   0   450   300   ");
  EXPECT_EQ(FormatLayoutRecord(0, 0, 11235, 8775, u'.'), u"0   0   11235   8775   ");
  EXPECT_EQ(FormatLayoutRecord(600, 0, 10575, 8655, u'.'), u"600   0   10575   8655   ");
}

TEST(LayoutRecord, NumbersUseTheLocaleSeparatorOnlyForFractions) {
  EXPECT_EQ(FormatSingle(12.5f, u','), u"12,5");
  EXPECT_EQ(FormatSingle(12.5f, u'.'), u"12.5");
  EXPECT_EQ(FormatSingle(12.0f, u','), u"12");
  EXPECT_EQ(FormatSingle(-7.25f, u'.'), u"-7.25");
  EXPECT_EQ(FormatSingle(-0.0f, u'.'), u"0");
}

TEST(LayoutRecord, NumbersKeepAtMostSevenSignificantDigits) {
  EXPECT_EQ(FormatSingle(1234567.0f, u'.'), u"1234567");
  EXPECT_EQ(FormatSingle(0.1f, u'.'), u"0.1");  // not 0.100000001
  EXPECT_EQ(FormatSingle(1.0f / 3.0f, u'.'), u"0.3333333");
}

TEST(LayoutRecord, ReadsBackWhatItWroteInAnyLocale) {
  for (const char16_t separator : {u'.', u','}) {
    const auto record = FormatLayoutRecord(12.5f, 0.25f, 450, 8655, separator);
    EXPECT_EQ(ParseLayoutRecord(record, separator), (LayoutFields{12.5, 0.25, 450, 8655}));
  }
}

// The toolkit puts the C library in the desktop's locale; a German one writes 12,5 for 12.5.
TEST(LayoutRecord, ReadsBackWhatItWroteUnderACommaLocaleInForce) {
  testing::ScopedNumericLocale german(testing::ScopedNumericLocale::German());
  ASSERT_TRUE(german.active());
  ASSERT_EQ(german.DecimalPoint(), ',');
  for (const char16_t separator : {u',', u'.'}) {
    const auto record = FormatLayoutRecord(602.1818f, 13.09091f, 9998.5f, 7854.545f, separator);
    EXPECT_EQ(record.find(separator == u',' ? u'.' : u','), std::u16string::npos);
    EXPECT_EQ(ParseLayoutRecord(record, separator),
              (LayoutFields{602.1818, 13.09091, 9998.5, 7854.545}));
  }
  EXPECT_EQ(FormatSingle(602.1818f, u','), u"602,1818");
  EXPECT_EQ(FormatSingle(12345678.0f, u','), u"1,234568E+07");
}

TEST(LayoutRecord, AMissingSeparatorZeroesThatFieldAndEveryLaterOne) {
  // The last number lacks its trailing separator, so it is lost.
  EXPECT_EQ(ParseLayoutRecord(u"120   0   450   300", u'.'), (LayoutFields{120, 0, 450, 0}));
  EXPECT_EQ(ParseLayoutRecord(u"120   0", u'.'), (LayoutFields{120, 0, 0, 0}));
  EXPECT_EQ(ParseLayoutRecord(u"", u'.'), (LayoutFields{}));
  // Two spaces are no separator.
  EXPECT_EQ(ParseLayoutRecord(u"120  0   450   300   ", u'.'), (LayoutFields{0, 450, 300, 0}));
}

TEST(LayoutRecord, FieldsThatAreNotNumbersReadAsZero) {
  EXPECT_EQ(ParseLayoutRecord(u"abc   0   450   x1   ", u'.'), (LayoutFields{0, 0, 450, 0}));
  EXPECT_EQ(ParseLayoutRecord(u"１２   5   5   5   ", u'.'), (LayoutFields{0, 5, 5, 5}));
}

TEST(LayoutRecord, BasesRoundHalvesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfToEven(11235.0), 11235);
  EXPECT_EQ(RoundHalfToEven(2.5), 2);
  EXPECT_EQ(RoundHalfToEven(3.5), 4);
  EXPECT_EQ(RoundHalfToEven(8774.6), 8775);
  EXPECT_EQ(RoundHalfToEven(-1.5), -2);
}

}  // namespace
}  // namespace tambrel::main_window
