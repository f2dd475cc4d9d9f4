// The edit box as the program's logic sees it: its place in twips, its font and colour, the
// caret on screen, and rows filled as far as they are drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/win32/text_view/tests/view_fixture.h"
#include "platform/win32/text_view/uniscribe_char_metrics.h"
#include "platform/win32/win32_twips.h"

namespace tambrel::platform::win32 {
namespace {

using Win32EditBoxTest = ViewFixture;

// The caret as Windows shows it, in the view's client coordinates.
std::optional<RECT> SystemCaret(HWND view) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info) || info.hwndCaret != view) {
    return std::nullopt;
  }
  return info.rcCaret;
}

TEST_F(Win32EditBoxTest, ItIsPlacedInTwips) {
  const unsigned dpi = WindowDpi(View());
  ASSERT_TRUE(box_->Move(150, 300, 4500, 3000));
  EXPECT_FLOAT_EQ(*box_->Left(), PixelsToTwips(TwipsToPixels(150, dpi), dpi));
  EXPECT_FLOAT_EQ(*box_->Top(), PixelsToTwips(TwipsToPixels(300, dpi), dpi));
  EXPECT_FLOAT_EQ(*box_->Width(), PixelsToTwips(TwipsToPixels(4500, dpi), dpi));
  EXPECT_FLOAT_EQ(*box_->Height(), PixelsToTwips(TwipsToPixels(3000, dpi), dpi));
  RECT rect{};
  ::GetWindowRect(View(), &rect);
  EXPECT_EQ(rect.right - rect.left, TwipsToPixels(4500, dpi));
}

TEST_F(Win32EditBoxTest, TheFirstRowStandsBelowTheMargin) {
  EXPECT_EQ(box_->FirstVisibleLineTop(), kTextMargin);
}

TEST_F(Win32EditBoxTest, ANewFontWrapsTheRowsAgain) {
  box_->SetText(std::u16string(60, u'字'));
  const std::int32_t rows_before = box_->LineCount();
  const int height_before = RowHeight();
  const FontChoice larger{u"宋体", 24.0, false, false};
  box_->SetFont(larger);
  EXPECT_EQ(box_->Font(), larger);
  EXPECT_GT(RowHeight(), height_before);
  // Characters twice as wide: twice as many rows, give or take the last.
  EXPECT_GE(box_->LineCount(), 2 * rows_before - 1);
  // And the rows are as wide as the new font draws them.
  text::CharMetrics metrics = UniscribeCharMetrics(MeasuringTestFont(larger));
  RECT area{};
  ::GetClientRect(View(), &area);
  const auto per_row = static_cast<std::size_t>(
      text::CharMetrics::ToFixed(static_cast<float>(area.right - 2 * kTextMargin)) /
      metrics.AdvanceOf(u"字"));
  EXPECT_EQ(Model().Rows()[0].end, per_row);
}

TEST_F(Win32EditBoxTest, TheColourIsTheUsers) {
  box_->SetForeColor(RgbColor(1, 2, 3));
  EXPECT_EQ(box_->ForeColor(), RgbColor(1, 2, 3));
}

TEST_F(Win32EditBoxTest, TheSystemCaretStandsAtTheCaret) {
  box_->SetFocus();
  ASSERT_EQ(::GetFocus(), View());
  box_->SetText(u"中文字");
  box_->SetSelStart(2);
  const std::optional<editor::Editor::CaretSpot> spot = Model().CaretOnScreen();
  ASSERT_TRUE(spot);
  const std::optional<RECT> caret = SystemCaret(View());
  ASSERT_TRUE(caret);
  EXPECT_EQ(caret->left, kTextMargin + static_cast<int>(std::lround(spot->x)));
  EXPECT_EQ(caret->top, kTextMargin);
  EXPECT_EQ(caret->bottom - caret->top, RowHeight());
  // Overwriting: a block as wide as the character typing would replace.
  Key(VK_INSERT);
  const std::optional<RECT> block = SystemCaret(View());
  ASSERT_TRUE(block);
  UniscribeRowGeometry geometry(MeasuringTestFont());
  const editor::RowText row{u"中文字", editor::Direction::kLeftToRight};
  EXPECT_EQ(block->right - block->left,
            static_cast<int>(geometry.XOfOffset(row, 3) - geometry.XOfOffset(row, 2)));
}

TEST_F(Win32EditBoxTest, RowsOfEmojiFamiliesAreFilledAsTheyAreDrawn) {
  const std::u16string family = u"👨\u200D👩\u200D👧\u200D👦";
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += family;
  box_->SetText(text);
  const editor::ScreenRow first = Model().Rows()[0];
  ASSERT_EQ(first.end % family.size(), 0u) << "a family was split";
  // The row holds as many families as fit its width when drawn, and not one more.
  UniscribeRowGeometry geometry(MeasuringTestFont());
  geometry.SetWidth(Model().Width());
  std::u16string scratch;
  const editor::RowText row = Model().TextOf(first, scratch);
  EXPECT_LE(geometry.XOfOffset(row, row.text.size()), Model().Width());
  const std::u16string one_more = std::u16string(row.text) + family;
  EXPECT_GT(geometry.XOfOffset(editor::RowText{one_more, row.direction}, one_more.size()),
            Model().Width());
}

TEST_F(Win32EditBoxTest, ARightToLeftParagraphIsPaintedAgainstTheRightEdge) {
  box_->SetText(u"שלום");
  box_->SetForeColor(RgbColor(0, 128, 0));
  ::InvalidateRect(View(), nullptr, FALSE);
  ::UpdateWindow(View());
  const MemoryDc* image = box_->View().BackBuffer();
  ASSERT_NE(image, nullptr);
  RECT area{};
  ::GetClientRect(View(), &area);
  const auto painted = [&](int from, int to) {
    int count = 0;
    for (int y = kTextMargin; y < kTextMargin + RowHeight(); ++y) {
      for (int x = from; x < to; ++x) {
        if (::GetPixel(image->get(), x, y) != RGB(255, 255, 255)) ++count;
      }
    }
    return count;
  };
  const int middle = (area.right - area.left) / 2;
  EXPECT_GT(painted(middle, area.right - kTextMargin), 0);
  EXPECT_EQ(painted(0, middle), 0);
}

}  // namespace
}  // namespace tambrel::platform::win32
