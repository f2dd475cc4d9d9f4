// What the view paints, read back from the off-screen image WM_PAINT draws in: the text in the
// user's colour, the selection in the desktop's, the composition underlined, nothing below the
// last row.
#include <gtest/gtest.h>

#include "platform/win32/text_view/tests/view_fixture.h"

namespace tambrel::platform::win32 {
namespace {

constexpr COLORREF kTextColour = RGB(200, 0, 0);

class TextViewPainting : public ViewFixture {
 protected:
  TextViewPainting() { box_->SetForeColor(RgbColor(200, 0, 0)); }

  // Paints the view as the screen asks it to, and answers the image it painted in.
  HDC Painted() {
    ::InvalidateRect(View(), nullptr, FALSE);
    ::UpdateWindow(View());
    const MemoryDc* image = box_->View().BackBuffer();
    return image != nullptr ? image->get() : nullptr;
  }

  // How many pixels of a rectangle of the image have exactly the colour.
  static int Count(HDC image, const RECT& area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (::GetPixel(image, x, y) == colour) ++count;
      }
    }
    return count;
  }

  // The cells of characters [from, to) of the first row.
  RECT Cells(std::size_t from, std::size_t to) {
    std::u16string scratch;
    const editor::RowText row = Model().TextOf(Model().Rows()[0], scratch);
    UniscribeRowGeometry& geometry = const_cast<UniscribeRowGeometry&>(Geometry());
    return RECT{kTextMargin + static_cast<int>(geometry.XOfOffset(row, from)), kTextMargin,
                kTextMargin + static_cast<int>(geometry.XOfOffset(row, to)),
                kTextMargin + RowHeight()};
  }

  const UniscribeRowGeometry& Geometry() { return geometry_; }

 private:
  UniscribeRowGeometry geometry_{MeasuringTestFont()};
};

TEST_F(TextViewPainting, TheTextIsPaintedInTheUsersColour) {
  box_->SetText(u"中文编辑器");
  HDC image = Painted();
  ASSERT_NE(image, nullptr);
  EXPECT_GT(Count(image, Cells(0, 5), kTextColour), 20);
  // And nowhere right of the text.
  EXPECT_EQ(Count(image, RECT{Cells(0, 5).right + 1, 0, 400, 100}, kTextColour), 0);
}

TEST_F(TextViewPainting, TheSelectionIsPaintedInTheDesktopsColours) {
  box_->SetText(u"中文编辑器");
  box_->SetSelStart(1);
  box_->SetSelLength(2);
  HDC image = Painted();
  ASSERT_NE(image, nullptr);
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  const RECT selected = Cells(1, 3);
  const int cell_area = (selected.right - selected.left) * RowHeight();
  // Most of the selected cells have the selection's background; the glyphs take the rest.
  EXPECT_GT(Count(image, selected, highlight), cell_area / 2);
  EXPECT_EQ(Count(image, Cells(0, 1), highlight), 0);
  EXPECT_EQ(Count(image, Cells(3, 5), highlight), 0);
  // The text outside the selection keeps its colour; inside it has the selection's.
  EXPECT_GT(Count(image, Cells(3, 5), kTextColour), 10);
  EXPECT_EQ(Count(image, selected, kTextColour), 0);
  EXPECT_GT(Count(image, selected, ::GetSysColor(COLOR_HIGHLIGHTTEXT)), 10);
}

TEST_F(TextViewPainting, NothingIsPaintedBelowTheLastRow) {
  box_->SetText(u"一\r\n二\r\n三");
  HDC image = Painted();
  ASSERT_NE(image, nullptr);
  const int below = kTextMargin + 3 * RowHeight();
  RECT area{};
  ::GetClientRect(View(), &area);
  const RECT empty{0, below, area.right, area.bottom};
  EXPECT_EQ(Count(image, empty, RGB(255, 255, 255)),
            (empty.right - empty.left) * (empty.bottom - empty.top));
  // While each of the three rows has its character.
  for (int row = 0; row < 3; ++row) {
    const RECT cells{0, kTextMargin + row * RowHeight(), 100,
                     kTextMargin + (row + 1) * RowHeight()};
    EXPECT_GT(Count(image, cells, kTextColour), 5) << "row " << row;
  }
}

TEST_F(TextViewPainting, AnotherColourRepaintsTheText) {
  box_->SetText(u"颜色");
  box_->SetForeColor(RgbColor(0, 0, 160));
  HDC image = Painted();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Count(image, Cells(0, 2), kTextColour), 0);
  EXPECT_GT(Count(image, Cells(0, 2), RGB(0, 0, 160)), 20);
}

TEST_F(TextViewPainting, TheCompositionIsShownUnderlinedAtTheCaret) {
  box_->SetText(u"前后");
  box_->SetSelStart(1);
  box_->View().CompositionChanged(std::nullopt, u"拼音", 2);
  Pump();
  HDC image = Painted();
  ASSERT_NE(image, nullptr);
  // The composition stands between the two characters, underlined along its length only.
  std::u16string shown = u"前拼音后";
  const editor::RowText row{shown, editor::Direction::kLeftToRight};
  UniscribeRowGeometry& geometry = const_cast<UniscribeRowGeometry&>(Geometry());
  const int underline = kTextMargin + RowHeight() - 2;
  const int from = kTextMargin + static_cast<int>(geometry.XOfOffset(row, 1));
  const int to = kTextMargin + static_cast<int>(geometry.XOfOffset(row, 3));
  EXPECT_EQ(Count(image, RECT{from, underline, to, underline + 1}, kTextColour), to - from);
  const int after = kTextMargin + static_cast<int>(geometry.XOfOffset(row, 4));
  EXPECT_EQ(Count(image, RECT{to + 1, underline, after, underline + 1}, kTextColour), 0);
  // The text itself has not changed.
  EXPECT_EQ(box_->Text(), u"前后");
}

}  // namespace
}  // namespace tambrel::platform::win32
