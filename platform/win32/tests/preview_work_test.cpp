// The preview a long piece of work offers: shown on the window's thread as soon as it comes,
// while the work still runs, and scrolled by the user meanwhile, while every key waits for the
// work's end.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/background_work.h"
#include "platform/win32/text_view/preview_pane.h"
#include "platform/win32/text_view/win32_edit_box.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/window/win32_background_work.h"

namespace tambrel::platform::win32 {
namespace {

using namespace std::chrono_literals;

// Waits on the worker thread for what the window's thread is to do; a window that never does it
// fails the test after ten seconds instead of hanging it.
bool SeenFromTheWorker(const std::function<bool()>& condition) {
  for (int i = 0; i < 2000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

std::u16string ManyLines() {
  std::u16string text;
  for (int i = 0; i < 200; ++i) {
    text += u"第";
    text += static_cast<char16_t>(u'0' + i % 10);
    text += u"行\n";
  }
  return text;
}

// The first line the preview shows, asked from the worker's thread, which the waiting window
// answers; -1 when it does not.
int FirstVisibleLineFromTheWorker(HWND preview) {
  DWORD_PTR line = 0;
  if (!::SendMessageTimeoutW(preview, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_BLOCK, 1000, &line)) {
    return -1;
  }
  return static_cast<int>(line);
}

// The program's window with its edit box, as the open command finds them.
class PreviewWorkTest : public ::testing::Test {
 protected:
  PreviewWorkTest()
      : host_(::CreateWindowExW(0, L"STATIC", L"Tambrel", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                                0, 600, 500, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                nullptr)),
        box_(std::make_unique<Win32EditBox>("Text1", host_.get(), kWhite, kBlack,
                                            FontChoice{u"宋体", 12.0, false, false}, work_)) {
    work_.SetWindow(host_.get());
    ::ShowWindow(host_.get(), SW_SHOW);
    ::MoveWindow(box_->Hwnd(), 0, 0, 420, 300, TRUE);
    ::SetFocus(box_->Hwnd());
    Pump();
  }
  ~PreviewWorkTest() override { box_.reset(); }

  static void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }

  // Runs work that offers a long start, on which `meanwhile` acts on the window's thread right
  // after it shows, with the preview's edit control; the work ends once the preview was scrolled
  // away from its first line. Answers whether it was.
  bool ScrolledWhileTheWorkRuns(const std::function<void(HWND preview)>& meanwhile) {
    WorkProgress progress;
    ShownWork shown = StoppableWork(u"正在打开");
    std::atomic<HWND> shown_preview{nullptr};
    shown.show_preview = [&](std::u16string start) {
      box_->ShowPreview(start);
      const HWND preview = FindShownPreview(host_.get());
      if (preview != nullptr) meanwhile(preview);
      shown_preview = preview;
    };
    bool scrolled = false;
    work_.RunShowingProgress(shown, progress, [&] {
      progress.OfferPreview(ManyLines());
      if (!SeenFromTheWorker([&] { return shown_preview.load() != nullptr; })) return;
      scrolled = SeenFromTheWorker(
          [&] { return FirstVisibleLineFromTheWorker(shown_preview.load()) > 0; });
    });
    return scrolled;
  }

  // A character typed into the edit box, still waiting in the queue.
  void TypeLater(char16_t unit) { ::PostMessageW(box_->Hwnd(), WM_CHAR, unit, 1); }
  bool TypingWaits() {
    MSG message;
    return ::PeekMessageW(&message, box_->Hwnd(), WM_CHAR, WM_CHAR, PM_NOREMOVE) != 0;
  }

  Win32BackgroundWork work_{[] { return false; }};
  UniqueWindow host_;
  std::unique_ptr<Win32EditBox> box_;
};

TEST_F(PreviewWorkTest, TheOfferedStartShowsOnTheWindowsThreadBeforeTheWorkEnds) {
  WorkProgress progress;
  ShownWork shown = StoppableWork(u"正在打开");
  std::atomic<DWORD> shown_on{0};
  std::atomic<bool> shown_yet{false};
  std::u16string shown_start;
  shown.show_preview = [&](std::u16string start) {
    shown_on = ::GetCurrentThreadId();
    shown_start = start;
    box_->ShowPreview(start);
    shown_yet = true;
  };
  bool shown_while_working = false;
  work_.RunShowingProgress(shown, progress, [&] {
    progress.OfferPreview(u"第一行\n第二行");
    shown_while_working = SeenFromTheWorker([&] { return shown_yet.load(); });
  });
  EXPECT_TRUE(shown_while_working);
  EXPECT_EQ(shown_on.load(), ::GetCurrentThreadId());
  EXPECT_EQ(shown_start, u"第一行\n第二行");
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  // It stays until the command takes it away.
  box_->EndPreview();
  EXPECT_EQ(FindShownPreview(host_.get()), nullptr);
  EXPECT_FALSE(::IsWindow(preview));
}

TEST_F(PreviewWorkTest, WorkThatOffersNothingShowsNothing) {
  WorkProgress progress;
  ShownWork shown = StoppableWork(u"正在打开");
  int calls = 0;
  shown.show_preview = [&](std::u16string) { ++calls; };
  int looks = 0;
  work_.RunShowingProgress(shown, progress, [&] {
    // Long enough for the window to look for a preview a few times.
    SeenFromTheWorker([&] { return ++looks > 20; });
  });
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(FindShownPreview(host_.get()), nullptr);
}

TEST_F(PreviewWorkTest, APageDownScrollsThePreviewWhileAKeyWaits) {
  box_->SetText(u"");
  EXPECT_TRUE(ScrolledWhileTheWorkRuns([&](HWND preview) {
    TypeLater(u'x');
    ::PostMessageW(preview, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
  }));
  EXPECT_TRUE(TypingWaits());
  EXPECT_EQ(box_->Text(), u"");
  box_->EndPreview();
  Pump();
  EXPECT_EQ(box_->Text(), u"x");
}

TEST_F(PreviewWorkTest, AClickOnThePreviewsScrollBarScrollsItWhileAKeyWaits) {
  box_->SetText(u"");
  EXPECT_TRUE(ScrolledWhileTheWorkRuns([&](HWND preview) {
    TypeLater(u'x');
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ::GetScrollBarInfo(preview, OBJID_VSCROLL, &bar);
    // Below the scroll box, which stands at the top: a page down.
    const POINT below{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                      bar.rcScrollBar.bottom - bar.dxyLineButton - 2};
    ::PostMessageW(preview, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(below.x, below.y));
    ::PostMessageW(preview, WM_NCLBUTTONUP, HTVSCROLL, MAKELPARAM(below.x, below.y));
  }));
  EXPECT_TRUE(TypingWaits());
  EXPECT_EQ(box_->Text(), u"");
  EXPECT_EQ(::GetFocus(), box_->Hwnd());
  box_->EndPreview();
  Pump();
  EXPECT_EQ(box_->Text(), u"x");
}

TEST_F(PreviewWorkTest, TheWheelOverThePreviewScrollsItWhileAKeyWaits) {
  box_->SetText(u"");
  EXPECT_TRUE(ScrolledWhileTheWorkRuns([&](HWND preview) {
    TypeLater(u'x');
    RECT area{};
    ::GetWindowRect(preview, &area);
    // The wheel's message goes to the focused window, the text view under the preview.
    ::PostMessageW(box_->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                   MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2));
  }));
  EXPECT_TRUE(TypingWaits());
  EXPECT_EQ(box_->Text(), u"");
  box_->EndPreview();
  Pump();
  EXPECT_EQ(box_->Text(), u"x");
}

TEST_F(PreviewWorkTest, TheWheelElsewhereWaitsForTheWork) {
  WorkProgress progress;
  ShownWork shown = StoppableWork(u"正在打开");
  std::atomic<bool> posted{false};
  shown.show_preview = [&](std::u16string start) {
    box_->ShowPreview(start);
    RECT area{};
    ::GetWindowRect(box_->Hwnd(), &area);
    // Beyond the edit box's right edge: not over the preview.
    ::PostMessageW(box_->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                   MAKELPARAM(area.right + 40, area.top + 10));
    posted = true;
  };
  int looks = 0;
  work_.RunShowingProgress(shown, progress, [&] {
    progress.OfferPreview(ManyLines());
    if (SeenFromTheWorker([&] { return posted.load(); })) {
      // A few more looks of the window's.
      SeenFromTheWorker([&] { return ++looks > 20; });
    }
  });
  ASSERT_TRUE(posted.load());
  MSG message;
  EXPECT_NE(::PeekMessageW(&message, box_->Hwnd(), WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_NOREMOVE), 0);
  const HWND preview = FindShownPreview(host_.get());
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(::SendMessageW(preview, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  box_->EndPreview();
  Pump();
}

}  // namespace
}  // namespace tambrel::platform::win32
