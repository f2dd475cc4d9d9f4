#include "platform/qt/qt_edit_box.h"

#include <QEvent>
#include <algorithm>
#include <climits>

#include "platform/background_work.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {

namespace {
// Counting that a question cannot wait for is done in these steps.
constexpr std::size_t kCountingStep = std::size_t{1} << 24;

std::int32_t ToInt32(std::size_t value) {
  return static_cast<std::int32_t>(std::min<std::size_t>(value, INT32_MAX));
}

QColor ToQColor(ColorRef color) {
  const auto value = static_cast<std::uint32_t>(color);
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
}  // namespace

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

QtEditBox::QtEditBox(std::string name, TextView* view, OleColor back_color, OleColor fore_color,
                     FontChoice font)
    : EditBox(std::move(name)),
      view_(view),
      geometry_(view),
      back_color_(back_color),
      fore_color_(fore_color),
      font_(std::move(font)),
      hook_filter_(std::make_unique<HookFilter>(*this)) {
  ApplyLook();
  view_->text_changed = [this] {
    if (change_) change_();
  };
  // Every move of the view, and every change of its rows' numbering, after the fact.
  view_->rows_moved = [this] { Deliver(EditMessage::kVerticalScroll); };
  view_->installEventFilter(hook_filter_.get());
  view_->viewport()->installEventFilter(hook_filter_.get());
}

QtEditBox::~QtEditBox() { DetachHandlers(); }

void QtEditBox::DetachHandlers() {
  change_ = nullptr;
  hook_ = nullptr;
  if (view_) {
    view_->removeEventFilter(hook_filter_.get());
    view_->viewport()->removeEventFilter(hook_filter_.get());
    view_->text_changed = nullptr;
    view_->rows_moved = nullptr;
    view_->key_up = nullptr;
    view_->mouse_up = nullptr;
    view_->files_dropped = nullptr;
  }
}

void QtEditBox::Deliver(EditMessage message) {
  if (hook_) hook_(message);
}

std::u16string QtEditBox::Text() const { return view_ ? view_->Text() : u""; }

void QtEditBox::ForEachTextPiece(const std::function<void(std::u16string_view)>& visit) const {
  if (view_) view_->Buffer().ForEachSpan(0, view_->Length(), visit);
}

std::int32_t QtEditBox::TextLength() const { return view_ ? ToInt32(view_->Length()) : 0; }

void QtEditBox::SetText(const std::u16string& text) { SetText(std::u16string(text)); }

void QtEditBox::SetText(std::u16string&& text) {
  if (!view_) return;
  // Indexing the lines of a large text takes a while: not on the thread that paints the window.
  constexpr std::size_t kLargeText = std::size_t{8} << 20;
  if (text.size() < kLargeText) {
    view_->SetText(std::move(text));
    return;
  }
  text::TextBuffer buffer;
  RunWithoutFreezing([&] { buffer = text::TextBuffer(std::move(text)); });
  view_->SetBuffer(std::move(buffer));
}

void QtEditBox::SetNewLine(std::u16string_view line_break) {
  if (view_) view_->SetNewLine(std::u16string(line_break));
}

std::int32_t QtEditBox::SelStart() const { return view_ ? ToInt32(view_->SelectionStart()) : 0; }

void QtEditBox::SetSelStart(std::int32_t start) {
  // Like an edit control: a new start places the caret there and drops the selection.
  if (view_) view_->MoveCaret(static_cast<std::size_t>(std::max(start, 0)));
}

std::int32_t QtEditBox::SelLength() const {
  return view_ ? ToInt32(view_->SelectionEnd() - view_->SelectionStart()) : 0;
}

void QtEditBox::SetSelLength(std::int32_t length) {
  if (!view_) return;
  const std::size_t start = view_->SelectionStart();
  view_->MoveCaret(start);
  view_->MoveCaret(start + static_cast<std::size_t>(std::max(length, 0)),
                   TextView::Selecting::kExtend);
}

void QtEditBox::SetFocus() {
  if (view_) view_->setFocus(Qt::OtherFocusReason);
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
  if (!view_) return;
  // The view paints with these itself, so no skin can change the user's font and colour.
  view_->SetTextFont(ToQFont(font_));
  const ColorRef text = TranslateColor(fore_color_);
  const ColorRef background = TranslateColor(back_color_);
  view_->SetColors(text != kUntranslatableColor ? ToQColor(text) : QColor(Qt::black),
                   background != kUntranslatableColor ? ToQColor(background) : QColor(Qt::white));
}

void QtEditBox::CountBefore(std::size_t line) {
  text::WrappedText& document = view_->Document();
  while (document.CountedLines() < line && !document.AllCounted()) {
    document.CountSome(kCountingStep, document.CountedLines());
  }
}

std::int32_t QtEditBox::LineCount() {
  if (!view_) return 1;
  text::WrappedText& document = view_->Document();
  while (!document.TotalRows()) document.CountSome(kCountingStep, document.CountedLines());
  return std::max(1, ToInt32(*document.TotalRows()));
}

std::int32_t QtEditBox::LineFromChar(std::int32_t index) {
  if (!view_) return 0;
  text::WrappedText& document = view_->Document();
  const auto position = static_cast<std::size_t>(std::clamp<std::int64_t>(index, 0, TextLength()));
  const text::RowPlace place = document.PlaceOfPosition(position);
  CountBefore(place.line);
  return ToInt32(document.RowNumberOf(place).value_or(0));
}

std::int32_t QtEditBox::FirstVisibleLine() {
  return view_ ? ToInt32(view_->CountTopRowNumber()) : 0;
}

std::optional<std::int32_t> QtEditBox::CountedFirstVisibleLine() {
  if (!view_) return 0;
  const std::optional<std::size_t> top = view_->TopRowNumber();
  if (!top) return std::nullopt;
  return ToInt32(*top);
}

std::int32_t QtEditBox::RowBelowTop(text::RowPlace place, std::int32_t top, std::int32_t limit) {
  text::WrappedText& document = view_->Document();
  text::RowPlace walk = view_->TopRow();
  std::int32_t row = top;
  while (!(walk == place) && row < limit) {
    const text::RowPlace next = document.MoveByRows(walk, 1);
    if (next == walk) break;
    walk = next;
    ++row;
  }
  return std::min(row, limit);
}

std::int32_t QtEditBox::LineCountUpTo(std::int32_t limit) {
  if (!view_) return std::min(1, limit);
  text::WrappedText& document = view_->Document();
  if (const auto total = document.TotalRows()) return std::min(ToInt32(*total), limit);
  const std::optional<std::int32_t> top = CountedFirstVisibleLine();
  if (!top) return std::min(LineCount(), limit);
  // Rows from the top of the view on, as far as the limit: the document's last row, if it comes
  // first, tells the count. Only the rows walked are wrapped, however long their line.
  text::RowPlace walk = view_->TopRow();
  std::int32_t row = *top;
  while (row + 1 < limit) {
    const text::RowPlace next = document.MoveByRows(walk, 1);
    if (next == walk) return row + 1;
    walk = next;
    ++row;
  }
  return limit;
}

std::int32_t QtEditBox::LineFromCharUpTo(std::int32_t index, std::int32_t limit) {
  if (!view_) return std::min(0, limit);
  text::WrappedText& document = view_->Document();
  const auto position = static_cast<std::size_t>(std::clamp<std::int64_t>(index, 0, TextLength()));
  const text::RowPlace place = document.PlaceOfPosition(position);
  if (const auto row = document.RowNumberOf(place)) return std::min(ToInt32(*row), limit);
  const std::optional<std::int32_t> top = CountedFirstVisibleLine();
  const text::RowPlace view_top = view_->TopRow();
  const bool below_top = place.line > view_top.line ||
                         (place.line == view_top.line && place.row_in_line >= view_top.row_in_line);
  if (!top || !below_top) return std::min(LineFromChar(index), limit);
  return RowBelowTop(place, *top, limit);
}

std::int32_t QtEditBox::FirstVisibleLineTop() { return view_ ? view_->FirstRowTop() : 0; }

void QtEditBox::SetSelText(const std::u16string& text) {
  if (view_) view_->ReplaceSelection(text);
}

void QtEditBox::OnKeyUp(std::function<void(std::int16_t, std::int16_t)> handler) {
  if (view_) view_->key_up = std::move(handler);
}

void QtEditBox::OnMouseUp(std::function<void(std::int16_t, std::int16_t, float, float)> handler) {
  if (view_) view_->mouse_up = std::move(handler);
}

void QtEditBox::OnDrop(std::function<void(const DropData&)> handler) {
  if (!view_) return;
  view_->files_dropped = [handler = std::move(handler)](std::vector<std::u16string> files) {
    if (handler) handler(DropData{std::move(files)});
  };
}

EditHook QtEditBox::SetHook(EditHook hook) {
  EditHook previous = std::move(hook_);
  hook_ = std::move(hook);
  return previous;
}

}  // namespace tambrel::platform::qt
