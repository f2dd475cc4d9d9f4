#include "platform/win32/window/win32_simple_controls.h"

#include <algorithm>

namespace tambrel::platform::win32 {
namespace {

const WindowClass kContainerClass{L"TambrelContainer", 0, IDC_ARROW};

}  // namespace

Win32Container::Win32Container(std::string name, HWND parent, COLORREF back_color)
    : Win32Control<Control>(std::move(name)),
      background_(Checked(::CreateSolidBrush(back_color), "CreateSolidBrush")),
      window_(CreateHandledWindow(
          kContainerClass, *this, L"",
          WindowPlacement{0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0,
                          0, parent})) {
  AttachWindow(window_.get());
}

// The window goes first, while the brush it paints with and the handler it calls still exist.
Win32Container::~Win32Container() { window_.reset(); }

LRESULT Win32Container::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(window, &client);
      ::FillRect(reinterpret_cast<HDC>(wparam), &client, background_.get());
      return 1;
    }
    case WM_NCDESTROY:
      // The parent took it down with itself: there is nothing left to destroy.
      static_cast<void>(window_.release());
      AttachWindow(nullptr);
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

Win32Timer::Win32Timer(std::string name, HWND window, UINT_PTR id)
    : Timer(std::move(name)), window_(window), id_(id) {}

Win32Timer::~Win32Timer() {
  if (enabled_) ::KillTimer(window_, id_);
}

void Win32Timer::SetInterval(int milliseconds) {
  interval_ = milliseconds;
  // Setting a running timer again restarts it with the new interval.
  if (enabled_) Start();
}

void Win32Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  if (enabled) {
    Start();
  } else {
    ::KillTimer(window_, id_);
  }
  enabled_ = enabled;
}

void Win32Timer::Start() {
  const UINT interval = static_cast<UINT>(std::max<int>(interval_, USER_TIMER_MINIMUM));
  if (::SetTimer(window_, id_, interval, nullptr) == 0) ThrowLastError("SetTimer");
}

void Win32Timer::Tick() {
  if (enabled_ && handler_) handler_();
}

}  // namespace tambrel::platform::win32
