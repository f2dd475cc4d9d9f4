#pragma once

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace tambrel::platform::win32 {

// An object that answers the messages of one window. The window finds it through its
// GWLP_USERDATA, set from CreateWindowExW's lpParam before any other message but the very first
// few the system sends while creating it.
class MessageHandler {
 public:
  virtual ~MessageHandler() = default;

  // Answers a message of the window; DefWindowProcW for what the handler does not treat.
  virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;

  // Takes a message for this window or one of its children before it is dispatched, as a
  // top-level window's function keys do; true when the message needs no dispatch.
  virtual bool PreTranslate(MSG& /*message*/) { return false; }
};

// A window class of the program's: every window of it hands its messages to its MessageHandler.
struct WindowClass {
  const wchar_t* name;
  UINT style = 0;
  LPCWSTR cursor = IDC_ARROW;
};

struct WindowPlacement {
  DWORD ex_style = 0;
  DWORD style = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HWND parent = nullptr;
};

// Registers the class if this process has not yet, and creates a window of it whose messages go
// to `handler`, which must outlive the window or destroy it first. Throws with the system's
// reason when the window cannot be created.
UniqueWindow CreateHandledWindow(const WindowClass& window_class, MessageHandler& handler,
                                 const wchar_t* title, const WindowPlacement& placement);

// The handler of a window created by CreateHandledWindow; null for any other window.
MessageHandler* HandlerOf(HWND window);

// An exception that a handler threw cannot travel through the system's frames between the
// dispatch and the window procedure: the procedure keeps it, and whoever dispatched the message
// throws it once DispatchMessageW has returned.
void RethrowHandlerException();

}  // namespace tambrel::platform::win32
