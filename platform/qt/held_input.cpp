#include "platform/qt/held_input.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWindow>

#include "platform/qt/document_preview.h"

namespace tambrel::platform::qt {
namespace {

// What the user does with the keyboard and the mouse, as it reaches a window or a widget, and the
// menu shortcuts it sets off.
bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      return true;
    default:
      return false;
  }
}

bool IsEscape(const QEvent* event) {
  return event->type() == QEvent::KeyPress &&
         static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

}  // namespace

HeldInput::HeldInput(QWidget* window, std::function<void()> on_escape)
    : window_(window), on_escape_(std::move(on_escape)) {
  QCoreApplication::instance()->installEventFilter(this);
}

HeldInput::~HeldInput() {
  QCoreApplication::instance()->removeEventFilter(this);
  // Posted, not sent: they are done by the loop that runs once the caller is back, after what the
  // work's end set going.
  for (Kept& kept : kept_) {
    if (kept.receiver) QCoreApplication::postEvent(kept.receiver, kept.event.release());
  }
}

bool HeldInput::MeantForTheWindow(QObject* receiver) const {
  if (!window_) return false;
  if (const auto* window = qobject_cast<QWindow*>(receiver)) {
    return window == window_->windowHandle();
  }
  if (const auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window() == window_;
  // A menu's action, the receiver of its shortcut.
  for (const QObject* owner = receiver; owner != nullptr; owner = owner->parent()) {
    if (owner == window_) return true;
  }
  return false;
}

bool HeldInput::ForThePreview(QObject* receiver, QEvent* event) {
  const auto* pointer = dynamic_cast<const QSinglePointEvent*>(event);
  if (pointer == nullptr || !window_) return false;
  // A press that went to the preview takes the mouse until its release, wherever it moves.
  if (pressed_in_preview_) {
    if (event->type() == QEvent::MouseButtonRelease && pointer->buttons() == Qt::NoButton) {
      pressed_in_preview_ = false;
    }
    return true;
  }
  const QWidget* target = nullptr;
  if (qobject_cast<QWindow*>(receiver) != nullptr) {
    target = window_->childAt(pointer->position().toPoint());
  } else {
    target = qobject_cast<QWidget*>(receiver);
  }
  for (; target != nullptr; target = target->parentWidget()) {
    if (target->objectName() == QLatin1String(DocumentPreview::kObjectName)) {
      if (event->type() == QEvent::MouseButtonPress) pressed_in_preview_ = true;
      return true;
    }
  }
  return false;
}

bool HeldInput::eventFilter(QObject* receiver, QEvent* event) {
  if (!IsUserInput(event->type()) || !MeantForTheWindow(receiver)) return false;
  // The start of a document being read may be looked at and scrolled meanwhile.
  if (ForThePreview(receiver, event)) return false;
  if (on_escape_ && IsEscape(event)) {
    on_escape_();
    return true;
  }
  kept_.push_back(Kept{receiver, std::unique_ptr<QEvent>(event->clone())});
  return true;
}

}  // namespace tambrel::platform::qt
