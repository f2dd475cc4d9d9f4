// Long work in the Qt window: the strip along the bottom that shows it once it has lasted half a
// second, Esc that stops work which can stop, and the keys that wait for the work's end and then
// come in the order they were typed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "platform/qt/qt_background_work.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/work_strip.h"

namespace tambrel::platform::qt {
namespace {

using namespace std::chrono_literals;

// Waits on the worker thread for what the window's thread reports; gives up after ten seconds, so
// that a loop which stands still fails the test rather than hangs it.
bool Awaited(const std::atomic<bool>& flag) {
  for (int i = 0; i < 2000 && !flag; ++i) std::this_thread::sleep_for(5ms);
  return flag;
}

class WorkStripTest : public ::testing::Test {
 protected:
  WorkStripTest() {
    window_.resize(600, 400);
    window_.setCentralWidget(line_);
    window_.show();
    line_->setFocus();
    QApplication::processEvents();
    work_.SetWindow(&window_);
  }

  WorkStrip* Strip() { return window_.findChild<WorkStrip*>(WorkStrip::kObjectName); }

  // Runs `check` on the window's thread every few milliseconds while the work runs.
  void WhileWorking(std::function<void()> check) {
    watcher_.setInterval(5);
    QObject::connect(&watcher_, &QTimer::timeout, &window_, std::move(check));
    watcher_.start();
  }

  QMainWindow window_;
  QLineEdit* line_ = new QLineEdit(&window_);
  QtBackgroundWork work_;
  QTimer watcher_;
};

TEST_F(WorkStripTest, LongWorkShowsWhatItIsAndHowFarItHasComeAlongTheBottomUntilItEnds) {
  WorkProgress progress;
  std::atomic<bool> seen{false};
  std::mutex lock;
  QString text;
  QRect place;
  WhileWorking([&] {
    WorkStrip* strip = Strip();
    if (seen || strip == nullptr || !strip->isVisible()) return;
    const std::lock_guard<std::mutex> guard(lock);
    const auto* label = strip->findChild<QLabel*>();
    text = label != nullptr ? label->text() : QString();
    place = strip->geometry();
    if (text.contains(u"37%")) seen = true;
  });
  work_.RunShowingProgress(StoppableWork(u"正在打开"), progress, [&] {
    progress.SetTotal(100);
    progress.SetDone(37);
    EXPECT_TRUE(Awaited(seen));
  });
  {
    const std::lock_guard<std::mutex> guard(lock);
    EXPECT_EQ(text, ToQString(u"正在打开… 37%　按 Esc 取消"));
    EXPECT_EQ(place.bottom(), window_.height() - 1);
    EXPECT_EQ(place.width(), window_.width());
  }
  EXPECT_EQ(Strip(), nullptr);
}

TEST_F(WorkStripTest, ShortWorkShowsNothing) {
  std::atomic<bool> shown{false};
  WhileWorking([&] {
    if (Strip() != nullptr && Strip()->isVisible()) shown = true;
  });
  WorkProgress progress;
  work_.RunShowingProgress(StoppableWork(u"正在查找"), progress,
                           [] { std::this_thread::sleep_for(100ms); });
  EXPECT_FALSE(shown);
}

TEST_F(WorkStripTest, EscStopsWorkThatCanStopAndTheOtherKeysFollowInTheirOrder) {
  WorkProgress progress;
  std::atomic<bool> typed{false};
  QString text_while_working;
  QTimer::singleShot(20, &window_, [&] {
    QTest::keyClick(window_.windowHandle(), Qt::Key_A);
    QTest::keyClick(window_.windowHandle(), Qt::Key_B);
    QTest::keyClick(window_.windowHandle(), Qt::Key_Escape);
    QTest::keyClick(window_.windowHandle(), Qt::Key_C);
    text_while_working = line_->text();
    typed = true;
  });
  bool stopped = false;
  work_.RunShowingProgress(StoppableWork(u"正在打开"), progress, [&] {
    EXPECT_TRUE(Awaited(typed));
    for (int i = 0; i < 2000 && !stopped; ++i) {
      stopped = progress.StopRequested();
      std::this_thread::sleep_for(5ms);
    }
  });
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(progress.GivenUp());
  EXPECT_EQ(text_while_working, QString());
  QApplication::processEvents();
  EXPECT_EQ(line_->text(), QString("abc"));
}

TEST_F(WorkStripTest, AnExceptionOfTheWorkStillTakesTheStripAway) {
  WorkProgress progress;
  std::atomic<bool> seen{false};
  WhileWorking([&] {
    if (Strip() != nullptr && Strip()->isVisible()) seen = true;
  });
  EXPECT_THROW(work_.RunShowingProgress(UnstoppableWork(u"正在保存"), progress,
                                        [&] {
                                          EXPECT_TRUE(Awaited(seen));
                                          throw std::runtime_error("disk gone");
                                        }),
               std::runtime_error);
  EXPECT_EQ(Strip(), nullptr);
}

}  // namespace
}  // namespace tambrel::platform::qt
