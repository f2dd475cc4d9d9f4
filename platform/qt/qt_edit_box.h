#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "editor/editor.h"
#include "platform/editor_edit_box.h"
#include "platform/qt/qt_row_geometry.h"
#include "platform/qt/text_view.h"
#include "platform/qt/widget_geometry.h"

namespace tambrel::platform::qt {

// The editor control: the shared editor shown in the program's own text view. It owns the
// editor, which outlives the widget, so that the logic's questions are answered to the end.
class QtEditBox final : public EditorEditBox {
 public:
  QtEditBox(std::string name, QWidget* parent, OleColor back_color, OleColor fore_color,
            FontChoice font);
  ~QtEditBox() override;

  TextView* view() const { return view_; }
  editor::Editor& Model() override { return *editor_; }

  std::optional<float> Left() const override { return geometry_.Left(); }
  std::optional<float> Top() const override { return geometry_.Top(); }
  std::optional<float> Width() const override { return geometry_.Width(); }
  std::optional<float> Height() const override { return geometry_.Height(); }
  bool Move(double left, double top, double width, double height) override {
    return geometry_.Move(left, top, width, height);
  }

  void SetFocus() override;
  FontChoice Font() const override { return font_; }
  void SetFont(const FontChoice& font) override;
  OleColor ForeColor() const override { return fore_color_; }
  void SetForeColor(OleColor color) override;
  std::int32_t FirstVisibleLineTop() override;

  void OnChange(std::function<void()> handler) override { change_ = std::move(handler); }
  void OnKeyUp(std::function<void(std::int16_t, std::int16_t)> handler) override;
  void OnMouseUp(std::function<void(std::int16_t, std::int16_t, float, float)> handler) override;
  void OnDrop(std::function<void(const DropData&)> handler) override;
  EditHook SetHook(EditHook hook) override;

  // Drops every handler; the window calls this before its widgets are destroyed.
  void DetachHandlers();

 protected:
  void RunLongWork(const std::function<void()>& work) override;
  void ShowPreviewWidget(std::u16string_view start) override;
  void HidePreviewWidget() override;

 private:
  class HookFilter;
  void ApplyLook();
  QColor TextColour() const;
  QColor BackgroundColour() const;
  void Deliver(EditMessage message);

  QtRowGeometry row_geometry_;
  std::unique_ptr<editor::Editor> editor_;
  QPointer<TextView> view_;
  WidgetGeometry geometry_;
  OleColor back_color_;
  OleColor fore_color_;
  FontChoice font_;
  std::function<void()> change_;
  EditHook hook_;
  std::unique_ptr<HookFilter> hook_filter_;
  QPointer<QWidget> preview_;
};

}  // namespace tambrel::platform::qt
