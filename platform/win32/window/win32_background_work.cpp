#include "platform/win32/window/win32_background_work.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "platform/win32/text_view/preview_pane.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/win32_twips.h"
#include "platform/win32/window/window_procedure.h"
#include "platform/work_strip_text.h"

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

// How often the strip follows the work's progress and Esc is looked for: often enough to look
// alive, seldom enough to cost nothing.
constexpr DWORD kUpdateEveryMs = 100;
// While the work may offer a preview: a preview is worth showing at once, and the user who
// scrolls it wants it to follow the wheel and the scroll bar without a lag.
constexpr DWORD kPreviewEveryMs = 30;

// The mouse input meant for the preview shown in `window`, handled while every other key and
// click waits for the work. The preview only shows and scrolls the start of the document, and
// it goes with the work's end: what was meant for it cannot wait until then, nor would anything
// else it came before or after see a difference.
void HandlePreviewInput(HWND window) {
  const HWND preview = FindShownPreview(window);
  if (preview == nullptr) return;
  MSG message;
  // Addressed to the preview itself: moves and clicks on it and on its scroll bar, and a drag
  // of the scroll box, which holds the capture.
  constexpr struct {
    UINT first;
    UINT last;
  } kMouseRanges[] = {{WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}, {WM_MOUSEFIRST, WM_MOUSELAST}};
  for (const auto& range : kMouseRanges) {
    while (::PeekMessageW(&message, preview, range.first, range.last, PM_REMOVE)) {
      ::DispatchMessageW(&message);
    }
  }
  // The wheel's messages go to the focused window, the text view under the preview, wherever
  // the pointer is; those whose point lies over the preview are the preview's. Only the first
  // of them can be looked at without taking it: once one is not over the preview, it and every
  // wheel message after it wait for the work, in order.
  while (::PeekMessageW(&message, nullptr, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_NOREMOVE)) {
    RECT area{};
    const POINT point{static_cast<short>(LOWORD(message.lParam)),
                      static_cast<short>(HIWORD(message.lParam))};
    if (!::GetWindowRect(preview, &area) || !::PtInRect(&area, point)) break;
    if (!::PeekMessageW(&message, nullptr, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_REMOVE)) break;
    ::SendMessageW(preview, WM_MOUSEWHEEL, message.wParam, message.lParam);
  }
}

const WindowClass kStripClass{L"TambrelWorkStrip", 0, IDC_WAIT};

// The strip along the bottom of the window's client area while long work runs: a line saying
// what the work is and how far it has come, and a progress bar that runs back and forth while
// the amount of work is unknown. A child of the window rather than a dialog, so that nothing
// takes the focus or the keys from the window and the work's end takes it away quietly. It goes
// with this object.
class WorkStrip final : private MessageHandler {
 public:
  explicit WorkStrip(HWND parent)
      : parent_(parent),
        dpi_(WindowDpi(parent)),
        font_(CreateFontFor(FontChoice{u"宋体", 9, false, false}, dpi_)),
        window_(CreateHandledWindow(
            kStripClass, *this, L"",
            WindowPlacement{0, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0,
                            parent})) {
    static const bool registered = [] {
      const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
      return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    static_cast<void>(registered);
    bar_ = Checked(::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                     0, window_.get(), nullptr, ::GetModuleHandleW(nullptr),
                                     nullptr),
                   "CreateWindowExW");
    ::SendMessageW(bar_, PBM_SETRANGE32, 0, 100);
    Place();
    ::ShowWindow(window_.get(), SW_SHOWNA);
  }
  ~WorkStrip() override { window_.reset(); }
  WorkStrip(const WorkStrip&) = delete;
  WorkStrip& operator=(const WorkStrip&) = delete;

  void Show(const std::u16string& text, std::optional<int> percent) {
    Place();
    if (text != text_) {
      text_ = text;
      ::SetWindowTextW(window_.get(), AsWide(text_));
      ::InvalidateRect(window_.get(), nullptr, FALSE);
    }
    const bool marquee = !percent.has_value();
    if (marquee != marquee_) {
      // The marquee style only takes effect with PBM_SETMARQUEE, and a bar keeps it until told
      // otherwise, so the two change together both ways.
      const LONG_PTR style = ::GetWindowLongPtrW(bar_, GWL_STYLE);
      ::SetWindowLongPtrW(bar_, GWL_STYLE, marquee ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
      ::SendMessageW(bar_, PBM_SETMARQUEE, marquee ? TRUE : FALSE, 0);
      marquee_ = marquee;
    }
    if (percent) ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(*percent), 0);
  }

 private:
  int Scaled(int pixels_at_96_dpi) const {
    return ::MulDiv(pixels_at_96_dpi, static_cast<int>(dpi_), 96);
  }

  // Follows the window's size, which may change while the work runs, and stays above every
  // other child, which clip themselves around their siblings.
  void Place() {
    RECT client{};
    ::GetClientRect(parent_, &client);
    const int height = std::min(Scaled(24), static_cast<int>(client.bottom - client.top));
    const RECT wanted{client.left, client.bottom - height, client.right, client.bottom};
    if (placed_ && ::EqualRect(&wanted, &placed_rect_)) return;
    placed_ = true;
    placed_rect_ = wanted;
    const int width = wanted.right - wanted.left;
    ::SetWindowPos(window_.get(), HWND_TOP, wanted.left, wanted.top, width, height,
                   SWP_NOACTIVATE);
    const int margin = Scaled(4);
    const int bar_width = std::min(Scaled(160), width / 3);
    bar_left_ = std::max(0, width - margin - bar_width);
    ::SetWindowPos(bar_, nullptr, bar_left_, margin, bar_width, std::max(0, height - 2 * margin),
                   SWP_NOACTIVATE | SWP_NOZORDER);
    ::InvalidateRect(window_.get(), nullptr, FALSE);
  }

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        const PaintDc paint(window);
        RECT client{};
        ::GetClientRect(window, &client);
        ::FillRect(paint.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        // A line along the top parts the strip from the text it covers.
        RECT edge = client;
        edge.bottom = edge.top + 1;
        ::FillRect(paint.get(), &edge, ::GetSysColorBrush(COLOR_BTNSHADOW));
        RECT line = client;
        line.left += Scaled(6);
        line.right = bar_left_ - Scaled(6);
        const HGDIOBJ old_font = ::SelectObject(paint.get(), font_.get());
        ::SetBkMode(paint.get(), TRANSPARENT);
        ::SetTextColor(paint.get(), ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(paint.get(), AsWide(text_), static_cast<int>(text_.size()), &line,
                    DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::SelectObject(paint.get(), old_font);
        return 0;
      }
      case WM_NCDESTROY:
        static_cast<void>(window_.release());
        break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
  }

  HWND parent_;
  unsigned dpi_;
  GdiObject<HFONT> font_;
  UniqueWindow window_;
  // A child of the strip, destroyed with it.
  HWND bar_ = nullptr;
  int bar_left_ = 0;
  std::u16string text_;
  bool marquee_ = false;
  bool placed_ = false;
  RECT placed_rect_{};
};

// Whether the window, or one it owns such as a dialog, is the one the keyboard's keys go to.
bool InForeground(HWND window) {
  for (HWND front = ::GetForegroundWindow(); front != nullptr;
       front = ::GetWindow(front, GW_OWNER)) {
    if (front == window) return true;
  }
  return false;
}

}  // namespace

Win32BackgroundWork::Win32BackgroundWork(std::function<bool()> escape_down)
    : escape_down_(std::move(escape_down)) {}

void Win32BackgroundWork::RunWithoutFreezing(const std::function<void()>& work) {
  RunAndWait(work, INFINITE, nullptr);
}

void Win32BackgroundWork::RunShowingProgress(const ShownWork& shown, WorkProgress& progress,
                                             const std::function<void()>& work) {
  const ULONGLONG started = ::GetTickCount64();
  // Declared before the wait, so that it goes once the work has ended, however it ended.
  std::optional<WorkStrip> strip;
  bool cannot_show = false;
  bool cannot_preview = false;
  const bool may_preview = static_cast<bool>(shown.show_preview);
  RunAndWait(work, may_preview ? kPreviewEveryMs : kUpdateEveryMs, [&] {
    if (shown.can_stop && EscapePressed()) progress.RequestStop();
    if (may_preview && !cannot_preview) {
      try {
        if (std::optional<std::u16string> preview = progress.TakePreview()) {
          shown.show_preview(std::move(*preview));
        }
        HandlePreviewInput(window_);
      } catch (...) {
        // A preview is a courtesy while the document is read: the work goes on without it.
        cannot_preview = true;
      }
    }
    if (cannot_show || window_ == nullptr || !::IsWindow(window_)) return;
    if (!strip && ::GetTickCount64() - started < static_cast<ULONGLONG>(kShowWorkAfterMs)) return;
    try {
      if (!strip) strip.emplace(window_);
      const std::optional<int> percent = progress.Percent();
      strip->Show(WorkStripText(shown, percent), percent);
    } catch (...) {
      // A strip the system will not make is no reason to fail the work: it runs on unseen.
      strip.reset();
      cannot_show = true;
    }
  });
}

bool Win32BackgroundWork::EscapePressed() const {
  if (window_ != nullptr && !InForeground(window_)) return false;
  if (escape_down_) return escape_down_();
  return (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void Win32BackgroundWork::RunAndWait(const std::function<void()>& work, DWORD wake_every_ms,
                                     const std::function<void()>& woken) {
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
  // Whatever leaves this call early, the work has to end before anything it uses goes away.
  struct JoinAtEnd {
    std::thread& worker;
    ~JoinAtEnd() {
      if (worker.joinable()) worker.join();
    }
  } join_at_end{worker};
  for (;;) {
    HANDLE waited = done.get();
    // Woken by the work's end, by a new message of the kinds handled, or by the time to look
    // again; input that came while waiting does not count as new, so held keys do not spin the
    // loop.
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(
        1, &waited, wake_every_ms, QS_PAINT | QS_TIMER | QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
    if (woke == WAIT_OBJECT_0) break;
    if (woke == WAIT_FAILED) ThrowLastError("MsgWaitForMultipleObjectsEx");
    HandleWaitingMessages(quit);
    if (woken) woken();
  }
  worker.join();
  if (quit) ::PostQuitMessage(*quit);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tambrel::platform::win32
