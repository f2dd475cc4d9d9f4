#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "platform/edit_box.h"
#include "platform/qt/text_view.h"
#include "platform/qt/widget_geometry.h"

namespace tambrel::platform::qt {

// The editor control: the program's own text view behind the edit box the logic sees. Rows are
// the view's display rows; questions about rows answer exactly, counting what they must.
class QtEditBox final : public EditBox {
 public:
  QtEditBox(std::string name, TextView* view, OleColor back_color, OleColor fore_color,
            FontChoice font);
  ~QtEditBox() override;

  TextView* view() const { return view_; }

  std::optional<float> Left() const override { return geometry_.Left(); }
  std::optional<float> Top() const override { return geometry_.Top(); }
  std::optional<float> Width() const override { return geometry_.Width(); }
  std::optional<float> Height() const override { return geometry_.Height(); }
  bool Move(double left, double top, double width, double height) override {
    return geometry_.Move(left, top, width, height);
  }

  std::u16string Text() const override;
  void ForEachTextPiece(const std::function<void(std::u16string_view)>& visit) const override;
  std::int32_t TextLength() const override;
  void SetText(const std::u16string& text) override;
  void SetText(std::u16string&& text) override;
  void SetNewLine(std::u16string_view line_break) override;
  std::int32_t SelStart() const override;
  void SetSelStart(std::int32_t start) override;
  std::int32_t SelLength() const override;
  void SetSelLength(std::int32_t length) override;
  void SetFocus() override;

  FontChoice Font() const override { return font_; }
  void SetFont(const FontChoice& font) override;
  OleColor ForeColor() const override { return fore_color_; }
  void SetForeColor(OleColor color) override;

  std::int32_t LineCount() override;
  std::int32_t LineFromChar(std::int32_t index) override;
  std::int32_t FirstVisibleLine() override;
  std::optional<std::int32_t> CountedFirstVisibleLine() override;
  std::int32_t LineCountUpTo(std::int32_t limit) override;
  std::int32_t LineFromCharUpTo(std::int32_t index, std::int32_t limit) override;
  std::int32_t FirstVisibleLineTop() override;
  void SetSelText(const std::u16string& text) override;

  void OnChange(std::function<void()> handler) override { change_ = std::move(handler); }
  void OnKeyUp(std::function<void(std::int16_t, std::int16_t)> handler) override;
  void OnMouseUp(std::function<void(std::int16_t, std::int16_t, float, float)> handler) override;
  void OnDrop(std::function<void(const DropData&)> handler) override;
  EditHook SetHook(EditHook hook) override;

  // Drops every handler; the window calls this before its widgets are destroyed.
  void DetachHandlers();

 private:
  class HookFilter;
  void ApplyLook();
  void Deliver(EditMessage message);
  // Counts rows until every line before `line` is counted.
  void CountBefore(std::size_t line);
  // The row number of a place below the top row, walking no further than `limit` rows.
  std::int32_t RowBelowTop(text::RowPlace place, std::int32_t top, std::int32_t limit);

  QPointer<TextView> view_;
  WidgetGeometry geometry_;
  OleColor back_color_;
  OleColor fore_color_;
  FontChoice font_;
  std::function<void()> change_;
  EditHook hook_;
  std::unique_ptr<HookFilter> hook_filter_;
};

}  // namespace tambrel::platform::qt
