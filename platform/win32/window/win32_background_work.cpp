#include "platform/win32/window/win32_background_work.h"

#include <windows.h>

#include <exception>
#include <optional>
#include <thread>

#include "platform/win32/win32_handles.h"

namespace tambrel::platform::win32 {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueEvent = UniqueHandle<HANDLE, HandleCloser>;

// The wait cursor until the work is done, then whatever showed before.
class WaitCursor {
 public:
  WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

// The messages a waiting window still handles: paints, timers, what other threads send and what
// the program posts. Input goes to the thread's input queue, which the PM_QS_ filter leaves alone;
// the ranges also leave keyboard and mouse messages that were posted, so that every key and click
// comes after the work, in the order it came.
constexpr UINT kHandled = PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
constexpr struct {
  UINT first;
  UINT last;
} kHandledRanges[] = {
    {0, WM_NCMOUSEMOVE - 1},
    {WM_NCXBUTTONDBLCLK + 1, WM_KEYFIRST - 1},
    {WM_KEYLAST + 1, WM_MOUSEFIRST - 1},
    {WM_MOUSELAST + 1, 0xFFFFFFFF},
};

// Handles every waiting message of the kinds above. A request to quit is kept in `quit` for the
// caller to pass on once the work is done.
void HandleWaitingMessages(std::optional<int>& quit) {
  MSG message;
  for (bool handled = true; handled;) {
    handled = false;
    for (const auto& range : kHandledRanges) {
      while (::PeekMessageW(&message, nullptr, range.first, range.last, PM_REMOVE | kHandled)) {
        handled = true;
        if (message.message == WM_QUIT) {
          quit = static_cast<int>(message.wParam);
          continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
  }
}

}  // namespace

void Win32BackgroundWork::RunWithoutFreezing(const std::function<void()>& work) {
  const UniqueEvent done(Checked(::CreateEventW(nullptr, TRUE, FALSE, nullptr), "CreateEventW"));
  std::exception_ptr failure;
  const WaitCursor wait_cursor;
  std::optional<int> quit;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    ::SetEvent(done.get());
  });
  for (;;) {
    HANDLE waited = done.get();
    // Woken by the work's end or by a new message of the kinds handled; input that came while
    // waiting does not count as new, so held keys do not spin the loop.
    const DWORD woken = ::MsgWaitForMultipleObjectsEx(
        1, &waited, INFINITE, QS_PAINT | QS_TIMER | QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
    if (woken == WAIT_OBJECT_0) break;
    if (woken == WAIT_FAILED) {
      // Nothing to wait with: the work still has to end before anything it uses goes away.
      worker.join();
      ThrowLastError("MsgWaitForMultipleObjectsEx");
    }
    HandleWaitingMessages(quit);
  }
  worker.join();
  if (quit) ::PostQuitMessage(*quit);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tambrel::platform::win32
