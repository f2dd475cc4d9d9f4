// The window's background work: the work runs on a thread of its own while the window goes on
// running timers and painting, keys wait until it is done, the wait cursor shows meanwhile, and
// an exception the work throws comes out of the call.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
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

// A window that counts its timer ticks, keys and paints, and runs what a tick should do.
class CountingWindow final : private MessageHandler {
 public:
  CountingWindow()
      : window_(CreateHandledWindow(WindowClass{L"TambrelTestCounting", 0, IDC_ARROW}, *this,
                                    L"", WindowPlacement{0, WS_POPUP, 0, 0, 50, 50, nullptr})) {}
  ~CountingWindow() override { window_.reset(); }

  HWND Hwnd() const { return window_.get(); }
  void StartTicking() { ::SetTimer(window_.get(), 1, 10, nullptr); }

  std::atomic<int> ticks{0};
  std::atomic<int> keys{0};
  std::atomic<int> paints{0};
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
      case WM_NCDESTROY:
        static_cast<void>(window_.release());
        break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
  }

  UniqueWindow window_;
};

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

}  // namespace
}  // namespace tambrel::platform::win32
