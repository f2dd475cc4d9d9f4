// What the user does to the text view: keys, the mouse, the input method, the clipboard, drags
// and drops. Each becomes a call of the editor; the rules are the editor's.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyleHints>
#include <QUrl>
#include <algorithm>

#include "platform/files/path_text.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/text_view.h"

namespace tambrel::platform::qt {

namespace {

constexpr int kMargin = kTextMargin;

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

std::vector<std::u16string> DroppedFiles(const QMimeData* data) {
  std::vector<std::u16string> files;
  if (data == nullptr) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files.push_back(DroppedFileName(url));
  }
  return files;
}

editor::Selecting SelectingOf(Qt::KeyboardModifiers modifiers) {
  return modifiers & Qt::ShiftModifier ? editor::Selecting::kExtend : editor::Selecting::kNo;
}

}  // namespace

// --- Keys ------------------------------------------------------------------------------------

bool TextView::HandleNavigation(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  editor::Motion motion;
  switch (event->key()) {
    case Qt::Key_Left:
      motion = control ? editor::Motion::kWordLeft : editor::Motion::kLeft;
      break;
    case Qt::Key_Right:
      motion = control ? editor::Motion::kWordRight : editor::Motion::kRight;
      break;
    case Qt::Key_Up:
      motion = editor::Motion::kUp;
      break;
    case Qt::Key_Down:
      motion = editor::Motion::kDown;
      break;
    case Qt::Key_PageUp:
      motion = editor::Motion::kPageUp;
      break;
    case Qt::Key_PageDown:
      motion = editor::Motion::kPageDown;
      break;
    case Qt::Key_Home:
      motion = control ? editor::Motion::kDocumentStart : editor::Motion::kRowStart;
      break;
    case Qt::Key_End:
      motion = control ? editor::Motion::kDocumentEnd : editor::Motion::kRowEnd;
      break;
    default:
      return false;
  }
  const editor::Selecting selecting = SelectingOf(event->modifiers());
  Submit([this, motion, selecting] { editor_.Move(motion, selecting); });
  return true;
}

bool TextView::HandleEditing(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  const editor::DeleteUnit unit = control ? editor::DeleteUnit::kWord : editor::DeleteUnit::kCharacter;
  if (event->matches(QKeySequence::Undo)) {
    Submit([this] { editor_.Undo(); });
  } else if (event->matches(QKeySequence::Redo)) {
    Submit([this] { editor_.Redo(); });
  } else if (event->matches(QKeySequence::Copy)) {
    Copy();
  } else if (event->matches(QKeySequence::Cut)) {
    Cut();
  } else if (event->matches(QKeySequence::Paste)) {
    Paste();
  } else if (event->matches(QKeySequence::SelectAll)) {
    Submit([this] { editor_.SelectAll(); });
  } else if (event->key() == Qt::Key_Backspace) {
    Submit([this, unit] { editor_.DeleteBackward(unit); });
  } else if (event->key() == Qt::Key_Delete) {
    Submit([this, unit] { editor_.DeleteForward(unit); });
  } else if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
    Submit([this] { editor_.ToggleOverwrite(); });
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Submit([this] { editor_.NewLine(); });
  } else if (event->key() == Qt::Key_Tab && !control) {
    Submit([this] { editor_.Type(u"\t"); });
  } else {
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && !control &&
                           std::all_of(typed.begin(), typed.end(), [](QChar c) {
                             return c.isPrint() || c.isSurrogate() || c == QLatin1Char('\t');
                           });
    if (!printable) return false;
    Submit([this, units = ToU16(typed)] { editor_.Type(units); });
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
  if (HandleNavigation(event) || HandleEditing(event)) {
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

// --- The clipboard and the primary selection ----------------------------------------------------

void TextView::Copy() {
  const std::u16string selected = editor_.SelectedTextForClipboard();
  if (!selected.empty()) QGuiApplication::clipboard()->setText(ToQString(selected));
}

void TextView::Cut() {
  Submit([this] {
    const std::u16string cut = editor_.Cut();
    if (!cut.empty()) QGuiApplication::clipboard()->setText(ToQString(cut));
  });
}

void TextView::Paste() {
  Submit([this] { editor_.Paste(ToU16(QGuiApplication::clipboard()->text())); });
}

void TextView::SetPrimarySelection() {
  // Selecting offers the text to a middle click anywhere on the desktop, as X11 programs do.
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection() || editor_.GetSelection().Empty()) return;
  clipboard->setText(ToQString(editor_.SelectedTextForClipboard()), QClipboard::Selection);
}

void TextView::PastePrimaryAt(const QPoint& point) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection()) return;
  const std::u16string text = ToU16(clipboard->text(QClipboard::Selection));
  const std::ptrdiff_t row = ScreenRowAt(point);
  const float x = TextXAt(point);
  Submit([this, text, row, x] {
    editor_.Click(row, x, editor::ClickCount::kSingle, editor::Selecting::kNo);
    editor_.Paste(text);
  });
}

// --- The mouse ---------------------------------------------------------------------------------

std::ptrdiff_t TextView::ScreenRowAt(const QPoint& point) const {
  const int y = point.y() - kMargin;
  return y >= 0 ? y / row_height_ : -((-y + row_height_ - 1) / row_height_);
}

float TextView::TextXAt(const QPoint& point) const { return static_cast<float>(point.x() - kMargin); }

void TextView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::MiddleButton) {
    PastePrimaryAt(at);
    event->accept();
    return;
  }
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const std::ptrdiff_t row = ScreenRowAt(at);
  const float x = TextXAt(at);
  const bool triple = since_double_click_.isValid() &&
                      since_double_click_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
                      (at - double_click_point_).manhattanLength() <
                          QGuiApplication::styleHints()->startDragDistance();
  since_double_click_.invalidate();
  if (!triple && !(event->modifiers() & Qt::ShiftModifier) && editor_.IsSelectedAt(row, x)) {
    // A press on the selection may be the start of dragging it; a release without moving
    // places the caret instead.
    may_drag_ = true;
    press_point_ = at;
    return;
  }
  const editor::ClickCount count = triple ? editor::ClickCount::kTriple : editor::ClickCount::kSingle;
  Submit([this, row, x, count, selecting = SelectingOf(event->modifiers())] {
    editor_.Click(row, x, count, selecting);
  });
  selecting_with_mouse_ = true;
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  since_double_click_.start();
  double_click_point_ = at;
  may_drag_ = false;
  Submit([this, row = ScreenRowAt(at), x = TextXAt(at)] {
    editor_.Click(row, x, editor::ClickCount::kDouble, editor::Selecting::kNo);
  });
  selecting_with_mouse_ = true;
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (may_drag_ && (event->buttons() & Qt::LeftButton)) {
    if ((at - press_point_).manhattanLength() >= QApplication::startDragDistance()) {
      may_drag_ = false;
      StartDrag();
    }
    return;
  }
  if (!selecting_with_mouse_ || !(event->buttons() & Qt::LeftButton)) return;
  if (at.y() < 0 || at.y() > viewport()->height()) {
    if (!drag_scroll_.isActive()) drag_scroll_.start();
    return;
  }
  drag_scroll_.stop();
  Submit([this, row = ScreenRowAt(at), x = TextXAt(at)] { editor_.DragTo(row, x); });
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
  if (may_drag_) {
    may_drag_ = false;
    const QPoint at = event->position().toPoint();
    Submit([this, row = ScreenRowAt(at), x = TextXAt(at)] {
      editor_.Click(row, x, editor::ClickCount::kSingle, editor::Selecting::kNo);
    });
  }
  selecting_with_mouse_ = false;
  drag_scroll_.stop();
  QAbstractScrollArea::mouseReleaseEvent(event);
  if (mouse_up) {
    const QPointF at = event->position();
    mouse_up(ButtonCode(event->button()), ShiftState(event->modifiers()),
             static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
}

void TextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  const bool selected = !editor_.GetSelection().Empty();
  menu.addAction(QStringLiteral("撤消(&U)"), this, [this] { Submit([this] { editor_.Undo(); }); })
      ->setEnabled(editor_.CanUndo());
  menu.addAction(QStringLiteral("重做(&R)"), this, [this] { Submit([this] { editor_.Redo(); }); })
      ->setEnabled(editor_.CanRedo());
  menu.addSeparator();
  menu.addAction(QStringLiteral("剪切(&T)"), this, [this] { Cut(); })->setEnabled(selected);
  menu.addAction(QStringLiteral("复制(&C)"), this, [this] { Copy(); })->setEnabled(selected);
  menu.addAction(QStringLiteral("粘贴(&P)"), this, [this] { Paste(); })
      ->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
  menu.addAction(QStringLiteral("删除(&D)"), this, [this] {
        Submit([this] { editor_.DeleteForward(editor::DeleteUnit::kCharacter); });
      })->setEnabled(selected);
  menu.addSeparator();
  menu.addAction(QStringLiteral("全选(&A)"), this, [this] { Submit([this] { editor_.SelectAll(); }); })
      ->setEnabled(editor_.Length() > 0);
  menu.exec(event->globalPos());
}

// --- Dragging and dropping ----------------------------------------------------------------------

void TextView::StartDrag() {
  auto* dragged = new QMimeData;
  dragged->setText(ToQString(editor_.SelectedTextForClipboard()));
  auto* drag = new QDrag(this);
  drag->setMimeData(dragged);
  dropped_here_ = false;
  const Qt::DropAction done = drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  // Moved to another program: the text leaves this one. Moved here, the drop has moved it.
  if (done == Qt::MoveAction && !dropped_here_) {
    Submit([this] { editor_.Cut(); });
  }
}

std::size_t TextView::DropPosition(const QPoint& point) {
  return editor_.CaretAt(ScreenRowAt(point), TextXAt(point)).position;
}

void TextView::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime == nullptr || !(mime->hasUrls() || mime->hasText())) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void TextView::dragMoveEvent(QDragMoveEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime == nullptr) return;
  if (!DroppedFiles(mime).empty()) {
    event->acceptProposedAction();
    return;
  }
  // Text goes where the caret shown under the mouse is; a drag from here moves unless Ctrl copies.
  drop_caret_ = DropPosition(event->position().toPoint());
  viewport()->update();
  if (event->source() == this) {
    event->setDropAction((event->modifiers() & Qt::ControlModifier) ? Qt::CopyAction
                                                                     : Qt::MoveAction);
    event->accept();
  } else {
    event->acceptProposedAction();
  }
}

void TextView::dragLeaveEvent(QDragLeaveEvent* event) {
  drop_caret_.reset();
  viewport()->update();
  QAbstractScrollArea::dragLeaveEvent(event);
}

void TextView::dropEvent(QDropEvent* event) {
  drop_caret_.reset();
  viewport()->update();
  const QMimeData* mime = event->mimeData();
  std::vector<std::u16string> files = DroppedFiles(mime);
  if (!files.empty()) {
    event->acceptProposedAction();
    // Handled once the drop is over, so a message the handler shows does not keep the program
    // the files came from waiting for the drop to finish.
    QTimer::singleShot(0, this, [this, files = std::move(files)]() mutable {
      Submit([this, files = std::move(files)]() mutable {
        if (files_dropped) files_dropped(std::move(files));
      });
    });
    return;
  }
  if (mime == nullptr || !mime->hasText()) {
    event->ignore();
    return;
  }
  const std::size_t position = DropPosition(event->position().toPoint());
  if (event->source() == this) {
    const editor::DragAction action = (event->modifiers() & Qt::ControlModifier)
                                          ? editor::DragAction::kCopy
                                          : editor::DragAction::kMove;
    dropped_here_ = true;
    event->setDropAction(action == editor::DragAction::kCopy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    Submit([this, position, action] { editor_.DragSelectionTo(position, action); });
    return;
  }
  event->acceptProposedAction();
  Submit([this, position, text = ToU16(mime->text())] { editor_.Drop(position, text); });
  setFocus(Qt::OtherFocusReason);
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
  std::u16string committed = ToU16(event->commitString());
  const std::ptrdiff_t replace_from = event->replacementStart();
  const auto replace_length = static_cast<std::size_t>(std::max(0, event->replacementLength()));
  std::u16string composition = ToU16(event->preeditString());
  std::size_t cursor = composition.size();
  for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
    if (attribute.type == QInputMethodEvent::Cursor) {
      cursor = static_cast<std::size_t>(std::max(0, attribute.start));
    }
  }
  Submit([this, committed = std::move(committed), replace_from, replace_length,
          composition = std::move(composition), cursor]() mutable {
    if (!committed.empty() || replace_length > 0) {
      editor_.Commit(committed, replace_from, replace_length);
    }
    editor_.SetComposition(std::move(composition), cursor);
  });
  event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const {
  auto* self = const_cast<TextView*>(this);
  // The surrounding text is the caret's line, no more than a stretch around the caret.
  constexpr std::size_t kReach = 1024;
  const text::TextBuffer& buffer = editor_.Buffer();
  const editor::Selection& selection = editor_.GetSelection();
  const std::size_t caret = selection.caret.position;
  const std::size_t line = buffer.LineOfPosition(caret);
  const std::size_t line_start = buffer.LineStart(line);
  const std::size_t from = caret - std::min(caret - line_start, kReach);
  const std::size_t to = std::min(line_start + buffer.LineLength(line), caret + kReach);
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle: {
      const QRect rect = self->CaretRect();
      return QRectF(rect.translated(viewport()->geometry().topLeft()));
    }
    case Qt::ImFont:
      return geometry_.Font();
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImSurroundingText:
      return ToQString(buffer.Substring(from, to - from));
    case Qt::ImCursorPosition:
      return static_cast<int>(caret - from);
    case Qt::ImAnchorPosition:
      return static_cast<int>(std::clamp(selection.anchor, from, to) - from);
    case Qt::ImCurrentSelection:
      return ToQString(editor_.SelectedText());
    case Qt::ImMaximumTextLength:
      return QVariant();
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

}  // namespace tambrel::platform::qt
