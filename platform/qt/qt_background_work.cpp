#include "platform/qt/qt_background_work.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMetaObject>
#include <QTimer>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/qt/held_input.h"
#include "platform/qt/work_strip.h"

namespace tambrel::platform::qt {
namespace {

// How often the loop looks for a preview the work offered: soon enough to seem at once.
constexpr int kPreviewPollMs = 15;

// Runs the work on its thread and the loop until the work is done, with the wait cursor showing.
void RunInLoop(const std::function<void()>& work, QEventLoop::ProcessEventsFlags flags) {
  QEventLoop waiting;
  std::exception_ptr failure;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
  });
  waiting.exec(flags);
  worker.join();
  QGuiApplication::restoreOverrideCursor();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

void RunWithoutFreezing(const std::function<void()>& work, QWidget* window) {
  // Paints and timers go on; what the user types or clicks is kept until the work is done.
  const HeldInput held(window, nullptr);
  RunInLoop(work, QEventLoop::ExcludeUserInputEvents);
}

void QtBackgroundWork::RunShowingProgress(const ShownWork& shown, WorkProgress& progress,
                                          const std::function<void()>& work) {
  // The window owns the strip: should the window go first, the strip goes with it.
  struct StripWhileWorking {
    QPointer<WorkStrip> strip;
    ~StripWhileWorking() { delete strip.data(); }
  } strip{window_ ? new WorkStrip(window_, shown, progress) : nullptr};
  // A preview is shown as soon as it comes, long before the strip.
  QTimer preview_poll;
  if (shown.show_preview) {
    QObject::connect(&preview_poll, &QTimer::timeout, [&shown, &progress] {
      if (std::optional<std::u16string> preview = progress.TakePreview()) {
        shown.show_preview(std::move(*preview));
      }
    });
    preview_poll.start(kPreviewPollMs);
  }
  if (!shown.can_stop) {
    qt::RunWithoutFreezing(work, window_);
    return;
  }
  // Esc must be seen as it comes, so the loop takes all input, and everything but Esc is kept
  // for afterwards.
  const HeldInput held(window_, [&progress] { progress.RequestStop(); });
  RunInLoop(work, QEventLoop::AllEvents);
}

}  // namespace tambrel::platform::qt
