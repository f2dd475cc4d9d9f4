#include "platform/qt/text_view_accessible.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "platform/qt/qt_row_geometry.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/text_view.h"
#include "text/clusters.h"

namespace tambrel::platform::qt {

namespace {

// What an answer says when there is no piece there.
QString Nothing(int* start_offset, int* end_offset) {
  *start_offset = -1;
  *end_offset = -1;
  return QString();
}

}  // namespace

TextViewAccessible::TextViewAccessible(TextView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

TextView& TextViewAccessible::View() const { return *static_cast<TextView*>(widget()); }

editor::Editor& TextViewAccessible::Model() const { return View().Model(); }

QAccessible::State TextViewAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.editable = true;
  state.multiLine = true;
  state.selectableText = true;
  state.focusable = true;
  return state;
}

void* TextViewAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface) {
    return static_cast<QAccessibleEditableTextInterface*>(this);
  }
  return QAccessibleWidget::interface_cast(type);
}

std::size_t TextViewAccessible::Position(int offset, std::size_t end_of_text) const {
  const std::size_t length = Model().Length();
  if (offset < 0) return std::min(end_of_text, length);
  return std::min(static_cast<std::size_t>(offset), length);
}

void TextViewAccessible::Submit(std::function<void(editor::Editor&)> action) {
  editor::Editor* editor = &Model();
  editor->Input().Submit([editor, action = std::move(action)] { action(*editor); });
}

// --- Caret and selection ----------------------------------------------------------------------

int TextViewAccessible::selectionCount() const { return Model().GetSelection().Empty() ? 0 : 1; }

void TextViewAccessible::selection(int selection_index, int* start_offset, int* end_offset) const {
  const editor::Selection& selection = Model().GetSelection();
  *start_offset = 0;
  *end_offset = 0;
  if (selection_index != 0 || selection.Empty()) return;
  *start_offset = AccessibleOffset(selection.Start());
  *end_offset = AccessibleOffset(selection.End());
}

void TextViewAccessible::addSelection(int start_offset, int end_offset) {
  // The editor has one selection: another one takes its place.
  setSelection(0, start_offset, end_offset);
}

void TextViewAccessible::removeSelection(int selection_index) {
  if (selection_index != 0) return;
  Submit([](editor::Editor& editor) {
    const std::size_t caret = editor.GetSelection().caret.position;
    editor.Select(caret, caret);
  });
}

void TextViewAccessible::setSelection(int selection_index, int start_offset, int end_offset) {
  if (selection_index != 0) return;
  const std::size_t length = Model().Length();
  Submit([anchor = Position(start_offset, length), caret = Position(end_offset, length)](
             editor::Editor& editor) { editor.Select(anchor, caret); });
}

int TextViewAccessible::cursorPosition() const {
  return AccessibleOffset(Model().GetSelection().caret.position);
}

void TextViewAccessible::setCursorPosition(int position) {
  Submit([at = Position(position, Model().Length())](editor::Editor& editor) {
    editor.Select(at, at);
  });
}

// --- The text ---------------------------------------------------------------------------------

int TextViewAccessible::characterCount() const { return AccessibleOffset(Model().Length()); }

QString TextViewAccessible::text(int start_offset, int end_offset) const {
  const std::size_t start = Position(start_offset);
  const std::size_t end = Position(end_offset, Model().Length());
  if (end <= start) return QString();
  const std::size_t length = std::min(end - start, kMaxAccessibleTextUnits);
  return ToQString(Model().Buffer().Substring(start, length));
}

AccessibleSpan TextViewAccessible::SpanAt(std::size_t position,
                                          QAccessible::TextBoundaryType boundary) const {
  const text::TextBuffer& text = Model().Buffer();
  switch (boundary) {
    case QAccessible::CharBoundary:
      return CharacterSpan(text, position);
    case QAccessible::WordBoundary:
      return WordSpan(text, position);
    case QAccessible::SentenceBoundary:
      return SentenceSpan(text, position);
    case QAccessible::ParagraphBoundary:
      return ParagraphSpan(text, position);
    case QAccessible::LineBoundary:
      return LineSpan(Model(), position);
    case QAccessible::NoBoundary:
      return {0, text.Length()};
  }
  return {position, position};
}

QString TextViewAccessible::Answer(AccessibleSpan span, std::size_t position, int* start_offset,
                                   int* end_offset) const {
  if (span.end - span.start > kMaxAccessibleTextUnits) {
    // A piece too long to hand over whole (a line of 50 MB): the stretch of it around the position.
    const AccessibleSpan whole = span;
    const std::size_t centre = std::clamp(position, whole.start, whole.end);
    span.start = std::max(whole.start, centre - std::min(centre, kMaxAccessibleTextUnits / 2));
    span.end = std::min(whole.end, span.start + kMaxAccessibleTextUnits);
    // Near the piece's end the stretch reaches further back instead.
    span.start = std::max(whole.start, span.end - kMaxAccessibleTextUnits);
  }
  *start_offset = AccessibleOffset(span.start);
  *end_offset = AccessibleOffset(span.end);
  return ToQString(Model().Buffer().Substring(span.start, span.end - span.start));
}

QString TextViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                         int* start_offset, int* end_offset) const {
  const std::size_t position = Position(offset, Model().Length());
  return Answer(SpanAt(position, boundary), position, start_offset, end_offset);
}

QString TextViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                             int* start_offset, int* end_offset) const {
  if (boundary == QAccessible::NoBoundary) return Nothing(start_offset, end_offset);
  const AccessibleSpan here = SpanAt(Position(offset, Model().Length()), boundary);
  if (here.start == 0) return Nothing(start_offset, end_offset);
  AccessibleSpan before = SpanAt(here.start - 1, boundary);
  before.end = std::min(before.end, here.start);
  return Answer(before, here.start - 1, start_offset, end_offset);
}

QString TextViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                            int* start_offset, int* end_offset) const {
  if (boundary == QAccessible::NoBoundary) return Nothing(start_offset, end_offset);
  const AccessibleSpan here = SpanAt(Position(offset, Model().Length()), boundary);
  if (here.end >= Model().Length()) return Nothing(start_offset, end_offset);
  AccessibleSpan after = SpanAt(here.end, boundary);
  after.start = std::max(after.start, here.end);
  return Answer(after, here.end, start_offset, end_offset);
}

QString TextViewAccessible::attributes(int /*offset*/, int* start_offset, int* end_offset) const {
  // Plain text: one font and one colour from start to end.
  *start_offset = 0;
  *end_offset = characterCount();
  return QString();
}

// --- Where the text is on screen ----------------------------------------------------------------

QRect TextViewAccessible::characterRect(int offset) const {
  editor::Editor& editor = Model();
  const std::size_t position = Position(offset, editor.Length());
  const std::optional<std::size_t> index = ScreenRowOf(editor, position);
  if (!index) return QRect();
  const editor::ScreenRow row = editor.Rows()[*index];
  std::u16string scratch;
  const editor::RowText text = editor.TextOf(row, scratch);
  // A position in the row's line break is shown at the row's end.
  const std::size_t at = std::min(position, row.end) - row.start;
  const std::size_t next = at < text.text.size() ? text::NextClusterBoundary(text.text, at) : at;
  QtRowGeometry& geometry = View().RowGeometry();
  const float x = geometry.XOfOffset(text, at);
  const float next_x = geometry.XOfOffset(text, next);
  const int left = kTextMargin + static_cast<int>(std::floor(std::min(x, next_x)));
  const int width = std::max(1, static_cast<int>(std::lround(std::abs(next_x - x))));
  const int top = kTextMargin + static_cast<int>(*index) * View().RowHeight();
  return QRect(View().viewport()->mapToGlobal(QPoint(left, top)), QSize(width, View().RowHeight()));
}

int TextViewAccessible::offsetAtPoint(const QPoint& point) const {
  QWidget* viewport = View().viewport();
  const QPoint local = viewport->mapFromGlobal(point);
  const int y = local.y() - kTextMargin;
  if (!viewport->rect().contains(local) || y < 0) return -1;
  const auto row = static_cast<std::size_t>(y / View().RowHeight());
  if (row >= Model().Rows().size()) return -1;
  return AccessibleOffset(Model().CharacterAt(static_cast<std::ptrdiff_t>(row),
                                              static_cast<float>(local.x() - kTextMargin)));
}

void TextViewAccessible::scrollToSubstring(int start_index, int end_index) {
  // The end first, so that the start is on screen whatever the length.
  const std::size_t length = Model().Length();
  Model().ScrollToShow(Position(end_index, length));
  Model().ScrollToShow(Position(start_index, length));
}

// --- Editing ------------------------------------------------------------------------------------

void TextViewAccessible::insertText(int offset, const QString& text) {
  Submit([at = Position(offset, Model().Length()), units = ToU16(text)](editor::Editor& editor) {
    editor.Replace(at, 0, units);
  });
}

void TextViewAccessible::deleteText(int start_offset, int end_offset) {
  replaceText(start_offset, end_offset, QString());
}

void TextViewAccessible::replaceText(int start_offset, int end_offset, const QString& text) {
  const std::size_t length = Model().Length();
  std::size_t start = Position(start_offset, length);
  std::size_t end = Position(end_offset, length);
  if (end < start) std::swap(start, end);
  Submit([start, end, units = ToU16(text)](editor::Editor& editor) {
    editor.Replace(start, end - start, units);
  });
}

QAccessibleInterface* TextViewAccessibleFactory(const QString& /*class_name*/, QObject* object) {
  // The view declares no meta-object of its own, so Qt asks by its base's name.
  auto* view = dynamic_cast<TextView*>(object);
  return view != nullptr ? new TextViewAccessible(view) : nullptr;
}

}  // namespace tambrel::platform::qt
