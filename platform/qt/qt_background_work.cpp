#include "platform/qt/qt_background_work.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMetaObject>
#include <exception>
#include <thread>

namespace tambrel::platform::qt {

void RunWithoutFreezing(const std::function<void()>& work) {
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
  // Paints and timers go on; what the user types or clicks is kept until the work is done.
  waiting.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  QGuiApplication::restoreOverrideCursor();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tambrel::platform::qt
