#include "platform/qt/qt_picture_box.h"
#include "platform/qt/qt_color.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>
#include <cmath>
#include <limits>

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {

namespace {
QRect ToQRect(const PixelRect& rect) {
  return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}
}  // namespace

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent), background_(Qt::white) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void PictureWidget::SetBackground(const QColor& color) {
  background_ = color;
  image_.fill(background_);
  update();
}

void PictureWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), background_);
  painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

QImage& PictureWidget::image() {
  // A hidden widget gets no resize events, yet the program draws on it before it is shown.
  const QSize wanted = size().expandedTo(QSize(1, 1));
  if (image_.size() != wanted) FitImage(wanted);
  return image_;
}

void PictureWidget::FitImage(const QSize& wanted) {
  // Like a picture box with a persistent image: growing keeps what was drawn and fills the new
  // area with the background.
  QImage grown(wanted, QImage::Format_RGB32);
  grown.fill(background_);
  if (!image_.isNull()) {
    QPainter painter(&grown);
    painter.drawImage(0, 0, image_);
  }
  image_ = std::move(grown);
}

void PictureWidget::resizeEvent(QResizeEvent* event) {
  FitImage(size().expandedTo(QSize(1, 1)));
  QWidget::resizeEvent(event);
}

QtPictureBox::QtPictureBox(std::string name, PictureWidget* widget, OleColor back_color,
                           OleColor fore_color, FontChoice font)
    : PictureBox(std::move(name)),
      widget_(widget),
      geometry_(widget),
      back_color_(back_color),
      fore_color_(fore_color),
      font_(std::move(font)),
      qfont_(ToQFont(font_)) {
  const ColorRef background = TranslateColor(back_color_);
  if (background != kUntranslatableColor) widget_->SetBackground(ToQColor(background));
  widget_->setFont(qfont_);
}

void QtPictureBox::SetFont(const FontChoice& font) {
  font_ = font;
  qfont_ = ToQFont(font_);
  rendered_.clear();
  if (widget_) widget_->setFont(qfont_);
}

PixelRect QtPictureBox::ClientRect() const {
  if (!widget_) return {};
  return PixelRect{0, 0, widget_->width(), widget_->height()};
}

PixelRect QtPictureBox::MeasureText(std::u16string_view text) const {
  // Measured in the font the box was given, whatever a style sheet did to the widget, as one row
  // of the editor: a row of numbers is exactly as tall as an editor row in that font.
  const QRect extent = RowExtent(ToQString(text), qfont_);
  return PixelRect{0, 0, extent.width(), extent.height()};
}

void QtPictureBox::FillRect(const PixelRect& rect, ColorRef color) {
  // A colour that could not be translated fills nothing; drawing carries on.
  if (!widget_ || color == kUntranslatableColor) return;
  QPainter painter(&widget_->image());
  painter.fillRect(ToQRect(rect), ToQColor(color));
}

const QImage& QtPictureBox::Rendered(std::u16string_view text, ColorRef color) {
  const QString key = ToQString(text);
  const RenderKey render_key{key, color};
  auto found = rendered_.constFind(render_key);
  if (found != rendered_.constEnd()) return *found;
  if (rendered_.size() >= kRenderedTextsKept) rendered_.clear();
  const QFontMetricsF metrics(qfont_);
  const QSize size(static_cast<int>(std::ceil(metrics.horizontalAdvance(key))),
                   static_cast<int>(std::ceil(metrics.height())));
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setFont(qfont_);
    painter.setPen(ToQColor(color));
    painter.drawText(QRectF(QPointF(0, 0), QSizeF(size)),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, key);
  }
  return *rendered_.insert(render_key, std::move(image));
}

void QtPictureBox::DrawTextRight(std::u16string_view text, const PixelRect& rect, ColorRef color) {
  if (!widget_ || color == kUntranslatableColor) return;
  const QImage& rendered = Rendered(text, color);
  QPainter painter(&widget_->image());
  painter.setClipRect(ToQRect(rect));
  painter.drawImage(QPoint(rect.right - rendered.width(), rect.top), rendered);
}

void QtPictureBox::DrawVerticalLine(int x, int top, int bottom, ColorRef color) {
  if (!widget_ || color == kUntranslatableColor || bottom <= top) return;
  QPainter painter(&widget_->image());
  painter.setPen(QPen(ToQColor(color), 1, Qt::SolidLine));
  painter.drawLine(x, top, x, bottom - 1);
}

void QtPictureBox::Refresh() {
  if (widget_) widget_->update();
}

ColorRef QtPictureBox::Point(int x, int y) const {
  if (!widget_ || !widget_->image().valid(x, y)) return kUntranslatableColor;
  const QColor color = widget_->image().pixelColor(x, y);
  return static_cast<ColorRef>(RgbColor(static_cast<std::uint8_t>(color.red()),
                                        static_cast<std::uint8_t>(color.green()),
                                        static_cast<std::uint8_t>(color.blue())));
}

}  // namespace tambrel::platform::qt
