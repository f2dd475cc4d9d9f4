#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "platform/qt/qt_row_geometry.h"
#include "platform/qt/text_view_announcer.h"

namespace tambrel::platform::qt {

// The editor on the screen: it turns Qt's events into the shared editor's calls and paints the
// rows the editor says are in view. What the editor does with a key, a click or a commit is the
// editor's business; what is Qt's own stays here: painting, the clipboard and the X11 primary
// selection, dragging and dropping, the input method, the caret's blinking, the scroll bar.
class TextView final : public QAbstractScrollArea {
 public:
  TextView(QWidget* parent, editor::Editor& editor, QtRowGeometry& geometry);
  ~TextView() override;

  editor::Editor& Model() { return editor_; }
  const QFont& TextFont() const { return geometry_.Font(); }
  // Where characters fall on the rows, for those who ask where a character is on screen.
  QtRowGeometry& RowGeometry() { return geometry_; }
  void SetColors(const QColor& text, const QColor& background);
  // After a new font: the rows' height and the editor's measures follow it.
  void FontChanged();
  int RowHeight() const { return row_height_; }
  // Pixels from the widget's top edge to the top of the first visible row.
  int FirstRowTop() const;

  // What the view tells its owner.
  std::function<void()> text_changed;
  // The view moved, or the numbering of its rows became known or changed.
  std::function<void()> rows_moved;
  std::function<void(std::int16_t key, std::int16_t shift)> key_up;
  std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> mouse_up;
  std::function<void(std::vector<std::u16string> files)> files_dropped;

  // The editor's actions behind the context menu and the keys, for the accessibility interface
  // and tests alike.
  void Copy();
  void Cut();
  void Paste();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // What the editor changed, brought to the screen.
  void OnEditorChanged(unsigned changed);
  void Relayout();
  float WrapWidth() const;
  int VisibleRows() const;
  void SyncScrollBar();
  void ScheduleCounting();
  void RestartCaretBlink();
  // Runs a user action on the editor now, or once the command reading the text has finished.
  void Submit(std::function<void()> action);

  // The point's row from the top of the view, and its x from the text's left edge.
  std::ptrdiff_t ScreenRowAt(const QPoint& point) const;
  float TextXAt(const QPoint& point) const;
  QRect CaretRect();
  // The caret's rectangle while an input method composes, on the row that shows its cursor.
  QRect CompositionCursorRect();

  void PaintRow(QPainter& painter, const editor::ScreenRow& row, int y);
  int PaintComposition(QPainter& painter, const editor::ScreenRow& row, int y);
  void PaintCaret(QPainter& painter, QTextLayout& layout, const QPointF& origin, int offset);

  bool HandleNavigation(QKeyEvent* event);
  bool HandleEditing(QKeyEvent* event);
  void SetPrimarySelection();
  void PastePrimaryAt(const QPoint& point);
  void StartDrag();
  std::size_t DropPosition(const QPoint& point);

  editor::Editor& editor_;
  QtRowGeometry& geometry_;
  int row_height_ = 16;
  QColor text_color_ = Qt::black;
  QColor background_ = Qt::white;

  bool caret_visible_ = true;
  QTimer caret_blink_;
  QTimer counting_;
  QTimer drag_scroll_;
  bool selecting_with_mouse_ = false;
  bool updating_scroll_bar_ = false;
  // A press inside the selection may start dragging it; where it was, until the mouse moves.
  bool may_drag_ = false;
  QPoint press_point_;
  // A press soon after a double-click at the same place is a triple-click.
  QElapsedTimer since_double_click_;
  QPoint double_click_point_;
  // Where a drag over the view would drop, shown as a caret; and whether it came from here.
  std::optional<std::size_t> drop_caret_;
  bool dropped_here_ = false;
  TextViewAnnouncer announcer_{*this, editor_};
};

}  // namespace tambrel::platform::qt
