// The start of a document shown over the edit box while the rest is read: a read-only edit
// control in the text view's place, with its font and colours, that goes again at the end and
// leaves the editor under it as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/text_view/preview_pane.h"
#include "platform/win32/text_view/tests/view_fixture.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_twips.h"

namespace tambrel::platform::win32 {
namespace {

using Win32PreviewTest = ViewFixture;

std::u16string TextOf(HWND window) {
  std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, u'\0');
  const int length = ::GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()),
                                      static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

// Whether `upper` stands above `lower` among their siblings.
bool Above(HWND upper, HWND lower) {
  for (HWND window = ::GetWindow(lower, GW_HWNDPREV); window != nullptr;
       window = ::GetWindow(window, GW_HWNDPREV)) {
    if (window == upper) return true;
  }
  return false;
}

// Enough lines that the preview has to scroll.
std::u16string ManyLines() {
  std::u16string text;
  for (int i = 0; i < 200; ++i) {
    text += u"第";
    text += static_cast<char16_t>(u'0' + i % 10);
    text += u"行\n";
  }
  return text;
}

TEST(PreviewPaneTextTest, EveryLineBreakBecomesCrLfAndTheNoteFollowsAnEmptyLine) {
  const std::u16string note = kPreviewRestNote;
  EXPECT_EQ(PreviewPaneText(u"一\n二\r\n三\r四"), u"一\r\n二\r\n三\r\n四\r\n\r\n" + note);
  // A start that ends its last line still has just one empty line before the note.
  EXPECT_EQ(PreviewPaneText(u"一\n"), u"一\r\n\r\n" + note);
  EXPECT_EQ(PreviewPaneText(u"\n\n"), u"\r\n\r\n\r\n" + note);
  EXPECT_EQ(PreviewPaneText(u""), note);
}

TEST_F(Win32PreviewTest, ItShowsTheStartReadOnlyInTheViewsPlaceAboveIt) {
  box_->SetText(u"原来的文字");
  box_->SetSelStart(2);
  box_->SetSelLength(1);
  ASSERT_EQ(FindShownPreview(host_.get()), nullptr);
  box_->ShowPreview(u"第一行\n第二行\r\n第三行");
  Pump();
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  wchar_t class_name[32] = {};
  ::GetClassNameW(preview, class_name, 32);
  EXPECT_EQ(::CompareStringOrdinal(class_name, -1, L"Edit", -1, TRUE), CSTR_EQUAL);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(preview, GWL_STYLE));
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_FALSE(style & WS_HSCROLL);
  EXPECT_FALSE(style & ES_AUTOHSCROLL);
  EXPECT_TRUE(::IsWindowVisible(preview));
  EXPECT_EQ(TextOf(preview),
            u"第一行\r\n第二行\r\n第三行\r\n\r\n" + std::u16string(kPreviewRestNote));
  const RECT shown = ScreenRect(preview);
  const RECT view = ScreenRect(View());
  EXPECT_TRUE(::EqualRect(&shown, &view));
  EXPECT_TRUE(Above(::GetParent(preview), View()));
  // The keys typed meanwhile stay the view's.
  EXPECT_EQ(::GetFocus(), View());
  // The editor under it is as it was, and its rows count for no one.
  EXPECT_EQ(box_->Text(), u"原来的文字");
  EXPECT_EQ(box_->SelStart(), 2);
  EXPECT_EQ(box_->SelLength(), 1);
  EXPECT_EQ(box_->CountedFirstVisibleLine(), std::nullopt);
}

TEST_F(Win32PreviewTest, ItHasTheViewsFontAndColours) {
  box_->SetForeColor(RgbColor(1, 2, 3));
  box_->ShowPreview(u"文字");
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  LOGFONTW shown{};
  ASSERT_NE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(preview, WM_GETFONT, 0, 0)),
                         sizeof(shown), &shown),
            0);
  const GdiObject<HFONT> wanted = CreateFontFor(DefaultTestFont(), WindowDpi(View()));
  LOGFONTW expected{};
  ::GetObjectW(wanted.get(), sizeof(expected), &expected);
  EXPECT_EQ(shown.lfHeight, expected.lfHeight);
  EXPECT_STREQ(shown.lfFaceName, expected.lfFaceName);
  // A read-only edit control asks its parent for its colours as a static one does.
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const auto brush = reinterpret_cast<HBRUSH>(
      ::SendMessageW(::GetParent(preview), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(preview)));
  EXPECT_EQ(::GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 255));
  LOGBRUSH fill{};
  ASSERT_NE(::GetObjectW(brush, sizeof(fill), &fill), 0);
  EXPECT_EQ(fill.lbColor, RGB(255, 255, 255));
  ::DeleteDC(dc);
  // A colour chosen while it shows shows at once.
  box_->SetForeColor(RgbColor(4, 5, 6));
  const HDC dc2 = ::CreateCompatibleDC(nullptr);
  ::SendMessageW(::GetParent(preview), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc2),
                 reinterpret_cast<LPARAM>(preview));
  EXPECT_EQ(::GetTextColor(dc2), RGB(4, 5, 6));
  ::DeleteDC(dc2);
}

TEST_F(Win32PreviewTest, ItFollowsTheBoxWhenItMoves) {
  box_->ShowPreview(u"文字");
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  ASSERT_TRUE(box_->Move(300, 450, 3000, 2250));
  Pump();
  const RECT view = ScreenRect(View());
  const RECT shown = ScreenRect(preview);
  EXPECT_TRUE(::EqualRect(&shown, &view));
  EXPECT_EQ(view.right - view.left, TwipsToPixels(3000, WindowDpi(View())));
}

TEST_F(Win32PreviewTest, ANewerStartReplacesTheShownOne) {
  box_->ShowPreview(u"旧的");
  const HWND preview = FindShownPreview(host_.get());
  box_->ShowPreview(u"新的");
  EXPECT_EQ(FindShownPreview(host_.get()), preview);
  EXPECT_EQ(TextOf(preview), u"新的\r\n\r\n" + std::u16string(kPreviewRestNote));
}

TEST_F(Win32PreviewTest, EndPreviewTakesItAwayAndTheRowsCountAgain) {
  box_->SetText(u"原来的文字");
  box_->ShowPreview(u"文字");
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  box_->EndPreview();
  Pump();
  EXPECT_FALSE(::IsWindow(preview));
  EXPECT_EQ(FindShownPreview(host_.get()), nullptr);
  EXPECT_EQ(box_->CountedFirstVisibleLine(), 0);
  EXPECT_EQ(box_->Text(), u"原来的文字");
  EXPECT_EQ(::GetFocus(), View());
}

TEST_F(Win32PreviewTest, ItGoesWithTheBox) {
  box_->ShowPreview(u"文字");
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  box_.reset();
  EXPECT_FALSE(::IsWindow(preview));
}

TEST_F(Win32PreviewTest, AClickInItLeavesTheFocusWithTheView) {
  box_->ShowPreview(ManyLines());
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  ::SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  ::SendMessageW(preview, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  Pump();
  EXPECT_EQ(::GetFocus(), View());
}

TEST_F(Win32PreviewTest, ItsScrollBarScrollsIt) {
  box_->ShowPreview(ManyLines());
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  ASSERT_EQ(::SendMessageW(preview, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  ASSERT_TRUE(::GetScrollBarInfo(preview, OBJID_VSCROLL, &bar));
  // Below the scroll box: a page down.
  const POINT below{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                    bar.rcScrollBar.bottom - bar.dxyLineButton - 2};
  ::SendMessageW(preview, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(below.x, below.y));
  const LRESULT after_page = ::SendMessageW(preview, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(after_page, 1);
  // The arrow at the top: a line up.
  const POINT up{below.x, bar.rcScrollBar.top + bar.dxyLineButton / 2};
  ::SendMessageW(preview, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(up.x, up.y));
  EXPECT_EQ(::SendMessageW(preview, EM_GETFIRSTVISIBLELINE, 0, 0), after_page - 1);
  // The scroll box dragged to the bottom: the end.
  ASSERT_TRUE(::GetScrollBarInfo(preview, OBJID_VSCROLL, &bar));
  const POINT box{below.x, bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
  ::SendMessageW(preview, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(box.x, box.y));
  EXPECT_EQ(::GetCapture(), preview);
  POINT bottom{box.x, bar.rcScrollBar.bottom + 50};
  ::ScreenToClient(preview, &bottom);
  ::SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bottom.x, bottom.y));
  ::SendMessageW(preview, WM_LBUTTONUP, 0, MAKELPARAM(bottom.x, bottom.y));
  EXPECT_NE(::GetCapture(), preview);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(::GetScrollInfo(preview, SB_VERT, &info));
  EXPECT_GT(::SendMessageW(preview, EM_GETFIRSTVISIBLELINE, 0, 0), after_page);
  EXPECT_EQ(info.nPos, info.nMax - static_cast<int>(info.nPage) + 1);
  EXPECT_EQ(::GetFocus(), View());
}

}  // namespace
}  // namespace tambrel::platform::win32
