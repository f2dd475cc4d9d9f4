#include "platform/win32/window/message_loop.h"

#include "platform/win32/win32_error.h"
#include "platform/win32/window/window_procedure.h"

namespace tambrel::platform::win32 {

void DispatchProgramMessage(MSG& message) {
  MessageHandler* top = HandlerOf(::GetAncestor(message.hwnd, GA_ROOT));
  if (top == nullptr || !top->PreTranslate(message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  RethrowHandlerException();
}

void DispatchWaitingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the loop that waits for it must still see it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchProgramMessage(message);
  }
}

int RunMessageLoop() {
  MSG message;
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) ThrowLastError("GetMessageW");
    DispatchProgramMessage(message);
  }
}

}  // namespace tambrel::platform::win32
