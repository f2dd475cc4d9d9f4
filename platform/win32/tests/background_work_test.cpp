// The window's background work: the work runs on a thread of its own while the window goes on
// running timers and painting, keys wait until it is done, the wait cursor shows meanwhile, and
// an exception the work throws comes out of the call. Long work shows a strip with its progress
// at the bottom of the window, and Esc stops it when it can stop.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/window/message_loop.h"
#include "platform/win32/window/win32_background_work.h"

namespace tambrel::platform::win32 {
namespace {

using namespace std::chrono_literals;

// Waits on the worker thread until the window's thread has done what the condition asks. A loop
// that stands still must fail the test rather than hang it, so the wait gives up after ten
// seconds.
bool SeenFromTheWorker(const std::function<bool()>& condition) {
  for (int i = 0; i < 2000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

// A window that counts its timer ticks, keys, paints and the children made in it, and runs what
// a tick should do.
class CountingWindow final : private MessageHandler {
 public:
  CountingWindow()
      : window_(CreateHandledWindow(WindowClass{L"TambrelTestCounting", 0, IDC_ARROW}, *this,
                                    L"", WindowPlacement{0, WS_POPUP, 0, 0, 400, 300, nullptr})) {}
  ~CountingWindow() override { window_.reset(); }

  HWND Hwnd() const { return window_.get(); }
  void StartTicking() { ::SetTimer(window_.get(), 1, 10, nullptr); }

  std::atomic<int> ticks{0};
  std::atomic<int> keys{0};
  std::atomic<int> paints{0};
  std::atomic<int> children_made{0};
  std::vector<WPARAM> keys_in_order;
  std::function<void()> on_tick;

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_TIMER:
        ++ticks;
        if (on_tick) on_tick();
        return 0;
      case WM_KEYDOWN:
        ++keys;
        keys_in_order.push_back(wparam);
        return 0;
      case WM_PAINT: {
        const PaintDc paint(window);
        ++paints;
        return 0;
      }
      case WM_PARENTNOTIFY:
        if (LOWORD(wparam) == WM_CREATE) ++children_made;
        return 0;
      case WM_NCDESTROY:
        static_cast<void>(window_.release());
        break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
  }

  UniqueWindow window_;
};

// The strip of long work in the window, null while there is none.
HWND StripIn(HWND window) { return ::FindWindowExW(window, nullptr, L"TambrelWorkStrip", nullptr); }

HWND BarIn(HWND strip) { return ::FindWindowExW(strip, nullptr, PROGRESS_CLASSW, nullptr); }

// The strip's line once it reads `text`, looked at from the worker; false when it never did.
bool StripReads(HWND window, const std::u16string& text) {
  return SeenFromTheWorker([&] {
    const HWND strip = StripIn(window);
    return strip != nullptr && testing::WindowText(strip) == text;
  });
}

TEST(Win32BackgroundWork, RunsTheWorkOnAThreadOfItsOwnAndAnswersOnceItIsDone) {
  Win32BackgroundWork work;
  std::thread::id worker;
  bool done = false;
  work.RunWithoutFreezing([&] {
    worker = std::this_thread::get_id();
    std::this_thread::sleep_for(20ms);
    done = true;
  });
  EXPECT_TRUE(done);
  EXPECT_NE(worker, std::thread::id());
  EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(Win32BackgroundWork, AnExceptionOfTheWorkComesOutOfTheCall) {
  Win32BackgroundWork work;
  try {
    work.RunWithoutFreezing([] { throw std::runtime_error("磁盘已满"); });
    FAIL() << "no exception came out";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "磁盘已满");
  }
  // And the next work runs as usual.
  bool ran = false;
  work.RunWithoutFreezing([&] { ran = true; });
  EXPECT_TRUE(ran);
}

TEST(Win32BackgroundWork, TimersTickWhileTheWorkRuns) {
  CountingWindow window;
  window.StartTicking();
  Win32BackgroundWork work;
  bool ticked = false;
  work.RunWithoutFreezing([&] { ticked = SeenFromTheWorker([&] { return window.ticks >= 3; }); });
  EXPECT_TRUE(ticked);
}

TEST(Win32BackgroundWork, TheWindowRepaintsWhileTheWorkRuns) {
  CountingWindow window;
  ::ShowWindow(window.Hwnd(), SW_SHOWNA);
  ::UpdateWindow(window.Hwnd());
  const int before = window.paints;
  Win32BackgroundWork work;
  bool repainted = false;
  work.RunWithoutFreezing([&] {
    // Another thread asks for the paint, as a part of the window uncovered would.
    ::InvalidateRect(window.Hwnd(), nullptr, FALSE);
    repainted = SeenFromTheWorker([&] { return window.paints > before; });
  });
  EXPECT_TRUE(repainted);
}

TEST(Win32BackgroundWork, KeysWaitUntilTheWorkIsDoneAndComeAfterwardsInOrder) {
  CountingWindow window;
  window.StartTicking();
  ::PostMessageW(window.Hwnd(), WM_KEYDOWN, 'A', 1);
  ::PostMessageW(window.Hwnd(), WM_KEYDOWN, 'B', 1);
  int keys_while_ticking = -1;
  window.on_tick = [&] {
    if (window.ticks == 5) keys_while_ticking = window.keys;
  };
  Win32BackgroundWork work;
  work.RunWithoutFreezing([&] { SeenFromTheWorker([&] { return window.ticks >= 5; }); });
  EXPECT_EQ(keys_while_ticking, 0) << "a key was handled while the work ran";
  EXPECT_EQ(window.keys, 0);
  testing::PumpUntil([&] { return window.keys >= 2; });
  EXPECT_EQ(window.keys_in_order, (std::vector<WPARAM>{'A', 'B'}))
      << "the keys were kept for afterwards";
}

TEST(Win32BackgroundWork, ShowsTheWaitCursorUntilTheWorkIsDone) {
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
  ::SetCursor(arrow);
  CountingWindow window;
  window.StartTicking();
  std::atomic<bool> looked{false};
  HCURSOR during = nullptr;
  window.on_tick = [&] {
    if (!looked) during = ::GetCursor();
    looked = true;
  };
  Win32BackgroundWork work;
  work.RunWithoutFreezing([&] { SeenFromTheWorker([&] { return looked.load(); }); });
  ASSERT_TRUE(looked);
  EXPECT_EQ(during, wait);
  EXPECT_EQ(::GetCursor(), arrow);
}

TEST(Win32BackgroundWork, ARequestToQuitMeanwhileIsPassedOn) {
  CountingWindow window;
  window.StartTicking();
  window.on_tick = [&] {
    if (window.ticks == 1) ::PostQuitMessage(7);
  };
  Win32BackgroundWork work;
  work.RunWithoutFreezing([&] { SeenFromTheWorker([&] { return window.ticks >= 3; }); });
  MSG message{};
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

TEST(Win32BackgroundWorkShowingProgress, LongWorkShowsWhatItIsAndHowFarAlongTheBottomUntilItEnds) {
  CountingWindow window;
  ::ShowWindow(window.Hwnd(), SW_SHOWNA);
  Win32BackgroundWork work;
  work.SetWindow(window.Hwnd());
  WorkProgress progress;
  progress.SetTotal(200);
  progress.SetDone(74);
  bool shown = false;
  LRESULT bar_position = -1;
  RECT strip_rect{};
  work.RunShowingProgress(StoppableWork(u"正在打开"), progress, [&] {
    shown = StripReads(window.Hwnd(), u"正在打开… 37%　按 Esc 取消");
    if (!shown) return;
    const HWND strip = StripIn(window.Hwnd());
    bar_position = ::SendMessageW(BarIn(strip), PBM_GETPOS, 0, 0);
    ::GetWindowRect(strip, &strip_rect);
    // The line follows the work.
    progress.SetDone(200);
    shown = StripReads(window.Hwnd(), u"正在打开… 100%　按 Esc 取消");
  });
  EXPECT_TRUE(shown);
  EXPECT_EQ(bar_position, 37);
  RECT client{};
  ::GetClientRect(window.Hwnd(), &client);
  ::MapWindowPoints(window.Hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(strip_rect.left, client.left);
  EXPECT_EQ(strip_rect.right, client.right);
  EXPECT_EQ(strip_rect.bottom, client.bottom) << "the strip lies along the bottom";
  EXPECT_GT(strip_rect.top, client.top) << "and covers only a part of the window";
  EXPECT_EQ(StripIn(window.Hwnd()), nullptr) << "the strip went with the work";
}

TEST(Win32BackgroundWorkShowingProgress, WorkOfUnknownSizeShowsABarThatRunsBackAndForth) {
  CountingWindow window;
  Win32BackgroundWork work;
  work.SetWindow(window.Hwnd());
  WorkProgress progress;
  bool running = false;
  bool counting = false;
  work.RunShowingProgress(UnstoppableWork(u"正在读取"), progress, [&] {
    if (!StripReads(window.Hwnd(), u"正在读取…")) return;
    const HWND bar = BarIn(StripIn(window.Hwnd()));
    running = (::GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE) != 0;
    progress.SetTotal(4);
    progress.SetDone(1);
    if (!StripReads(window.Hwnd(), u"正在读取… 25%")) return;
    counting = (::GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE) == 0 &&
               ::SendMessageW(bar, PBM_GETPOS, 0, 0) == 25;
  });
  EXPECT_TRUE(running) << "no marquee while the amount of work is unknown";
  EXPECT_TRUE(counting) << "no plain bar at 25% once it is known";
}

TEST(Win32BackgroundWorkShowingProgress, WorkShorterThanHalfASecondShowsNothing) {
  CountingWindow window;
  window.StartTicking();
  Win32BackgroundWork work;
  work.SetWindow(window.Hwnd());
  WorkProgress progress;
  bool done = false;
  // Long enough for the wait to wake and look a few times.
  work.RunShowingProgress(StoppableWork(u"正在保存"), progress, [&] {
    std::this_thread::sleep_for(150ms);
    done = true;
  });
  EXPECT_TRUE(done);
  EXPECT_GT(window.ticks, 0) << "the wait woke meanwhile";
  EXPECT_EQ(window.children_made, 0) << "a strip flickered";
}

TEST(Win32BackgroundWorkShowingProgress, WithoutAWindowTheWorkRunsUnseen) {
  Win32BackgroundWork work;
  WorkProgress progress;
  bool done = false;
  work.RunShowingProgress(UnstoppableWork(u"正在保存"), progress, [&] {
    std::this_thread::sleep_for(700ms);
    done = true;
  });
  EXPECT_TRUE(done);
}

TEST(Win32BackgroundWorkShowingProgress, EscAsksWorkThatCanStopToStop) {
  std::atomic<bool> escape{false};
  Win32BackgroundWork work([&] { return escape.load(); });
  WorkProgress progress;
  bool stopped = false;
  work.RunShowingProgress(StoppableWork(u"正在替换"), progress, [&] {
    if (progress.StopRequested()) return;
    escape = true;
    stopped = SeenFromTheWorker([&] { return progress.StopRequested(); });
  });
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(progress.GivenUp());
}

TEST(Win32BackgroundWorkShowingProgress, EscLeavesWorkThatCannotStopRunning) {
  std::atomic<bool> escape{true};
  CountingWindow window;
  Win32BackgroundWork work([&] { return escape.load(); });
  work.SetWindow(window.Hwnd());
  ::ShowWindow(window.Hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.Hwnd());
  WorkProgress progress;
  bool looked = false;
  bool stopped = true;
  work.RunShowingProgress(UnstoppableWork(u"正在保存"), progress, [&] {
    // Esc is looked for before the strip is made, so once it shows, Esc has been seen.
    looked = StripReads(window.Hwnd(), u"正在保存…");
    stopped = progress.StopRequested();
  });
  EXPECT_TRUE(looked);
  EXPECT_FALSE(stopped);
  EXPECT_FALSE(progress.GivenUp());
}

TEST(Win32BackgroundWorkShowingProgress, EscCountsOnlyWhileTheWindowIsInFront) {
  std::atomic<bool> escape{true};
  CountingWindow window;
  CountingWindow other;
  Win32BackgroundWork work([&] { return escape.load(); });
  work.SetWindow(window.Hwnd());
  ::ShowWindow(window.Hwnd(), SW_SHOW);
  ::ShowWindow(other.Hwnd(), SW_SHOW);
  ::SetForegroundWindow(other.Hwnd());
  ASSERT_EQ(::GetForegroundWindow(), other.Hwnd());
  WorkProgress behind;
  bool looked = false;
  work.RunShowingProgress(StoppableWork(u"正在查找"), behind, [&] {
    looked = StripReads(window.Hwnd(), u"正在查找…　按 Esc 取消");
    static_cast<void>(behind.StopRequested());
  });
  EXPECT_TRUE(looked);
  EXPECT_FALSE(behind.GivenUp()) << "Esc in another program stopped the work";

  ::SetForegroundWindow(window.Hwnd());
  ASSERT_EQ(::GetForegroundWindow(), window.Hwnd());
  WorkProgress in_front;
  bool stopped = false;
  work.RunShowingProgress(StoppableWork(u"正在查找"), in_front, [&] {
    stopped = SeenFromTheWorker([&] { return in_front.StopRequested(); });
  });
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(in_front.GivenUp());
}

TEST(Win32BackgroundWorkShowingProgress, AnExceptionOfTheWorkComesOutAndTakesTheStripAway) {
  CountingWindow window;
  Win32BackgroundWork work;
  work.SetWindow(window.Hwnd());
  WorkProgress progress;
  bool shown = false;
  try {
    work.RunShowingProgress(StoppableWork(u"正在打开"), progress, [&] {
      shown = StripReads(window.Hwnd(), u"正在打开…　按 Esc 取消");
      throw std::runtime_error("读取失败");
    });
    FAIL() << "no exception came out";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "读取失败");
  }
  EXPECT_TRUE(shown);
  EXPECT_EQ(StripIn(window.Hwnd()), nullptr);
}

}  // namespace
}  // namespace tambrel::platform::win32
