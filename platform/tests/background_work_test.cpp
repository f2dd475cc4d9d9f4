// The Qt window's background work: the work runs on a thread of its own while the event loop
// goes on running timers and painting, the wait cursor shows until it is done, and an exception
// the work throws comes out of the call.
#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QMetaObject>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <thread>

#include "platform/qt/qt_background_work.h"
#include "platform/qt/qt_window.h"

namespace tambrel::platform::qt {
namespace {

using namespace std::chrono_literals;

// Waits on the worker thread until the event loop has done what the condition asks. A loop that
// stands still must fail the test rather than hang it, so the wait gives up after ten seconds.
bool SeenFromTheWorker(const std::function<bool()>& condition) {
  for (int i = 0; i < 2000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

class PaintCounter final : public QWidget {
 public:
  std::atomic<int> paints{0};

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(QtBackgroundWork, RunsTheWorkOnAThreadOfItsOwnAndAnswersOnceItIsDone) {
  QtBackgroundWork work;
  std::thread::id worker;
  bool done = false;
  work.RunWithoutFreezing([&] {
    worker = std::this_thread::get_id();
    std::this_thread::sleep_for(20ms);
    done = true;
  });
  EXPECT_TRUE(done);
  EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(QtBackgroundWork, TimersGoOnWhileTheWorkRuns) {
  std::atomic<int> ticks{0};
  QTimer timer;
  timer.setInterval(1);
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start();
  QtBackgroundWork work;
  bool ticked = false;
  work.RunWithoutFreezing([&] { ticked = SeenFromTheWorker([&] { return ticks >= 3; }); });
  EXPECT_TRUE(ticked);
}

TEST(QtBackgroundWork, TheWindowRepaintsWhileTheWorkRuns) {
  PaintCounter widget;
  widget.resize(40, 40);
  widget.show();
  QCoreApplication::processEvents();
  const int before = widget.paints;
  QtBackgroundWork work;
  bool repainted = false;
  work.RunWithoutFreezing([&] {
    QMetaObject::invokeMethod(
        &widget, [&widget] { widget.repaint(); }, Qt::QueuedConnection);
    repainted = SeenFromTheWorker([&] { return widget.paints > before; });
  });
  EXPECT_TRUE(repainted);
}

TEST(QtBackgroundWork, ShowsTheWaitCursorUntilTheWorkIsDone) {
  std::atomic<bool> looked{false};
  std::optional<Qt::CursorShape> during;
  QTimer look;
  look.setSingleShot(true);
  QObject::connect(&look, &QTimer::timeout, [&] {
    if (const QCursor* cursor = QGuiApplication::overrideCursor()) during = cursor->shape();
    looked = true;
  });
  look.start(0);
  QtBackgroundWork work;
  work.RunWithoutFreezing([&] { SeenFromTheWorker([&] { return looked.load(); }); });
  ASSERT_TRUE(looked);
  EXPECT_EQ(during, Qt::WaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtBackgroundWork, AnExceptionOfTheWorkComesOutOfTheCallAndTheCursorIsRestored) {
  QtBackgroundWork work;
  EXPECT_THROW(work.RunWithoutFreezing([] { throw std::runtime_error("disk gone"); }),
               std::runtime_error);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtBackgroundWork, TheWindowHandsOutWorkThatRunsOffItsThread) {
  WindowDefinition definition;
  definition.name = "Form1";
  definition.client_width = 3000;
  definition.client_height = 2000;
  QtWindow window(definition, nullptr);
  std::thread::id worker;
  window.Work().RunWithoutFreezing([&] { worker = std::this_thread::get_id(); });
  EXPECT_NE(worker, std::thread::id());
  EXPECT_NE(worker, std::this_thread::get_id());
}

}  // namespace
}  // namespace tambrel::platform::qt
