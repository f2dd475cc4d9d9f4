#include "platform/qt/qt_edit_box.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "platform/files/path_text.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {

namespace {
std::int16_t ShiftState(Qt::KeyboardModifiers modifiers) {
  std::int16_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
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
}  // namespace

EditorWidget::EditorWidget(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
}

void EditorWidget::keyReleaseEvent(QKeyEvent* event) {
  QPlainTextEdit::keyReleaseEvent(event);
  if (key_up && !event->isAutoRepeat())
    key_up(static_cast<std::int16_t>(event->key()), ShiftState(event->modifiers()));
}

void EditorWidget::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  if (mouse_up) {
    const QPointF at = event->position();
    mouse_up(ButtonCode(event->button()), ShiftState(event->modifiers()),
             static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
}

// Every drop is the program's to interpret, so every drag is accepted and nothing is inserted.
void EditorWidget::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }
void EditorWidget::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void EditorWidget::dropEvent(QDropEvent* event) {
  DropData dropped;
  if (event->mimeData() != nullptr) {
    for (const QUrl& url : event->mimeData()->urls()) {
      if (url.isLocalFile()) dropped.files.push_back(DroppedFileName(url));
    }
  }
  event->acceptProposedAction();
  // Handled once the drop is over, so a message the handler shows does not keep the program the
  // files came from waiting for the drop to finish.
  QTimer::singleShot(0, this, [this, dropped = std::move(dropped)] {
    if (drop) drop(dropped);
  });
}

// Sees every event of the editor and its viewport on its way in.
class QtEditBox::HookFilter final : public QObject {
 public:
  explicit HookFilter(QtEditBox& owner) : owner_(owner) {}

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* /*event*/) override {
    owner_.Deliver(EditMessage::kOther);
    return false;
  }

 private:
  QtEditBox& owner_;
};

QtEditBox::QtEditBox(std::string name, EditorWidget* widget, OleColor back_color,
                     OleColor fore_color, FontChoice font)
    : EditBox(std::move(name)),
      widget_(widget),
      geometry_(widget),
      back_color_(back_color),
      fore_color_(fore_color),
      font_(std::move(font)),
      hook_filter_(std::make_unique<HookFilter>(*this)),
      rows_(std::make_unique<DisplayRowCounter>(*widget)) {
  ApplyLook();
  QObject::connect(
      widget_->document(), &QTextDocument::contentsChange, widget_,
      [this](int position, int removed, int added) { OnContentsChange(position, removed, added); });
  QObject::connect(widget_, &QPlainTextEdit::textChanged, widget_, [this] {
    if (change_) change_();
  });
  // Every move of the view ends in this signal with the distance moved, after the move: the
  // scroll bar, the wheel, the keyboard and code alike (the scroll bar's own signal is silenced
  // when the editor scrolls itself to follow the caret).
  QObject::connect(widget_, &QPlainTextEdit::updateRequest, widget_, [this](const QRect&, int dy) {
    if (dy != 0) Deliver(EditMessage::kVerticalScroll);
  });
  widget_->installEventFilter(hook_filter_.get());
  widget_->viewport()->installEventFilter(hook_filter_.get());
}

QtEditBox::~QtEditBox() { DetachHandlers(); }

void QtEditBox::DetachHandlers() {
  change_ = nullptr;
  hook_ = nullptr;
  if (widget_) {
    widget_->removeEventFilter(hook_filter_.get());
    widget_->viewport()->removeEventFilter(hook_filter_.get());
    widget_->key_up = nullptr;
    widget_->mouse_up = nullptr;
    widget_->drop = nullptr;
    QObject::disconnect(widget_, &QPlainTextEdit::textChanged, widget_, nullptr);
    QObject::disconnect(widget_->document(), &QTextDocument::contentsChange, widget_, nullptr);
    QObject::disconnect(widget_, &QPlainTextEdit::updateRequest, widget_, nullptr);
  }
}

void QtEditBox::Deliver(EditMessage message) {
  if (hook_) hook_(message);
}

std::u16string QtEditBox::Text() const {
  if (!widget_) return u"";
  // The raw text keeps every character as it was given (toPlainText would turn no-break spaces
  // into spaces); only the paragraph separators become the text's own line breaks again.
  const QString raw = widget_->document()->toRawText();
  std::u16string text;
  text.reserve(static_cast<std::size_t>(raw.size() + breaks_.ExtraUnits()));
  std::size_t paragraph = 0;
  for (const QChar c : raw) {
    if (c == QChar::ParagraphSeparator) {
      text += breaks_.Text(paragraph++);
    } else {
      text.push_back(c.unicode());
    }
  }
  return text;
}

std::int32_t QtEditBox::TextLength() const {
  if (!widget_) return 0;
  // The document counts a paragraph separator after the last block; the text does not.
  const int inner = widget_->document()->characterCount() - 1;
  return static_cast<std::int32_t>(inner + breaks_.ExtraUnits());
}

void QtEditBox::SetText(const std::u16string& text) {
  if (!widget_) return;
  breaks_.Assign(text);
  replacing_text_ = true;
  widget_->setPlainText(ToQString(text));
  replacing_text_ = false;
  known_blocks_ = widget_->document()->blockCount();
}

void QtEditBox::OnContentsChange(int position, int /*removed*/, int added) {
  if (replacing_text_ || !widget_) return;
  const QTextDocument* document = widget_->document();
  // The paragraphs that end inside the added text are new; the change in the paragraph count
  // tells how many old breaks went with the removed text.
  QTextBlock block = document->findBlock(position);
  const int first = block.isValid() ? block.blockNumber() : 0;
  int inserted = 0;
  for (; block.isValid() && block.next().isValid(); block = block.next()) {
    if (block.position() + block.length() - 1 >= position + added) break;
    ++inserted;
  }
  const int blocks = document->blockCount();
  const int removed = inserted - (blocks - known_blocks_);
  known_blocks_ = blocks;
  breaks_.Splice(static_cast<std::size_t>(first), static_cast<std::size_t>(std::max(removed, 0)),
                 static_cast<std::size_t>(inserted), inserting_);
}

std::int32_t QtEditBox::ToOuterPosition(int inner) const {
  const QTextBlock block = widget_->document()->findBlock(inner);
  const std::size_t paragraph =
      block.isValid() ? static_cast<std::size_t>(block.blockNumber()) : breaks_.Count();
  return static_cast<std::int32_t>(inner + breaks_.ExtraUnitsBefore(paragraph));
}

int QtEditBox::ToInnerPosition(std::int32_t outer) const {
  const QTextDocument* document = widget_->document();
  if (breaks_.ExtraUnits() == 0) return std::clamp(outer, 0, document->characterCount() - 1);
  const auto outer_start = [&](const QTextBlock& block) {
    return block.position() +
           breaks_.ExtraUnitsBefore(static_cast<std::size_t>(block.blockNumber()));
  };
  // The last block that starts at or before the position, by its start in the outer text.
  int low = 0;
  int high = document->blockCount() - 1;
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (outer_start(document->findBlockByNumber(middle)) <= outer) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  const QTextBlock block = document->findBlockByNumber(low);
  const auto into_block = static_cast<int>(std::max<std::int64_t>(0, outer - outer_start(block)));
  // Inside a CR LF pair counts as before it.
  return block.position() + std::min(into_block, block.length() - 1);
}

std::int32_t QtEditBox::SelStart() const {
  if (!widget_) return 0;
  return ToOuterPosition(widget_->textCursor().selectionStart());
}

void QtEditBox::SetSelStart(std::int32_t start) {
  if (!widget_) return;
  // Like an edit control: a new start places the caret there and drops the selection.
  QTextCursor cursor = widget_->textCursor();
  cursor.setPosition(ToInnerPosition(std::max(start, 0)));
  widget_->setTextCursor(cursor);
}

std::int32_t QtEditBox::SelLength() const {
  if (!widget_) return 0;
  const QTextCursor cursor = widget_->textCursor();
  return ToOuterPosition(cursor.selectionEnd()) - ToOuterPosition(cursor.selectionStart());
}

void QtEditBox::SetSelLength(std::int32_t length) {
  if (!widget_) return;
  QTextCursor cursor = widget_->textCursor();
  const int start = cursor.selectionStart();
  const std::int64_t outer_end = std::int64_t{ToOuterPosition(start)} + std::max(length, 0);
  cursor.setPosition(start);
  cursor.setPosition(
      ToInnerPosition(static_cast<std::int32_t>(std::min<std::int64_t>(outer_end, TextLength()))),
      QTextCursor::KeepAnchor);
  widget_->setTextCursor(cursor);
}

void QtEditBox::SetFocus() {
  if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

void QtEditBox::SetFont(const FontChoice& font) {
  font_ = font;
  ApplyLook();
}

void QtEditBox::SetForeColor(OleColor color) {
  fore_color_ = color;
  ApplyLook();
}

void QtEditBox::ApplyLook() {
  if (!widget_) return;
  widget_->setFont(ToQFont(font_));
  widget_->setStyleSheet(PinnedLookStyleSheet(QStringLiteral("QPlainTextEdit"), font_,
                                              TranslateColor(fore_color_),
                                              TranslateColor(back_color_)));
}

std::int32_t QtEditBox::LineCount() {
  if (!widget_) return 1;
  return std::max(1, rows_->RowCount());
}

std::int32_t QtEditBox::LineCountUpTo(std::int32_t limit) {
  if (!widget_) return std::min(1, limit);
  return std::min(std::max(1, rows_->RowCountUpTo(limit)), limit);
}

std::int32_t QtEditBox::LineFromChar(std::int32_t index) {
  if (!widget_) return 0;
  return rows_->RowOfPosition(ToInnerPosition(index));
}

std::int32_t QtEditBox::LineFromCharUpTo(std::int32_t index, std::int32_t limit) {
  if (!widget_) return std::min(0, limit);
  return rows_->RowOfPositionUpTo(ToInnerPosition(index), limit);
}

DisplayRowCounter::VisibleRow QtEditBox::FirstVisibleRow() {
  return rows_->FirstVisibleRow(widget_->TopBlock(), widget_->ContentOffset().y());
}

std::int32_t QtEditBox::FirstVisibleLine() {
  if (!widget_) return 0;
  return FirstVisibleRow().row;
}

std::int32_t QtEditBox::FirstVisibleLineTop() {
  if (!widget_) return 0;
  // From the viewport to the editor's outer edge: its frame and any viewport margin.
  const qreal top = FirstVisibleRow().top + widget_->viewport()->geometry().top();
  return static_cast<std::int32_t>(std::floor(top + 0.5));
}

void QtEditBox::SetSelText(const std::u16string& text) {
  if (!widget_) return;
  QTextCursor cursor = widget_->textCursor();
  inserting_ = text;
  // A step of its own for undo: typing just before must not be taken back with it.
  cursor.beginEditBlock();
  cursor.insertText(ToQString(text));
  cursor.endEditBlock();
  inserting_ = {};
  widget_->setTextCursor(cursor);
}

void QtEditBox::OnKeyUp(std::function<void(std::int16_t, std::int16_t)> handler) {
  if (widget_) widget_->key_up = std::move(handler);
}

void QtEditBox::OnMouseUp(std::function<void(std::int16_t, std::int16_t, float, float)> handler) {
  if (widget_) widget_->mouse_up = std::move(handler);
}

void QtEditBox::OnDrop(std::function<void(const DropData&)> handler) {
  if (widget_) widget_->drop = std::move(handler);
}

EditHook QtEditBox::SetHook(EditHook hook) {
  EditHook previous = std::move(hook_);
  hook_ = std::move(hook);
  return previous;
}

}  // namespace tambrel::platform::qt
