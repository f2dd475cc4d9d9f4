#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <functional>

#include "platform/edit_box.h"
#include "platform/qt/block_breaks.h"
#include "platform/qt/display_rows.h"
#include "platform/qt/widget_geometry.h"

namespace tambrel::platform::qt {

// The widget behind the editor: a plain-text edit that wraps at its right edge and reports
// key and mouse releases and drops instead of inserting dropped data itself.
class EditorWidget final : public QPlainTextEdit {
 public:
  explicit EditorWidget(QWidget* parent);

  // The block shown at the top of the viewport and where the document is drawn relative to it.
  QTextBlock TopBlock() const { return firstVisibleBlock(); }
  QPointF ContentOffset() const { return contentOffset(); }

  std::function<void(std::int16_t, std::int16_t)> key_up;
  std::function<void(std::int16_t, std::int16_t, float, float)> mouse_up;
  std::function<void(const DropData&)> drop;

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

class QtEditBox final : public EditBox {
 public:
  QtEditBox(std::string name, EditorWidget* widget, OleColor back_color, OleColor fore_color,
            FontChoice font);
  ~QtEditBox() override;

  EditorWidget* widget() const { return widget_; }

  std::optional<float> Left() const override { return geometry_.Left(); }
  std::optional<float> Top() const override { return geometry_.Top(); }
  std::optional<float> Width() const override { return geometry_.Width(); }
  std::optional<float> Height() const override { return geometry_.Height(); }
  bool Move(double left, double top, double width, double height) override {
    return geometry_.Move(left, top, width, height);
  }

  std::u16string Text() const override;
  std::int32_t TextLength() const override;
  void SetText(const std::u16string& text) override;
  void SetNewLine(std::u16string_view line_break) override { breaks_.SetNewLine(line_break); }
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
  std::int32_t LineCountUpTo(std::int32_t limit) override;
  std::int32_t LineFromCharUpTo(std::int32_t index, std::int32_t limit) override;
  std::int32_t FirstVisibleLineTop() override;
  void SetSelText(const std::u16string& text) override;

  // The row-count machinery behind the queries (benchmarks watch it count).
  DisplayRowCounter* rows() const { return rows_.get(); }

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
  DisplayRowCounter::VisibleRow FirstVisibleRow();
  // Positions in the text handed out count each line break as its own length; the document
  // counts one unit for every break.
  std::int32_t ToOuterPosition(int inner) const;
  int ToInnerPosition(std::int32_t outer) const;
  void Deliver(EditMessage message);
  void OnContentsChange(int position, int removed, int added);

  QPointer<EditorWidget> widget_;
  WidgetGeometry geometry_;
  OleColor back_color_;
  OleColor fore_color_;
  FontChoice font_;
  BlockBreaks breaks_;
  int known_blocks_ = 1;
  bool replacing_text_ = false;
  // The text SetSelText is putting in, whose own breaks the new paragraphs keep.
  std::u16string_view inserting_;
  std::function<void()> change_;
  EditHook hook_;
  std::unique_ptr<HookFilter> hook_filter_;
  std::unique_ptr<DisplayRowCounter> rows_;
};

}  // namespace tambrel::platform::qt
