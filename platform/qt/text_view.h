#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/char_metrics.h"
#include "text/wrapped_text.h"

namespace tambrel::platform::qt {

// The editor's own plain-text view: the document wrapped at the viewport's width into rows of one
// height, of which only those on screen are ever laid out and painted. Rows are numbered by the
// text core as far as it has counted them; the rest is counted in short slices while the program
// is idle, the rows in view first, so nothing the user does waits for the whole document.
//
// Positions count UTF-16 units of the text exactly as it was given, line breaks of every kind
// included; the caret never stands between the CR and the LF of a break, nor inside a surrogate
// pair.
class TextView final : public QAbstractScrollArea {
 public:
  explicit TextView(QWidget* parent);
  ~TextView() override;

  // --- The text -------------------------------------------------------------------------------
  // A new text and a new undo history; the caret goes to the start.
  void SetText(std::u16string text);
  // A text already indexed elsewhere (on a worker thread), with the same effect as SetText.
  void SetBuffer(text::TextBuffer buffer);
  std::u16string Text() const { return doc_.Buffer().Text(); }
  std::size_t Length() const { return doc_.Buffer().Length(); }
  const text::TextBuffer& Buffer() const { return doc_.Buffer(); }
  // The break that Return puts in, and that pasted text's breaks become.
  void SetNewLine(std::u16string line_break) { new_line_ = std::move(line_break); }

  // Replaces the selection as one undo step of its own, caret after the new text.
  void ReplaceSelection(std::u16string_view replacement);
  void Undo();
  void Redo();
  void Cut();
  void Copy() const;
  void Paste();
  void SelectAll();

  // --- Caret and selection ----------------------------------------------------------------------
  std::size_t Caret() const { return caret_; }
  std::size_t Anchor() const { return anchor_; }
  std::size_t SelectionStart() const { return std::min(caret_, anchor_); }
  std::size_t SelectionEnd() const { return std::max(caret_, anchor_); }
  // Moves the caret, keeping the selection from the anchor when asked; scrolls it into view.
  enum class Selecting { kNo, kExtend };
  void MoveCaret(std::size_t position, Selecting selecting = Selecting::kNo);

  // --- Look -------------------------------------------------------------------------------------
  void SetTextFont(const QFont& font);
  const QFont& TextFont() const { return font_; }
  void SetColors(const QColor& text, const QColor& background);

  // --- Rows, for the gutter
  // -----------------------------------------------------------------------
  text::WrappedText& Document() { return doc_; }
  text::RowPlace TopRow() const { return top_; }
  // Pixels from the widget's top edge to the top of the first visible row.
  int FirstRowTop() const;
  int RowHeight() const { return row_height_; }
  // Whole rows the viewport shows.
  int VisibleRows() const;
  // The number of the top row once every row above it is counted.
  std::optional<std::size_t> TopRowNumber() const { return doc_.RowNumberOf(top_); }
  // Counts what the top row's number needs, however long that takes.
  std::size_t CountTopRowNumber();

  // What the view tells its owner.
  std::function<void()> text_changed;
  // The view moved, or the numbering of its rows became known or changed.
  std::function<void()> rows_moved;
  std::function<void(std::int16_t key, std::int16_t shift)> key_up;
  std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> mouse_up;
  std::function<void(std::vector<std::u16string> files)> files_dropped;

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
  void dropEvent(QDropEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // Layout: the width rows wrap at and the metrics of the font.
  void Relayout();
  float WrapWidth() const;

  // Editing.
  void Edit(std::size_t position, std::size_t length, std::u16string_view text, text::Merge merge);
  void AfterChange(const text::Change& change, std::size_t caret, std::size_t top);
  // Where the top row starts in the text, and the row that starts there put at the top: the
  // text at the top stays there across edits and changes of width or font.
  std::size_t TopPosition();
  void PutAtTop(std::size_t position);
  void Type(const QString& text);
  void DeleteBackward(bool word);
  void DeleteForward(bool word);

  // Caret movement.
  std::size_t PreviousPosition(std::size_t position) const;
  std::size_t NextPosition(std::size_t position) const;
  std::size_t WordBoundary(std::size_t position, bool forward) const;
  std::size_t PositionInRow(text::RowPlace place, qreal x);
  qreal XOfPosition(std::size_t position);
  std::size_t PositionAt(const QPoint& point);
  void MoveVertically(std::ptrdiff_t rows, Selecting selecting);
  bool HandleNavigation(QKeyEvent* event);
  bool HandleEditing(QKeyEvent* event);

  // Scrolling.
  void ScrollTo(text::RowPlace top);
  void EnsureCaretVisible();
  void SyncScrollBar();
  void OnScrollBarMoved(int value);

  // Counting rows while idle.
  void ScheduleCounting();
  void CountSlice();

  // The row of text as drawn: the caret's preedit put in, separators shown as spaces.
  QString RowText(text::RowPlace place, text::RowSpan span) const;
  std::size_t LineStart(std::size_t line) const { return doc_.Buffer().LineStart(line); }
  QRect CaretRect();
  void RestartCaretBlink();
  // Tells the owner the view moved (always), or that its top row's number became known or
  // changed (only then, while counting goes on).
  enum class Announce { kAlways, kWhenChanged };
  void NotifyRowsMoved(Announce announce = Announce::kWhenChanged);

  QFont font_;
  std::unique_ptr<text::CharMetrics> metrics_;
  text::WrappedText doc_;
  int row_height_ = 16;
  int ascent_ = 12;
  QColor text_color_ = Qt::black;
  QColor background_ = Qt::white;

  text::RowPlace top_;
  std::optional<std::size_t> announced_top_number_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  qreal preferred_x_ = -1;
  std::u16string new_line_ = u"\r\n";

  QString preedit_;
  int preedit_cursor_ = 0;

  bool caret_visible_ = true;
  QTimer caret_blink_;
  QTimer counting_;
  QTimer drag_scroll_;
  bool selecting_with_mouse_ = false;
  bool updating_scroll_bar_ = false;
};

}  // namespace tambrel::platform::qt
