#include "platform/win32/window/window_procedure.h"

#include <exception>
#include <utility>

namespace tambrel::platform::win32 {
namespace {

// The one exception a handler threw, waiting for the dispatch to return. Per thread, since each
// thread dispatches its own windows' messages.
thread_local std::exception_ptr pending_exception;

LRESULT CALLBACK HandlingProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  MessageHandler* handler = HandlerOf(window);
  LRESULT result = 0;
  if (handler == nullptr) {
    result = ::DefWindowProcW(window, message, wparam, lparam);
  } else {
    try {
      result = handler->HandleMessage(window, message, wparam, lparam);
    } catch (...) {
      // The first failure is the one to report; what fails after it is usually its consequence.
      if (!pending_exception) pending_exception = std::current_exception();
      // A close whose handler failed keeps the window, and the text in it; anything else gets
      // the system's own handling.
      result = message == WM_CLOSE ? 0 : ::DefWindowProcW(window, message, wparam, lparam);
    }
  }
  if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return result;
}

void RegisterOnce(const WindowClass& window_class) {
  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  description.style = window_class.style;
  description.lpfnWndProc = HandlingProcedure;
  description.hInstance = ::GetModuleHandleW(nullptr);
  description.hCursor = ::LoadCursorW(nullptr, window_class.cursor);
  description.lpszClassName = window_class.name;
  if (::RegisterClassExW(&description) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ThrowLastError("RegisterClassExW");
  }
}

}  // namespace

UniqueWindow CreateHandledWindow(const WindowClass& window_class, MessageHandler& handler,
                                 const wchar_t* title, const WindowPlacement& placement) {
  RegisterOnce(window_class);
  HWND window = ::CreateWindowExW(placement.ex_style, window_class.name, title, placement.style,
                                  placement.x, placement.y, placement.width, placement.height,
                                  placement.parent, nullptr, ::GetModuleHandleW(nullptr), &handler);
  if (window == nullptr) {
    // A handler that threw while the window was being made is the better explanation.
    RethrowHandlerException();
    ThrowLastError("CreateWindowExW");
  }
  return UniqueWindow(window);
}

MessageHandler* HandlerOf(HWND window) {
  // Only a window of our classes keeps a handler in GWLP_USERDATA; others may keep anything there.
  if (window == nullptr ||
      ::GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&HandlingProcedure)) {
    return nullptr;
  }
  return reinterpret_cast<MessageHandler*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void RethrowHandlerException() {
  if (pending_exception) std::rethrow_exception(std::exchange(pending_exception, nullptr));
}

}  // namespace tambrel::platform::win32
