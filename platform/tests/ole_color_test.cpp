// OLE colours in RGB: plain values pass as they are, system colours come from the desktop's
// palette by their index, and anything else names no colour.
#include "platform/ole_color.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace tambrel::platform {
namespace {

// A palette of a few known colours that notes every index it was asked for.
class KnownPalette final : public SystemColors {
 public:
  std::optional<ColorRef> SystemColor(std::uint32_t index) const override {
    asked.push_back(index);
    const auto found = colors.find(index);
    if (found == colors.end()) return std::nullopt;
    return found->second;
  }

  std::map<std::uint32_t, ColorRef> colors{{5, 0x00FAFAFA}, {8, 0x00102030}, {16, 0x00A0A0A0}};
  mutable std::vector<std::uint32_t> asked;
};

TEST(TranslateColor, AnRgbValuePassesWithoutAskingThePalette) {
  const KnownPalette palette;
  EXPECT_EQ(TranslateColor(0x00123456, palette), 0x00123456);
  EXPECT_EQ(TranslateColor(kWhite, palette), 0x00FFFFFF);
  EXPECT_EQ(TranslateColor(kBlack, palette), 0);
  EXPECT_TRUE(palette.asked.empty());
}

TEST(TranslateColor, ASystemColourIsThePalettesColourOfItsIndex) {
  const KnownPalette palette;
  EXPECT_EQ(TranslateColor(kSystemWindowText, palette), 0x00102030);
  EXPECT_EQ(TranslateColor(kSystemButtonShadow, palette), 0x00A0A0A0);
  EXPECT_EQ(TranslateColor(kSystemWindowBackground, palette), 0x00FAFAFA);
  EXPECT_EQ(palette.asked, (std::vector<std::uint32_t>{8, 16, 5}));
}

TEST(TranslateColor, AnIndexThePaletteLacksNamesNoColour) {
  const KnownPalette palette;
  EXPECT_EQ(TranslateColor(0x800000FF, palette), kUntranslatableColor);
  EXPECT_EQ(TranslateColor(0x80010008, palette), kUntranslatableColor);
}

TEST(TranslateColor, AHighByteOtherThanRgbOrSystemNamesNoColour) {
  const KnownPalette palette;
  EXPECT_EQ(TranslateColor(0x41000000, palette), kUntranslatableColor);
  EXPECT_EQ(TranslateColor(0x01000008, palette), kUntranslatableColor);
  EXPECT_EQ(TranslateColor(0xFF000008, palette), kUntranslatableColor);
  EXPECT_TRUE(palette.asked.empty());
}

}  // namespace
}  // namespace tambrel::platform
