#pragma once

#include <QFrame>
#include <QPointer>
#include <QTimer>

#include "platform/background_work.h"

class QLabel;
class QProgressBar;

namespace tambrel::platform::qt {

// The line along the bottom of the window that shows long work: what it is, how far it has come
// and, when it can stop, that Esc stops it. It comes up only once the work has lasted
// kShowWorkAfterMs, follows the work's progress, and goes with the object.
class WorkStrip final : public QFrame {
 public:
  static constexpr char kObjectName[] = "work_strip";

  WorkStrip(QWidget* window, const ShownWork& shown, const WorkProgress& progress);

 private:
  void Update();
  void PlaceAtTheBottom();

  ShownWork shown_;
  const WorkProgress& progress_;
  QLabel* label_;
  QProgressBar* bar_;
  QTimer appear_;
  QTimer refresh_;
};

}  // namespace tambrel::platform::qt
