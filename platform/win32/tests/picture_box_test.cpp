// The picture box keeps an image of what the program drew: filled rectangles, numbers against a
// rectangle's right edge in the box's font, vertical lines, all read back pixel by pixel.
#include <gtest/gtest.h>

#include <utility>

#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/window/win32_picture_box.h"
#include "platform/win32/window/win32_system_colors.h"

namespace tambrel::platform::win32 {
namespace {

constexpr ColorRef kWhitePixel = 0x00FFFFFF;
constexpr ColorRef kBlackPixel = 0x00000000;
constexpr ColorRef kRedPixel = 0x000000FF;

class PictureBoxTest : public ::testing::Test {
 protected:
  PictureBoxTest()
      : parent_(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 300, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr)),
        picture(std::make_unique<Win32PictureBox>("Picture", parent_.get(), kWhite, kBlack,
                                                  FontChoice{u"宋体", 12, false, false},
                                                  colors)) {
    picture->Move(0, 0, 600, 3000);  // 40 by 200 pixels
  }
  ~PictureBoxTest() override { picture.reset(); }

  // The inked pixels of a rectangle and whether any of them is red.
  std::pair<int, bool> Ink(const PixelRect& area) const {
    int inked = 0;
    bool red = false;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        const ColorRef pixel = picture->Point(x, y);
        if (pixel != kWhitePixel) ++inked;
        if ((pixel & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) < 0x60) red = true;
      }
    }
    return {inked, red};
  }

  Win32SystemColors colors;
  UniqueWindow parent_;
  std::unique_ptr<Win32PictureBox> picture;
};

TEST_F(PictureBoxTest, StartsWithItsBackColourAndAnswersMinusOneOutside) {
  EXPECT_EQ(picture->ClientRect(), (PixelRect{0, 0, 40, 200}));
  EXPECT_EQ(picture->Point(0, 0), kWhitePixel);
  EXPECT_EQ(picture->Point(39, 199), kWhitePixel);
  EXPECT_EQ(picture->Point(40, 0), kUntranslatableColor);
  EXPECT_EQ(picture->Point(0, 200), kUntranslatableColor);
  EXPECT_EQ(picture->Point(-1, 5), kUntranslatableColor);
  EXPECT_EQ(picture->BackColor(), kWhite);
  EXPECT_EQ(picture->ForeColor(), kBlack);
}

TEST_F(PictureBoxTest, FillRectLeavesOutItsRightAndBottomEdges) {
  picture->FillRect(PixelRect{2, 3, 10, 20}, 0x00123456);
  EXPECT_EQ(picture->Point(2, 3), 0x00123456);
  EXPECT_EQ(picture->Point(9, 19), 0x00123456);
  EXPECT_EQ(picture->Point(10, 19), kWhitePixel);
  EXPECT_EQ(picture->Point(9, 20), kWhitePixel);
  EXPECT_EQ(picture->Point(1, 3), kWhitePixel);
}

TEST_F(PictureBoxTest, AColourThatNamesNothingDrawsNothing) {
  picture->FillRect(PixelRect{0, 0, 40, 200}, kUntranslatableColor);
  picture->DrawTextRight(u"88", PixelRect{0, 0, 40, 200}, kUntranslatableColor);
  picture->DrawVerticalLine(5, 0, 200, kUntranslatableColor);
  EXPECT_EQ(Ink(PixelRect{0, 0, 40, 200}).first, 0);
}

TEST_F(PictureBoxTest, AVerticalLineStopsAboveItsBottom) {
  picture->DrawVerticalLine(39, 10, 20, kBlackPixel);
  EXPECT_EQ(picture->Point(39, 9), kWhitePixel);
  EXPECT_EQ(picture->Point(39, 10), kBlackPixel);
  EXPECT_EQ(picture->Point(39, 19), kBlackPixel);
  EXPECT_EQ(picture->Point(39, 20), kWhitePixel);
  EXPECT_EQ(picture->Point(38, 15), kWhitePixel);
  EXPECT_EQ(Ink(PixelRect{0, 0, 40, 200}).first, 10);
}

TEST_F(PictureBoxTest, NumbersStandAgainstTheRightEdgeAtTheTopInTheColourAsked) {
  const PixelRect row{0, 40, 36, 60};
  picture->DrawTextRight(u"7", row, kBlackPixel);
  const auto [inked, red] = Ink(row);
  EXPECT_GT(inked, 0);
  EXPECT_FALSE(red);
  EXPECT_EQ(Ink(PixelRect{0, 0, 40, 40}).first, 0) << "nothing above the rectangle";
  EXPECT_EQ(Ink(PixelRect{36, 0, 40, 200}).first, 0) << "nothing right of it";
  EXPECT_EQ(Ink(PixelRect{0, 40, 18, 60}).first, 0) << "one digit sits at the right, not the left";

  picture->DrawTextRight(u"7", PixelRect{0, 100, 36, 120}, kRedPixel);
  EXPECT_TRUE(Ink(PixelRect{0, 100, 40, 120}).second);
}

TEST_F(PictureBoxTest, TextIsClippedToItsRectangle) {
  // A rectangle narrower than the number shows only its right part.
  picture->DrawTextRight(u"888888", PixelRect{30, 0, 36, 20}, kBlackPixel);
  EXPECT_EQ(Ink(PixelRect{0, 0, 30, 200}).first, 0);
  EXPECT_GT(Ink(PixelRect{30, 0, 36, 20}).first, 0);
}

TEST_F(PictureBoxTest, ALargerFontDrawsMoreInk) {
  const PixelRect area{0, 0, 40, 200};
  picture->DrawTextRight(u"88", area, kBlackPixel);
  const int small_ink = Ink(area).first;
  picture->FillRect(area, kWhitePixel);
  picture->SetFont(FontChoice{u"宋体", 24, true, false});
  EXPECT_EQ(picture->Font(), (FontChoice{u"宋体", 24, true, false}));
  picture->DrawTextRight(u"88", area, kBlackPixel);
  EXPECT_GT(Ink(area).first, small_ink * 2);
}

TEST_F(PictureBoxTest, MeasureTextIsTheExtentOfOneLineInTheBoxsFont) {
  const PixelRect one = picture->MeasureText(u"8");
  const PixelRect two = picture->MeasureText(u"88");
  EXPECT_EQ(one.left, 0);
  EXPECT_EQ(one.top, 0);
  EXPECT_GT(one.right, 0);
  EXPECT_EQ(two.bottom, one.bottom);

  // The same extent GDI gives the same text in a font made the same way.
  const UniqueWindow& parent = parent_;
  const WindowDc dc(parent.get());
  const GdiObject<HFONT> font = CreateFontFor(FontChoice{u"宋体", 12, false, false}, 96);
  const SelectObjectScope selected(dc.get(), font.get());
  SIZE extent{};
  ::GetTextExtentPoint32W(dc.get(), L"88", 2, &extent);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.get(), &metrics);
  EXPECT_EQ(two.right, extent.cx);
  EXPECT_EQ(two.bottom, metrics.tmHeight);

  picture->SetFont(FontChoice{u"宋体", 24, false, false});
  EXPECT_GT(picture->MeasureText(u"Hy").bottom, one.bottom * 3 / 2);
}

TEST_F(PictureBoxTest, GrowingKeepsTheDrawingAndFillsTheNewAreaWithTheBackground) {
  picture->FillRect(PixelRect{0, 0, 40, 200}, 0x00102030);
  ASSERT_TRUE(picture->Move(0, 0, 1200, 3000));
  EXPECT_EQ(picture->ClientRect(), (PixelRect{0, 0, 80, 200}));
  EXPECT_EQ(picture->Point(39, 199), 0x00102030);
  EXPECT_EQ(picture->Point(40, 0), kWhitePixel);
  EXPECT_EQ(picture->Point(79, 199), kWhitePixel);
}

TEST_F(PictureBoxTest, PaintingCopiesTheImageToTheWindow) {
  ::ShowWindow(parent_.get(), SW_SHOWNA);  // a hidden window has nothing to repaint
  ::UpdateWindow(picture->Hwnd());
  picture->FillRect(PixelRect{0, 0, 40, 200}, 0x00204060);
  picture->Refresh();
  RECT dirty{};
  EXPECT_TRUE(::GetUpdateRect(picture->Hwnd(), &dirty, FALSE));
  EXPECT_EQ(dirty.right, 40);
  // A paint validates what it painted.
  ::UpdateWindow(picture->Hwnd());
  EXPECT_FALSE(::GetUpdateRect(picture->Hwnd(), &dirty, FALSE));
}

TEST_F(PictureBoxTest, TheBackColourMayBeASystemColour) {
  Win32PictureBox system_coloured("Other", parent_.get(), kSystemButtonShadow, kBlack,
                                  FontChoice{u"宋体", 12, false, false}, colors);
  system_coloured.Move(0, 0, 150, 150);
  EXPECT_EQ(system_coloured.Point(0, 0), static_cast<ColorRef>(::GetSysColor(COLOR_BTNSHADOW)));
}

}  // namespace
}  // namespace tambrel::platform::win32
