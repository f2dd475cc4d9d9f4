// The gutter inside the real main window: what it shows after the editor changes or scrolls,
// and the document state that a change clears.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "platform/ole_color.h"

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
  GutterInWindow() : folder_(MakeFolder()), form_(TestEnvironment(folder_)) {
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
    return main_window::Environment{folder, 2 * 11235.0f, 2 * 9000.0f, u"", u'.'};
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
    const int grey = Luminance(platform::TranslateColor(platform::kSystemButtonShadow));
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

  int RowHeight() {
    const platform::PixelRect extent = form_.picLines.MeasureText(u"Hy");
    return extent.bottom - extent.top;
  }

  fs::path folder_;
  main_window::Form1 form_;
};

TEST_F(GutterInWindow, TypingClearsSaved) {
  form_.file_commands().Timer2_Timer(u"");
  ASSERT_TRUE(form_.Saved());
  form_.Text1.SetSelText(u"字");
  EXPECT_FALSE(form_.Saved());
  form_.Text1.SetSelText(u"词");
  EXPECT_FALSE(form_.Saved());
}

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

}  // namespace
}  // namespace tambrel::gutter
