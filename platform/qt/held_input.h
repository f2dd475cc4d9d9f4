#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QEvent;

namespace tambrel::platform::qt {

// While it lives, the keys, clicks and menu shortcuts meant for one window are kept instead of
// done, and once it goes they are posted again in the order they came: work that the user can
// stop needs the event loop to look at every key for Esc, yet nothing else may act before the
// work is over. Esc itself, when there is something to stop, calls `on_escape` instead.
// Windows of their own, such as a message box that comes up meanwhile, are left alone, and so
// is the mouse over the preview of a document being read.
class HeldInput final : public QObject {
 public:
  HeldInput(QWidget* window, std::function<void()> on_escape);
  ~HeldInput() override;
  HeldInput(const HeldInput&) = delete;
  HeldInput& operator=(const HeldInput&) = delete;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  struct Kept {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
  };

  bool MeantForTheWindow(QObject* receiver) const;
  // Whether a mouse event goes to the preview of a document being read, which takes it at once.
  bool ForThePreview(QObject* receiver, QEvent* event);

  QPointer<QWidget> window_;
  std::function<void()> on_escape_;
  std::vector<Kept> kept_;
  bool pressed_in_preview_ = false;
};

}  // namespace tambrel::platform::qt
