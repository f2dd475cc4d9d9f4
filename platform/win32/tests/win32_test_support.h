#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/window/window_procedure.h"

namespace tambrel::platform::win32::testing {

// Dispatches this thread's messages as the program's loop does until `done` answers true. A loop
// that never gets there must fail the test rather than hang it, so it gives up after `waits`
// waits for a message of at most 50 ms each.
bool PumpUntil(const std::function<bool()>& done, int waits = 400);

// The enabled, visible dialog window of this thread: the modal dialog the user would answer now.
HWND ShownDialog();

std::u16string WindowText(HWND window);

// Answers a modal dialog the way a user would, from inside its own loop: `act` runs once, with
// the dialog's window, as soon as the dialog shows. Headless tests cannot click, but the dialog's
// loop dispatches timer messages, so a timer of a hidden window does the clicking.
class DialogScript final : private MessageHandler {
 public:
  explicit DialogScript(std::function<void(HWND dialog)> act);
  ~DialogScript() override;
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  bool Acted() const { return acted_; }

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;

  std::function<void(HWND)> act_;
  bool acted_ = false;
  UniqueWindow window_;
};

// Presses a dialog's button as a click does.
void PressButton(HWND dialog, int id);
// Sends a key to the dialog's focused control through its own loop, as typing it does.
void PostKey(HWND dialog, WPARAM key);

}  // namespace tambrel::platform::win32::testing
