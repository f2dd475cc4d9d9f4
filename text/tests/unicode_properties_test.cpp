#include "text/unicode_properties.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tambrel::text {
namespace {

// Spot checks of the generated table, one or more per value that the core acts on, so that a
// generator that shifted a field or read the wrong column fails here.
TEST(UnicodeProperties, GraphemeBreakAndPictographs) {
  EXPECT_EQ(PropertiesOf(U'a').Grapheme(), GraphemeBreak::kOther);
  EXPECT_EQ(PropertiesOf(U'\r').Grapheme(), GraphemeBreak::kCR);
  EXPECT_EQ(PropertiesOf(U'\n').Grapheme(), GraphemeBreak::kLF);
  EXPECT_EQ(PropertiesOf(U'\t').Grapheme(), GraphemeBreak::kControl);
  EXPECT_EQ(PropertiesOf(0x0301).Grapheme(), GraphemeBreak::kExtend);
  EXPECT_EQ(PropertiesOf(0x1F3FD).Grapheme(), GraphemeBreak::kExtend);  // a skin tone
  EXPECT_EQ(PropertiesOf(0x200D).Grapheme(), GraphemeBreak::kZwj);
  EXPECT_EQ(PropertiesOf(0x1F1E8).Grapheme(), GraphemeBreak::kRegionalIndicator);
  EXPECT_EQ(PropertiesOf(0x0600).Grapheme(), GraphemeBreak::kPrepend);
  EXPECT_EQ(PropertiesOf(0x093F).Grapheme(), GraphemeBreak::kSpacingMark);
  EXPECT_EQ(PropertiesOf(0x1100).Grapheme(), GraphemeBreak::kL);
  EXPECT_EQ(PropertiesOf(0x1161).Grapheme(), GraphemeBreak::kV);
  EXPECT_EQ(PropertiesOf(0x11A8).Grapheme(), GraphemeBreak::kT);
  EXPECT_EQ(PropertiesOf(0xAC00).Grapheme(), GraphemeBreak::kLV);
  EXPECT_EQ(PropertiesOf(0xAC01).Grapheme(), GraphemeBreak::kLVT);
  // Lone surrogate halves stand alone.
  EXPECT_EQ(PropertiesOf(0xD800).Grapheme(), GraphemeBreak::kControl);
  EXPECT_EQ(PropertiesOf(0xDFFF).Grapheme(), GraphemeBreak::kControl);

  EXPECT_TRUE(PropertiesOf(0x1F468).IsExtendedPictographic());
  EXPECT_TRUE(PropertiesOf(0x00A9).IsExtendedPictographic());
  EXPECT_FALSE(PropertiesOf(U'a').IsExtendedPictographic());
  EXPECT_FALSE(PropertiesOf(0x1F1E8).IsExtendedPictographic());
}

TEST(UnicodeProperties, ConjunctBreakIsDerivedAsUnicode15Point1Does) {
  for (const char32_t virama : {0x094D, 0x09CD, 0x0ACD, 0x0B4D, 0x0C4D, 0x0D4D}) {
    EXPECT_EQ(PropertiesOf(virama).Conjunct(), ConjunctBreak::kLinker)
        << std::hex << static_cast<std::uint32_t>(virama);
  }
  // Tamil's virama links nothing; like every mark with a combining class it may sit inside a
  // conjunct.
  EXPECT_EQ(PropertiesOf(0x0BCD).Conjunct(), ConjunctBreak::kExtend);
  EXPECT_EQ(PropertiesOf(0x0915).Conjunct(), ConjunctBreak::kConsonant);
  EXPECT_EQ(PropertiesOf(0x0D15).Conjunct(), ConjunctBreak::kConsonant);
  EXPECT_EQ(PropertiesOf(0x0B95).Conjunct(), ConjunctBreak::kNone);    // Tamil
  EXPECT_EQ(PropertiesOf(0x093C).Conjunct(), ConjunctBreak::kExtend);  // nukta, ccc 7
  EXPECT_EQ(PropertiesOf(0x200D).Conjunct(), ConjunctBreak::kExtend);
  EXPECT_EQ(PropertiesOf(0x0941).Conjunct(), ConjunctBreak::kNone);  // Extend with ccc 0
  EXPECT_EQ(PropertiesOf(U'a').Conjunct(), ConjunctBreak::kNone);
}

TEST(UnicodeProperties, WordClasses) {
  for (const char32_t c : {U'a', U'Z', U'7', U'_', char32_t{0x0301}, char32_t{0x0915},
                           char32_t{0xFF21}, char32_t{0x0660}}) {
    EXPECT_EQ(PropertiesOf(c).Word(), WordClass::kWord)
        << std::hex << static_cast<std::uint32_t>(c);
  }
  for (const char32_t c : {U'中', U'〇', U'あ', U'カ', U'ー', U'가', U'ㄅ', char32_t{0x20000},
                           char32_t{0xE000}, char32_t{0x2EBF0}}) {
    EXPECT_EQ(PropertiesOf(c).Word(), WordClass::kIdeograph)
        << std::hex << static_cast<std::uint32_t>(c);
  }
  for (const char32_t c : {U'.', U'-', U'，', U'。', U'「', U'+', U'$', char32_t{0x1F600},
                           char32_t{0x200B}, char32_t{0x0001}, char32_t{0xD800}}) {
    EXPECT_EQ(PropertiesOf(c).Word(), WordClass::kPunctuation)
        << std::hex << static_cast<std::uint32_t>(c);
  }
  for (const char32_t c : {U' ', U'\t', char32_t{0x3000}, char32_t{0x00A0}}) {
    EXPECT_EQ(PropertiesOf(c).Word(), WordClass::kSpace)
        << std::hex << static_cast<std::uint32_t>(c);
  }
  EXPECT_EQ(PropertiesOf(U'\r').Word(), WordClass::kLineBreak);
  EXPECT_EQ(PropertiesOf(U'\n').Word(), WordClass::kLineBreak);
}

TEST(UnicodeProperties, StrongDirections) {
  EXPECT_EQ(PropertiesOf(U'a').Direction(), StrongDirection::kLeftToRight);
  EXPECT_EQ(PropertiesOf(U'中').Direction(), StrongDirection::kLeftToRight);
  EXPECT_EQ(PropertiesOf(0x05D0).Direction(), StrongDirection::kRightToLeft);  // Hebrew alef
  EXPECT_EQ(PropertiesOf(0x0627).Direction(), StrongDirection::kRightToLeft);  // Arabic alef
  EXPECT_EQ(PropertiesOf(0x05FF).Direction(), StrongDirection::kRightToLeft);  // unassigned
  EXPECT_EQ(PropertiesOf(0x0892).Direction(), StrongDirection::kRightToLeft);  // unassigned AL
  EXPECT_EQ(PropertiesOf(0x20C0 + 5).Direction(), StrongDirection::kNone);     // unassigned ET
  EXPECT_EQ(PropertiesOf(U'1').Direction(), StrongDirection::kNone);
  EXPECT_EQ(PropertiesOf(U' ').Direction(), StrongDirection::kNone);
  EXPECT_EQ(PropertiesOf(U'.').Direction(), StrongDirection::kNone);
}

TEST(UnicodeProperties, GeneralCategories) {
  EXPECT_EQ(PropertiesOf(U'A').Category(), GeneralCategory::kUppercaseLetter);
  EXPECT_EQ(PropertiesOf(U'a').Category(), GeneralCategory::kLowercaseLetter);
  EXPECT_EQ(PropertiesOf(U'中').Category(), GeneralCategory::kOtherLetter);
  EXPECT_EQ(PropertiesOf(0x0301).Category(), GeneralCategory::kNonspacingMark);
  EXPECT_EQ(PropertiesOf(0x093F).Category(), GeneralCategory::kSpacingMark);
  EXPECT_EQ(PropertiesOf(0x20E3).Category(), GeneralCategory::kEnclosingMark);
  EXPECT_EQ(PropertiesOf(U'（').Category(), GeneralCategory::kOpenPunctuation);
  EXPECT_EQ(PropertiesOf(U'）').Category(), GeneralCategory::kClosePunctuation);
  EXPECT_EQ(PropertiesOf(0x201C).Category(), GeneralCategory::kInitialPunctuation);
  EXPECT_EQ(PropertiesOf(0x201D).Category(), GeneralCategory::kFinalPunctuation);
  EXPECT_EQ(PropertiesOf(0x3000).Category(), GeneralCategory::kSpaceSeparator);
  EXPECT_EQ(PropertiesOf(0x1F3FD).Category(), GeneralCategory::kModifierSymbol);
  EXPECT_EQ(PropertiesOf(0xE000).Category(), GeneralCategory::kPrivateUse);
  EXPECT_EQ(PropertiesOf(0x0378).Category(), GeneralCategory::kUnassigned);
  EXPECT_EQ(PropertiesOf(0x10FFFF).Category(), GeneralCategory::kUnassigned);
  EXPECT_EQ(PropertiesOf(0x110000).Category(), GeneralCategory::kUnassigned);
}

}  // namespace
}  // namespace tambrel::text
