// The gutter inside the real main window, in the real font's pixels: what it shows after the
// editor changes or scrolls. What triggers a repaint, and when it draws nothing, is tested over
// the fake window system (main_window/tests/gutter_triggers_test.cpp).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "gutter/gutter_painter.h"
#include "main_window/form1.h"
#include "platform/ole_color.h"
#include "platform/qt/qt_color.h"
#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_window_system.h"

namespace tambrel::gutter {
namespace {

namespace fs = std::filesystem;

int Luminance(platform::ColorRef color) {
  const auto value = static_cast<std::uint32_t>(color);
  return static_cast<int>((value & 0xFF) * 299 + ((value >> 8) & 0xFF) * 587 +
                          ((value >> 16) & 0xFF) * 114) /
         1000;
}

class GutterInWindow : public ::testing::Test {
 protected:
  GutterInWindow() : folder_(MakeFolder()), form_(TestEnvironment(folder_), windows_) {
    EXPECT_EQ(form_.Form_Load(), main_window::LoadOutcome::kRunning);
    form_.Show();
  }

  ~GutterInWindow() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  static fs::path MakeFolder() {
    const fs::path folder =
        fs::temp_directory_path() /
        ("tambrel-gutter-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
    // An empty skin restyles nothing.
    std::ofstream(folder / main_window::kSkinFileName).flush();
    return folder;
  }

  static main_window::Environment TestEnvironment(const fs::path& folder) {
    return main_window::Environment{folder, 2 * 11235.0f, 2 * 9000.0f, u"", u'.', std::nullopt};
  }

  // One short line per row, numbered in the text so that rows and lines agree.
  static std::u16string ShortLines(int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) {
      const std::string number = std::to_string(i + 1);
      text += u"第" + std::u16string(number.begin(), number.end()) + u"行\n";
    }
    return text;
  }

  // The gutter's pixel rows that hold text drawn in the strong colour.
  std::vector<int> StrongPixelRows() {
    platform::PictureBox& gutter = form_.picLines;
    const platform::PixelRect client = gutter.ClientRect();
    const int grey = Luminance(platform::qt::TranslateColor(platform::kSystemButtonShadow));
    std::vector<int> rows;
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right - 1; ++x) {
        if (Luminance(gutter.Point(x, y)) < grey - 20) {
          rows.push_back(y);
          break;
        }
      }
    }
    return rows;
  }

  std::vector<platform::ColorRef> Snapshot() {
    const platform::PixelRect client = form_.picLines.ClientRect();
    std::vector<platform::ColorRef> pixels;
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right; ++x) pixels.push_back(form_.picLines.Point(x, y));
    }
    return pixels;
  }

  // Runs the event loop until the editor has counted every row, as it does while idle.
  void LetCountingFinish() {
    auto& view = *dynamic_cast<platform::qt::QtEditBox&>(form_.Text1).view();
    while (!view.Model().View().AllCounted()) QCoreApplication::processEvents();
  }

  int RowHeight() {
    const platform::PixelRect extent = form_.picLines.MeasureText(u"Hy");
    return extent.bottom - extent.top;
  }

  fs::path folder_;
  platform::qt::QtWindowSystem windows_;
  main_window::Form1 form_;
};

TEST_F(GutterInWindow, TextSetFromCodeClearsSavedAndRepaints) {
  form_.file_commands().Timer2_Timer(u"");
  ASSERT_TRUE(form_.Saved());
  form_.Text1.SetText(ShortLines(3));
  EXPECT_FALSE(form_.Saved());
  // The caret of a freshly set text is on row 0: the top row is strong, nothing else.
  const std::vector<int> strong = StrongPixelRows();
  ASSERT_FALSE(strong.empty());
  const int top = form_.Text1.FirstVisibleLineTop();
  EXPECT_GE(strong.front(), top);
  EXPECT_LT(strong.back(), top + RowHeight());
}

TEST_F(GutterInWindow, AScrollRepaintsAtTheNewPosition) {
  form_.Text1.SetText(ShortLines(400));
  form_.Text1.SetSelStart(0);
  form_.Timer3_Timer();
  ASSERT_EQ(form_.FirstVisibleLine(), 0);

  // Moving the caret far down scrolls the editor; nothing but the scroll repaints here.
  const std::u16string text = form_.Text1.Text();
  const auto line_300 = static_cast<std::int32_t>(text.find(u"第301行"));
  form_.Text1.SetSelStart(line_300);
  // Until the rows above the view are counted the gutter shows no number at all, not a guess.
  if (!form_.Text1.CountedFirstVisibleLine()) {
    EXPECT_TRUE(StrongPixelRows().empty());
  }
  // Once they are, the count's own notice repaints the gutter, like a scroll.
  LetCountingFinish();
  const int first = form_.FirstVisibleLine();
  ASSERT_GT(first, 200);
  ASSERT_LE(first, 300);

  const int h = RowHeight();
  const int band_top = form_.Text1.FirstVisibleLineTop() + (300 - first) * h;
  const std::vector<int> strong = StrongPixelRows();
  ASSERT_FALSE(strong.empty());
  EXPECT_GE(strong.front(), band_top);
  EXPECT_LT(strong.back(), band_top + h);

  // What the scroll left is what any later repaint shows.
  const std::vector<platform::ColorRef> after_scroll = Snapshot();
  form_.Timer3_Timer();
  EXPECT_EQ(Snapshot(), after_scroll);
}

TEST_F(GutterInWindow, NumbersStandLevelWithTheEditorRows) {
  form_.Text1.SetText(ShortLines(5));
  form_.Text1.SetSelStart(0);
  form_.Timer3_Timer();
  const std::vector<int> strong = StrongPixelRows();
  ASSERT_FALSE(strong.empty());
  // The editor's first row starts below its frame and document margin, not at pixel 0.
  const int top = form_.Text1.FirstVisibleLineTop();
  EXPECT_GT(top, 0);
  EXPECT_GE(strong.front(), top);
}

// The columns of an image that hold anything but the background colour, as [first, last].
std::pair<int, int> InkColumns(const platform::PictureBox& box, int top, int bottom) {
  const platform::PixelRect client = box.ClientRect();
  const platform::ColorRef background = platform::qt::TranslateColor(box.BackColor());
  std::pair<int, int> ink{client.right, -1};
  // The separator's column is not ink of any number.
  for (int y = std::max(top, 0); y < std::min(bottom, client.bottom); ++y) {
    for (int x = 0; x < client.right - 1; ++x) {
      if (box.Point(x, y) == background) continue;
      ink.first = std::min(ink.first, x);
      ink.second = std::max(ink.second, x);
    }
  }
  return ink;
}

// How many columns a number's ink takes when it is drawn with nothing to cut it.
int WholeInkWidth(const platform::FontChoice& font, const std::string& number) {
  const QFont qfont = platform::qt::ToQFont(font);
  QImage image(QFontMetrics(qfont).horizontalAdvance(QString::fromStdString(number)) + 40,
               QFontMetrics(qfont).height() + 10, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setFont(qfont);
    painter.setPen(Qt::black);
    painter.drawText(20, QFontMetrics(qfont).ascent() + 5, QString::fromStdString(number));
  }
  int first = image.width();
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return last - first + 1;
}

// At the end of a long document every number is painted whole, at the default size and at a
// large font: the gutter takes the room its widest number needs from the editor.
TEST_F(GutterInWindow, EveryNumberIsPaintedWholeAtTheEndOfALongDocument) {
  form_.Text1.SetText(std::u16string(200000, u'\n'));
  const float editor_width = *form_.Text1.Width();
  for (const double size : {12.0, 36.0}) {
    SCOPED_TRACE(size);
    const platform::FontChoice font{u"宋体", size, false, false};
    form_.Text1.SetFont(font);
    form_.picLines.SetFont(font);
    form_.Text1.SetSelStart(form_.Text1.TextLength());  // Ctrl+End
    LetCountingFinish();
    form_.Timer3_Timer();

    const int first = form_.FirstVisibleLine();
    ASSERT_GT(first, 199000);
    const int h = RowHeight();
    const int top = form_.Text1.FirstVisibleLineTop();
    const int height = form_.picLines.ClientRect().bottom;
    int rows = 0;
    for (int k = 0; first + k < 200001 && (k == 0 || top + (k + 1) * h <= height); ++k, ++rows) {
      const std::string number = std::to_string(first + k + 1);
      const std::pair<int, int> ink = InkColumns(form_.picLines, top + k * h, top + (k + 1) * h);
      ASSERT_GE(ink.second, ink.first) << number << " is not painted";
      // Never against the edge where the gutter would cut it, and as wide as when whole.
      EXPECT_GT(ink.first, kNumberMargin) << number;
      EXPECT_NEAR(ink.second - ink.first + 1, WholeInkWidth(font, number), 1) << number;
    }
    EXPECT_GT(rows, 1);
  }
  // The editor gave up the room, no more than that.
  EXPECT_LT(*form_.Text1.Width(), editor_width);
  EXPECT_GT(*form_.Text1.Width(), editor_width / 2);
}

// Straight after a jump far into a document nothing above the view is counted yet: the gutter
// shows no number at all rather than a guess, and the right ones once counting has caught up.
TEST_F(GutterInWindow, NoNumberIsDrawnWhileTheRowsAboveAreUncounted) {
  form_.Text1.SetText(ShortLines(300000));
  form_.Text1.SetSelStart(form_.Text1.TextLength());
  ASSERT_EQ(form_.Text1.CountedFirstVisibleLine(), std::nullopt);
  form_.Timer3_Timer();
  const int height = form_.picLines.ClientRect().bottom;
  const std::pair<int, int> blank = InkColumns(form_.picLines, 0, height);
  EXPECT_LT(blank.second, blank.first) << "a number was drawn for an uncounted row";

  LetCountingFinish();
  form_.Timer3_Timer();
  const int top = form_.Text1.FirstVisibleLineTop();
  const std::pair<int, int> numbered = InkColumns(form_.picLines, top, top + RowHeight());
  EXPECT_GE(numbered.second, numbered.first) << "no number once every row is counted";
}

}  // namespace
}  // namespace tambrel::gutter
