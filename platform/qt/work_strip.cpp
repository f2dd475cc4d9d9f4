#include "platform/qt/work_strip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include "platform/qt/qt_strings.h"
#include "platform/work_strip_text.h"

namespace tambrel::platform::qt {

WorkStrip::WorkStrip(QWidget* window, const ShownWork& shown, const WorkProgress& progress)
    : QFrame(window),
      shown_(shown),
      progress_(progress),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
  setObjectName(kObjectName);
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 2, 8, 2);
  layout->addWidget(label_, 1);
  bar_->setTextVisible(false);
  bar_->setMaximumWidth(240);
  layout->addWidget(bar_);
  hide();
  appear_.setSingleShot(true);
  connect(&appear_, &QTimer::timeout, this, [this] {
    Update();
    PlaceAtTheBottom();
    show();
    raise();
    refresh_.start();
  });
  appear_.start(kShowWorkAfterMs);
  refresh_.setInterval(100);
  connect(&refresh_, &QTimer::timeout, this, [this] {
    Update();
    PlaceAtTheBottom();
  });
}

void WorkStrip::Update() {
  const std::optional<int> percent = progress_.Percent();
  label_->setText(ToQString(WorkStripText(shown_, percent)));
  if (percent) {
    bar_->setRange(0, 100);
    bar_->setValue(*percent);
  } else {
    // An empty range makes the bar show work going on without an end in sight.
    bar_->setRange(0, 0);
  }
}

void WorkStrip::PlaceAtTheBottom() {
  const QWidget* window = parentWidget();
  if (window == nullptr) return;
  const int height = sizeHint().height();
  setGeometry(0, window->height() - height, window->width(), height);
}

}  // namespace tambrel::platform::qt
