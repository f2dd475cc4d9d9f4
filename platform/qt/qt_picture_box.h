#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/picture_box.h"
#include "platform/qt/widget_geometry.h"

namespace tambrel::platform::qt {

// The widget behind a picture box: it shows an image that the program draws on, so the drawing
// survives being covered and uncovered.
class PictureWidget final : public QWidget {
 public:
  explicit PictureWidget(QWidget* parent);

  // The drawing, sized to the widget.
  QImage& image();
  void SetBackground(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitImage(const QSize& wanted);

  QImage image_;
  QColor background_;
};

class QtPictureBox final : public PictureBox {
 public:
  QtPictureBox(std::string name, PictureWidget* widget, OleColor back_color, OleColor fore_color,
               FontChoice font);

  PictureWidget* widget() const { return widget_; }

  std::optional<float> Left() const override { return geometry_.Left(); }
  std::optional<float> Top() const override { return geometry_.Top(); }
  std::optional<float> Width() const override { return geometry_.Width(); }
  std::optional<float> Height() const override { return geometry_.Height(); }
  bool Move(double left, double top, double width, double height) override {
    return geometry_.Move(left, top, width, height);
  }

  FontChoice Font() const override { return font_; }
  void SetFont(const FontChoice& font) override;
  OleColor BackColor() const override { return back_color_; }
  OleColor ForeColor() const override { return fore_color_; }

  PixelRect ClientRect() const override;
  PixelRect MeasureText(std::u16string_view text) const override;
  void FillRect(const PixelRect& rect, ColorRef color) override;
  void DrawTextRight(std::u16string_view text, const PixelRect& rect, ColorRef color) override;
  void DrawVerticalLine(int x, int top, int bottom, ColorRef color) override;
  void Refresh() override;
  ColorRef Point(int x, int y) const override;

 private:
  QPointer<PictureWidget> widget_;
  WidgetGeometry geometry_;
  OleColor back_color_;
  OleColor fore_color_;
  // Numbers drawn once and copied many times: the gutter repaints the same few dozen numbers
  // several times a second, and drawing text costs more than copying its pixels.
  struct RenderKey {
    QString text;
    ColorRef color = 0;
    friend bool operator==(const RenderKey&, const RenderKey&) = default;
    friend size_t qHash(const RenderKey& key, size_t seed = 0) {
      return qHashMulti(seed, key.text, key.color);
    }
  };
  static constexpr qsizetype kRenderedTextsKept = 1024;
  const QImage& Rendered(std::u16string_view text, ColorRef color);

  FontChoice font_;
  QFont qfont_;
  QHash<RenderKey, QImage> rendered_;
};

}  // namespace tambrel::platform::qt
