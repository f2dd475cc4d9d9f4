#pragma once

#include <windows.h>

#include <functional>

#include "platform/background_work.h"

namespace tambrel::platform::win32 {

// Runs the work on a thread of its own while the calling thread goes on painting, running timers
// and answering posted and sent messages; keyboard and mouse input stays in the queue until the
// work is done, and the wait cursor shows meanwhile. An exception of the work comes out of the
// call.
//
// Work run showing its progress gets, once it has lasted kShowWorkAfterMs, a strip along the
// bottom of the window's client area with what it is, how far it has come and a progress bar.
// Since every key waits in the queue, Esc is seen by looking at the keyboard's state instead.
class Win32BackgroundWork final : public BackgroundWork {
 public:
  // `escape_down` answers whether Esc is held now; by default the keyboard says. Tests, which
  // have no keyboard under Wine's null driver, press it through their own.
  explicit Win32BackgroundWork(std::function<bool()> escape_down = {});
  Win32BackgroundWork(const Win32BackgroundWork&) = delete;
  Win32BackgroundWork& operator=(const Win32BackgroundWork&) = delete;

  // The window the strip shows in, and whose being in the foreground lets Esc count. Without
  // one, nothing shows and Esc counts whichever window is in front.
  void SetWindow(HWND window) { window_ = window; }

  void RunWithoutFreezing(const std::function<void()>& work) override;
  void RunShowingProgress(const ShownWork& shown, WorkProgress& progress,
                          const std::function<void()>& work) override;

 private:
  // Runs the work and waits for it as RunWithoutFreezing says; `woken` runs on this thread each
  // time the wait wakes, and the wait wakes at least every `wake_every_ms`.
  void RunAndWait(const std::function<void()>& work, DWORD wake_every_ms,
                  const std::function<void()>& woken);
  bool EscapePressed() const;

  std::function<bool()> escape_down_;
  HWND window_ = nullptr;
};

}  // namespace tambrel::platform::win32
