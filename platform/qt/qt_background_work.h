#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/background_work.h"

namespace tambrel::platform::qt {

// Runs the work on a thread of its own under a nested event loop that paints and runs timers but
// keeps what the user types or clicks until the work is done, with the wait cursor showing. The
// Qt controls call it directly; the program's logic gets it as the window's BackgroundWork. Input
// that earlier work kept and gave back to the window (as posted events, which the loop would
// otherwise run) waits once more.
void RunWithoutFreezing(const std::function<void()>& work, QWidget* window);

class QtBackgroundWork final : public BackgroundWork {
 public:
  // The window that shows the work's progress; without one, the work shows nothing.
  void SetWindow(QWidget* window) { window_ = window; }

  void RunWithoutFreezing(const std::function<void()>& work) override {
    qt::RunWithoutFreezing(work, window_);
  }
  void RunShowingProgress(const ShownWork& shown, WorkProgress& progress,
                          const std::function<void()>& work) override;

 private:
  QPointer<QWidget> window_;
};

}  // namespace tambrel::platform::qt
