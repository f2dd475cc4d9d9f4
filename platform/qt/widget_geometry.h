#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>

#include "platform/qt/twips.h"

namespace tambrel::platform::qt {

// Position and size of a widget in twips of its parent's client area: what every visual
// control of the collection answers and accepts.
class WidgetGeometry {
 public:
  explicit WidgetGeometry(QWidget* widget) : widget_(widget) {}

  std::optional<float> Left() const { return Read(&QWidget::x, PixelsToTwipsX); }
  std::optional<float> Top() const { return Read(&QWidget::y, PixelsToTwipsY); }
  std::optional<float> Width() const { return Read(&QWidget::width, PixelsToTwipsX); }
  std::optional<float> Height() const { return Read(&QWidget::height, PixelsToTwipsY); }

  bool Move(double left, double top, double width, double height) {
    if (widget_.isNull()) return false;
    widget_->setGeometry(TwipsToPixelsX(left), TwipsToPixelsY(top),
                         std::max(0, TwipsToPixelsX(width)), std::max(0, TwipsToPixelsY(height)));
    return true;
  }

 private:
  std::optional<float> Read(int (QWidget::*pixels)() const, float (*convert)(int)) const {
    if (widget_.isNull()) return std::nullopt;
    return convert((widget_.data()->*pixels)());
  }

  QPointer<QWidget> widget_;
};

}  // namespace tambrel::platform::qt
