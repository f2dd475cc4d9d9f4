#pragma once

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/control.h"
#include "platform/menu_entry.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/widget_geometry.h"
#include "platform/timer.h"

namespace tambrel::platform::qt {

// A plain box that holds other controls.
class QtContainer final : public Control {
 public:
  QtContainer(std::string name, QWidget* widget)
      : Control(std::move(name)), widget_(widget), geometry_(widget) {}

  QWidget* widget() const { return widget_; }

  std::optional<float> Left() const override { return geometry_.Left(); }
  std::optional<float> Top() const override { return geometry_.Top(); }
  std::optional<float> Width() const override { return geometry_.Width(); }
  std::optional<float> Height() const override { return geometry_.Height(); }
  bool Move(double left, double top, double width, double height) override {
    return geometry_.Move(left, top, width, height);
  }

 private:
  QPointer<QWidget> widget_;
  WidgetGeometry geometry_;
};

class QtTimer final : public Timer {
 public:
  explicit QtTimer(std::string name) : Timer(std::move(name)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (handler_) handler_();
    });
  }

  int Interval() const override { return timer_.interval(); }
  void SetInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
  bool Enabled() const override { return timer_.isActive(); }
  void SetEnabled(bool enabled) override {
    if (enabled && !timer_.isActive()) timer_.start();
    if (!enabled) timer_.stop();
  }
  void OnTimer(std::function<void()> handler) override { handler_ = std::move(handler); }

 private:
  QTimer timer_;
  std::function<void()> handler_;
};

class QtMenuEntry final : public MenuEntry {
 public:
  QtMenuEntry(std::string name, QAction* action) : MenuEntry(std::move(name)), action_(action) {}

  std::u16string Caption() const override { return action_ ? ToU16(action_->text()) : u""; }
  std::u16string ShortcutText() const override {
    return action_ ? ToU16(action_->shortcut().toString()) : u"";
  }
  void Click() override {
    if (action_ && action_->menu() == nullptr) action_->trigger();
  }
  QAction* action() const { return action_; }

 private:
  QPointer<QAction> action_;
};

}  // namespace tambrel::platform::qt
