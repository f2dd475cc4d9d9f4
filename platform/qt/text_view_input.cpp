// What the user does to the text view: keys, the mouse, the input method, the clipboard, drops.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QUrl>
#include <algorithm>

#include "platform/files/path_text.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/text_view.h"
#include "platform/qt/text_view_row.h"

namespace tambrel::platform::qt {

namespace {

constexpr int kMargin = kTextMargin;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::int16_t ShiftState(Qt::KeyboardModifiers modifiers) {
  std::int16_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
}

std::int16_t ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

// The dropped file's name as PathText keeps it: on Linux from the URL's own bytes, since a name
// that is not UTF-8 would come out of QUrl::toLocalFile() with its bytes replaced.
std::u16string DroppedFileName(const QUrl& url) {
#ifdef _WIN32
  return ToU16(url.toLocalFile());
#else
  const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  return files::FileNameText(
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
#endif
}

std::u16string WithLineBreaks(const QString& text, const std::u16string& new_line) {
  // Pasted or committed text ends its lines the way the document does, like typing Return.
  std::u16string result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (unit == u'\r' || unit == u'\n') {
      if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
      result += new_line;
    } else {
      result.push_back(unit);
    }
  }
  return result;
}

}  // namespace

// --- Positions
// ------------------------------------------------------------------------------------

std::size_t TextView::PreviousPosition(std::size_t position) const {
  if (position == 0) return 0;
  const text::TextBuffer& buffer = doc_.Buffer();
  std::size_t previous = position - 1;
  const char16_t unit = buffer.At(previous);
  if (previous > 0) {
    const char16_t before = buffer.At(previous - 1);
    // A CR LF and a surrogate pair are each one step.
    if ((unit == u'\n' && before == u'\r') || (IsLowSurrogate(unit) && IsHighSurrogate(before))) {
      --previous;
    }
  }
  return previous;
}

std::size_t TextView::NextPosition(std::size_t position) const {
  const text::TextBuffer& buffer = doc_.Buffer();
  if (position >= buffer.Length()) return buffer.Length();
  std::size_t next = position + 1;
  if (next < buffer.Length()) {
    const char16_t unit = buffer.At(position);
    const char16_t after = buffer.At(next);
    if ((unit == u'\r' && after == u'\n') || (IsHighSurrogate(unit) && IsLowSurrogate(after))) {
      ++next;
    }
  }
  return next;
}

std::size_t TextView::WordBoundary(std::size_t position, bool forward) const {
  const text::TextBuffer& buffer = doc_.Buffer();
  const std::size_t line = buffer.LineOfPosition(position);
  const std::size_t start = buffer.LineStart(line);
  const std::size_t end = start + buffer.LineLength(line);
  // At a line's edge a word step goes over the break to the next or previous line.
  if (forward && position >= end) return NextPosition(position);
  if (!forward && position <= start) return PreviousPosition(position);
  // Words are looked for near the caret only, however long the line.
  constexpr std::size_t kReach = 4096;
  const std::size_t from = position - std::min(position - start, kReach);
  const std::size_t to = std::min(end, position + kReach);
  const std::u16string units = buffer.Substring(from, to - from);
  const QString near =
      QString(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
  QTextBoundaryFinder finder(QTextBoundaryFinder::Word, near);
  finder.setPosition(static_cast<qsizetype>(position - from));
  const auto is_word_start = [&] {
    return (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem) != 0;
  };
  qsizetype found = -1;
  if (forward) {
    // To the start of the next word, as a plain-text edit moves.
    do {
      found = finder.toNextBoundary();
    } while (found >= 0 && found < near.size() && !is_word_start());
    if (found < 0) found = near.size();
  } else {
    do {
      found = finder.toPreviousBoundary();
    } while (found > 0 && !is_word_start());
    if (found < 0) found = 0;
  }
  return from + static_cast<std::size_t>(found);
}

std::size_t TextView::PositionInRow(text::RowPlace place, qreal x) {
  const text::RowSpan span = doc_.RowOfLine(place.line, place.row_in_line);
  QTextLayout layout(RowText(place, span));
  LayOutRow(layout, font_);
  const QTextLine row = layout.lineAt(0);
  std::size_t offset = row.isValid() ? static_cast<std::size_t>(row.xToCursor(x)) : 0;
  offset = std::min(offset, span.end - span.start);
  // A wrapped row's last place is the next row's first: stay in this row.
  const bool last_row = span.end == doc_.Buffer().LineLength(place.line);
  if (!last_row && span.start + offset == span.end && span.end > span.start) {
    offset = static_cast<std::size_t>(layout.previousCursorPosition(static_cast<int>(offset)));
  }
  return LineStart(place.line) + span.start + offset;
}

qreal TextView::XOfPosition(std::size_t position) {
  const text::RowPlace place = doc_.PlaceOfPosition(position);
  const text::RowSpan span = doc_.RowOfLine(place.line, place.row_in_line);
  QTextLayout layout(RowText(place, span));
  LayOutRow(layout, font_);
  const QTextLine row = layout.lineAt(0);
  if (!row.isValid()) return 0;
  const auto offset = static_cast<int>(position - LineStart(place.line) - span.start);
  return row.cursorToX(offset);
}

std::size_t TextView::PositionAt(const QPoint& point) {
  const int row = (point.y() - kMargin) / row_height_ - (point.y() < kMargin ? 1 : 0);
  const text::RowPlace place = doc_.MoveByRows(top_, row);
  return PositionInRow(place, point.x() - kMargin);
}

// --- Caret movement -----------------------------------------------------------------------------

void TextView::MoveCaret(std::size_t position, Selecting selecting) {
  position = std::min(position, Length());
  // Never between the CR and the LF of a break, nor inside a surrogate pair.
  if (position > 0 && position < Length()) {
    const char16_t before = doc_.Buffer().At(position - 1);
    const char16_t at = doc_.Buffer().At(position);
    if ((before == u'\r' && at == u'\n') || (IsHighSurrogate(before) && IsLowSurrogate(at))) {
      --position;
    }
  }
  caret_ = position;
  if (selecting == Selecting::kNo) anchor_ = position;
  // Up and Down aim for the column they started from, until the caret moves another way.
  preferred_x_ = -1;
  doc_.BreakUndoGroup();
  EnsureCaretVisible();
  RestartCaretBlink();
  viewport()->update();
}

void TextView::MoveVertically(std::ptrdiff_t rows, Selecting selecting) {
  if (preferred_x_ < 0) preferred_x_ = XOfPosition(caret_);
  const qreal x = preferred_x_;
  const text::RowPlace from = doc_.PlaceOfPosition(caret_);
  const text::RowPlace to = doc_.MoveByRows(from, rows);
  if (to == from) {
    // Up from the first row goes to the start, down from the last to the end.
    MoveCaret(rows < 0 ? 0 : Length(), selecting);
  } else {
    MoveCaret(PositionInRow(to, x), selecting);
  }
  preferred_x_ = x;
}

bool TextView::HandleNavigation(QKeyEvent* event) {
  const Selecting selecting =
      event->modifiers() & Qt::ShiftModifier ? Selecting::kExtend : Selecting::kNo;
  const bool word = event->modifiers() & Qt::ControlModifier;
  const text::RowPlace place = doc_.PlaceOfPosition(caret_);
  switch (event->key()) {
    case Qt::Key_Left:
      if (selecting == Selecting::kNo && caret_ != anchor_ && !word) {
        MoveCaret(SelectionStart());
      } else {
        MoveCaret(word ? WordBoundary(caret_, false) : PreviousPosition(caret_), selecting);
      }
      return true;
    case Qt::Key_Right:
      if (selecting == Selecting::kNo && caret_ != anchor_ && !word) {
        MoveCaret(SelectionEnd());
      } else {
        MoveCaret(word ? WordBoundary(caret_, true) : NextPosition(caret_), selecting);
      }
      return true;
    case Qt::Key_Up:
      MoveVertically(-1, selecting);
      return true;
    case Qt::Key_Down:
      MoveVertically(1, selecting);
      return true;
    case Qt::Key_PageUp:
      MoveVertically(-std::max(1, VisibleRows() - 1), selecting);
      return true;
    case Qt::Key_PageDown:
      MoveVertically(std::max(1, VisibleRows() - 1), selecting);
      return true;
    case Qt::Key_Home:
      if (word) {
        MoveCaret(0, selecting);
      } else {
        const text::RowSpan span = doc_.RowOfLine(place.line, place.row_in_line);
        MoveCaret(LineStart(place.line) + span.start, selecting);
      }
      return true;
    case Qt::Key_End:
      if (word) {
        MoveCaret(Length(), selecting);
      } else {
        const text::RowSpan span = doc_.RowOfLine(place.line, place.row_in_line);
        const bool last_row = span.end == doc_.Buffer().LineLength(place.line);
        const std::size_t end = LineStart(place.line) + span.end;
        // A wrapped row ends before its last character: its end is the next row's start.
        MoveCaret(last_row || span.end == span.start ? end : PreviousPosition(end), selecting);
      }
      return true;
    default:
      return false;
  }
}

// --- Editing
// --------------------------------------------------------------------------------------

void TextView::Type(const QString& typed) {
  const std::u16string units = WithLineBreaks(typed, new_line_);
  Edit(SelectionStart(), SelectionEnd() - SelectionStart(), units, text::Merge::kWithPrevious);
}

void TextView::DeleteBackward(bool word) {
  if (caret_ != anchor_) {
    Edit(SelectionStart(), SelectionEnd() - SelectionStart(), u"", text::Merge::kNever);
    return;
  }
  const std::size_t from = word ? WordBoundary(caret_, false) : PreviousPosition(caret_);
  if (from < caret_) Edit(from, caret_ - from, u"", text::Merge::kWithPrevious);
}

void TextView::DeleteForward(bool word) {
  if (caret_ != anchor_) {
    Edit(SelectionStart(), SelectionEnd() - SelectionStart(), u"", text::Merge::kNever);
    return;
  }
  const std::size_t to = word ? WordBoundary(caret_, true) : NextPosition(caret_);
  if (to > caret_) Edit(caret_, to - caret_, u"", text::Merge::kWithPrevious);
}

void TextView::Cut() {
  if (caret_ == anchor_) return;
  Copy();
  Edit(SelectionStart(), SelectionEnd() - SelectionStart(), u"", text::Merge::kNever);
}

void TextView::Copy() const {
  if (caret_ == anchor_) return;
  const std::u16string selected =
      doc_.Buffer().Substring(SelectionStart(), SelectionEnd() - SelectionStart());
  QGuiApplication::clipboard()->setText(ToQString(selected));
}

void TextView::Paste() {
  const QString pasted = QGuiApplication::clipboard()->text();
  if (pasted.isEmpty()) return;
  doc_.BreakUndoGroup();
  Edit(SelectionStart(), SelectionEnd() - SelectionStart(), WithLineBreaks(pasted, new_line_),
       text::Merge::kNever);
  doc_.BreakUndoGroup();
}

void TextView::SelectAll() {
  anchor_ = 0;
  caret_ = Length();
  EnsureCaretVisible();
  viewport()->update();
}

bool TextView::HandleEditing(QKeyEvent* event) {
  if (event->matches(QKeySequence::Undo)) {
    Undo();
  } else if (event->matches(QKeySequence::Redo)) {
    Redo();
  } else if (event->matches(QKeySequence::Copy)) {
    Copy();
  } else if (event->matches(QKeySequence::Cut)) {
    Cut();
  } else if (event->matches(QKeySequence::Paste)) {
    Paste();
  } else if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
  } else if (event->key() == Qt::Key_Backspace) {
    DeleteBackward(event->modifiers() & Qt::ControlModifier);
  } else if (event->key() == Qt::Key_Delete) {
    DeleteForward(event->modifiers() & Qt::ControlModifier);
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // A new line is a step of its own: undo takes back a line's typing, then the break.
    doc_.BreakUndoGroup();
    Edit(SelectionStart(), SelectionEnd() - SelectionStart(), new_line_, text::Merge::kNever);
    doc_.BreakUndoGroup();
  } else if (event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ControlModifier)) {
    Type(QStringLiteral("\t"));
  } else {
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && !(event->modifiers() & Qt::ControlModifier) &&
                           std::all_of(typed.begin(), typed.end(), [](QChar c) {
                             return c.isPrint() || c.isSurrogate() || c == QLatin1Char('\t');
                           });
    if (!printable) return false;
    Type(typed);
  }
  return true;
}

bool TextView::event(QEvent* event) {
  // The keys the view handles itself are not taken for shortcuts of the window.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ours = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                      key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                      key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll) ||
                      (!key->text().isEmpty() && key->text().at(0).isPrint() &&
                       !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)));
    if (ours) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void TextView::keyPressEvent(QKeyEvent* event) {
  if (HandleNavigation(event)) {
    event->accept();
    return;
  }
  if (HandleEditing(event)) {
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void TextView::keyReleaseEvent(QKeyEvent* event) {
  QAbstractScrollArea::keyReleaseEvent(event);
  if (key_up && !event->isAutoRepeat()) {
    key_up(static_cast<std::int16_t>(event->key()), ShiftState(event->modifiers()));
  }
}

// --- The mouse
// ------------------------------------------------------------------------------------

void TextView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  preferred_x_ = -1;
  MoveCaret(PositionAt(event->position().toPoint()), extend ? Selecting::kExtend : Selecting::kNo);
  selecting_with_mouse_ = true;
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_with_mouse_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint at = event->position().toPoint();
  if (at.y() < 0 || at.y() > viewport()->height()) {
    if (!drag_scroll_.isActive()) drag_scroll_.start();
    return;
  }
  drag_scroll_.stop();
  MoveCaret(PositionAt(at), Selecting::kExtend);
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
  selecting_with_mouse_ = false;
  drag_scroll_.stop();
  QAbstractScrollArea::mouseReleaseEvent(event);
  if (mouse_up) {
    const QPointF at = event->position();
    mouse_up(ButtonCode(event->button()), ShiftState(event->modifiers()),
             static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const std::size_t at = PositionAt(event->position().toPoint());
  const std::size_t end = WordBoundary(at, true);
  // The word the click fell in: back to its start, forward to where the next one starts.
  const std::size_t start = WordBoundary(std::min(Length(), at + 1), false);
  anchor_ = std::min(start, at);
  caret_ = std::max(end, at);
  selecting_with_mouse_ = false;
  viewport()->update();
}

void TextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  const bool selected = caret_ != anchor_;
  menu.addAction(QStringLiteral("撤消(&U)"), this, [this] { Undo(); })
      ->setEnabled(doc_.Buffer().CanUndo());
  menu.addAction(QStringLiteral("重做(&R)"), this, [this] { Redo(); })
      ->setEnabled(doc_.Buffer().CanRedo());
  menu.addSeparator();
  menu.addAction(QStringLiteral("剪切(&T)"), this, [this] { Cut(); })->setEnabled(selected);
  menu.addAction(QStringLiteral("复制(&C)"), this, [this] { Copy(); })->setEnabled(selected);
  menu.addAction(QStringLiteral("粘贴(&P)"), this, [this] { Paste(); })
      ->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
  menu.addAction(QStringLiteral("删除(&D)"), this, [this] { DeleteForward(false); })
      ->setEnabled(selected);
  menu.addSeparator();
  menu.addAction(QStringLiteral("全选(&A)"), this, [this] { SelectAll(); })
      ->setEnabled(Length() > 0);
  menu.exec(event->globalPos());
}

// --- Drops
// ----------------------------------------------------------------------------------------

// Every drop is the program's to interpret, so every drag is accepted and nothing is inserted.
void TextView::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }
void TextView::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void TextView::dropEvent(QDropEvent* event) {
  std::vector<std::u16string> files;
  if (event->mimeData() != nullptr) {
    for (const QUrl& url : event->mimeData()->urls()) {
      if (url.isLocalFile()) files.push_back(DroppedFileName(url));
    }
  }
  event->acceptProposedAction();
  // Handled once the drop is over, so a message the handler shows does not keep the program the
  // files came from waiting for the drop to finish.
  QTimer::singleShot(0, this, [this, files = std::move(files)]() mutable {
    if (files_dropped) files_dropped(std::move(files));
  });
}

// --- Focus and the input method -----------------------------------------------------------------

void TextView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartCaretBlink();
  viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  caret_blink_.stop();
  viewport()->update();
}

void TextView::inputMethodEvent(QInputMethodEvent* event) {
  const bool replaces = event->replacementLength() > 0 || !event->commitString().isEmpty();
  if (replaces) {
    std::size_t start = SelectionStart();
    std::size_t length = SelectionEnd() - start;
    if (event->replacementLength() > 0 && length == 0) {
      // Text around the caret the input method takes back, in the units of its query.
      const auto from = static_cast<std::ptrdiff_t>(caret_) + event->replacementStart();
      start = static_cast<std::size_t>(
          std::clamp<std::ptrdiff_t>(from, 0, static_cast<std::ptrdiff_t>(Length())));
      length = std::min<std::size_t>(static_cast<std::size_t>(event->replacementLength()),
                                     Length() - start);
    }
    Edit(start, length, WithLineBreaks(event->commitString(), new_line_),
         text::Merge::kWithPrevious);
  }
  preedit_ = event->preeditString();
  preedit_cursor_ = static_cast<int>(preedit_.size());
  for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
    if (attribute.type == QInputMethodEvent::Cursor) preedit_cursor_ = attribute.start;
  }
  if (!preedit_.isEmpty()) EnsureCaretVisible();
  viewport()->update();
  event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const {
  auto* self = const_cast<TextView*>(this);
  // The surrounding text is the caret's line, no more than a stretch around the caret.
  constexpr std::size_t kReach = 1024;
  const text::TextBuffer& buffer = doc_.Buffer();
  const std::size_t line = buffer.LineOfPosition(caret_);
  const std::size_t line_start = buffer.LineStart(line);
  const std::size_t from = caret_ - std::min(caret_ - line_start, kReach);
  const std::size_t to = std::min(line_start + buffer.LineLength(line), caret_ + kReach);
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle: {
      const QRect caret = self->CaretRect();
      return QRectF(caret.translated(viewport()->geometry().topLeft()));
    }
    case Qt::ImFont:
      return font_;
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImSurroundingText:
      return ToQString(buffer.Substring(from, to - from));
    case Qt::ImCursorPosition:
      return static_cast<int>(caret_ - from);
    case Qt::ImAnchorPosition:
      return static_cast<int>(std::clamp(anchor_, from, to) - from);
    case Qt::ImCurrentSelection:
      return ToQString(buffer.Substring(SelectionStart(), SelectionEnd() - SelectionStart()));
    case Qt::ImMaximumTextLength:
      return QVariant();
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

}  // namespace tambrel::platform::qt
