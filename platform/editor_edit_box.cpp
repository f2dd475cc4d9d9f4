#include "platform/editor_edit_box.h"

#include <algorithm>
#include <climits>

namespace tambrel::platform {
namespace {

std::int32_t ToInt32(std::size_t value) {
  return static_cast<std::int32_t>(std::min<std::size_t>(value, INT32_MAX));
}

std::size_t ToSize(std::int32_t value) { return static_cast<std::size_t>(std::max(value, 0)); }

class EditorInputHold final : public InputHold {
 public:
  explicit EditorInputHold(editor::InputQueue::Hold hold) : hold_(std::move(hold)) {}

 private:
  editor::InputQueue::Hold hold_;
};

}  // namespace

std::size_t EditorEditBox::Position(std::int32_t index) const {
  return std::min(ToSize(index), Model().Length());
}

std::u16string EditorEditBox::Text() const { return Model().Buffer().Text(); }

void EditorEditBox::ForEachTextPiece(const text::PieceVisitor& visit) const {
  Model().Buffer().ForEachPiece(0, Model().Length(), visit);
}

void EditorEditBox::ForEachTextPiece(std::size_t from, std::size_t length,
                                     const text::PieceReader& read) const {
  Model().Buffer().ForEachPiece(from, length, read);
}

std::int32_t EditorEditBox::TextLength() const { return ToInt32(Model().Length()); }

void EditorEditBox::AdoptText(text::TextBuffer&& text) { Model().Adopt(std::move(text)); }

void EditorEditBox::SetText(const std::u16string& text) { SetText(text::Units(text)); }

void EditorEditBox::SetText(text::Units&& text) {
  constexpr std::size_t kLargeText = std::size_t{8} << 20;
  if (text.size() < kLargeText) {
    Model().Adopt(text::TextBuffer(std::move(text)));
    return;
  }
  text::TextBuffer buffer;
  RunLongWork([&] { buffer = text::TextBuffer(std::move(text)); });
  Model().Adopt(std::move(buffer));
}

void EditorEditBox::SetNewLine(std::u16string_view line_break) {
  Model().SetNewLine(std::u16string(line_break));
}

std::int32_t EditorEditBox::SelStart() const { return ToInt32(Model().GetSelection().Start()); }

void EditorEditBox::SetSelStart(std::int32_t start) {
  // Like an edit control: a new start places the caret there and drops the selection.
  Model().Select(Position(start), Position(start));
}

std::int32_t EditorEditBox::SelLength() const { return ToInt32(Model().GetSelection().Length()); }

void EditorEditBox::SetSelLength(std::int32_t length) {
  const std::size_t start = Model().GetSelection().Start();
  Model().Select(start, std::min(Model().Length(), start + ToSize(length)));
}

void EditorEditBox::SetSelText(const std::u16string& text) { Model().ReplaceSelection(text); }

std::int32_t EditorEditBox::LineCount() {
  return std::max(1, ToInt32(Model().View().CountAllRows()));
}

std::int32_t EditorEditBox::LineFromChar(std::int32_t index) {
  editor::Editor& model = Model();
  return ToInt32(model.View().CountRowNumber(model.PlaceOf(Position(index))));
}

std::int32_t EditorEditBox::FirstVisibleLine() {
  return ToInt32(Model().View().CountTopRowNumber());
}

std::optional<std::int32_t> EditorEditBox::CountedFirstVisibleLine() {
  if (previewing_) return std::nullopt;
  const std::optional<std::size_t> top = Model().View().TopRowNumber();
  if (!top) return std::nullopt;
  return ToInt32(*top);
}

std::int32_t EditorEditBox::LineCountUpTo(std::int32_t limit) {
  return ToInt32(Model().View().RowCountUpTo(ToSize(limit)));
}

std::int32_t EditorEditBox::LineFromCharUpTo(std::int32_t index, std::int32_t limit) {
  editor::Editor& model = Model();
  return ToInt32(model.View().RowNumberUpTo(model.PlaceOf(Position(index)), ToSize(limit)));
}

std::optional<std::vector<TextReplacement>> EditorEditBox::ReportedChanges() const {
  std::vector<TextReplacement> changes;
  for (const editor::TextEdit& edit : Model().Edits()) {
    if (edit.whole_text) return std::nullopt;
    changes.push_back(TextReplacement{edit.position, edit.removed, edit.inserted_text});
  }
  return changes;
}

std::unique_ptr<InputHold> EditorEditBox::HoldUserInput() {
  return std::make_unique<EditorInputHold>(Model().Input().HoldInput());
}

void EditorEditBox::AfterUserInput(std::function<void()> action) {
  Model().Input().Submit(std::move(action));
}

void EditorEditBox::ShowPreview(std::u16string_view start) {
  previewing_ = true;
  ShowPreviewWidget(start);
}

void EditorEditBox::EndPreview() {
  if (!previewing_) return;
  previewing_ = false;
  HidePreviewWidget();
}

std::u16string PreviewText(std::u16string_view start, std::u16string_view line_break) {
  std::u16string text;
  text.reserve(start.size() + start.size() / 16 +
               std::char_traits<char16_t>::length(kPreviewRestNote) + 4);
  for (std::size_t i = 0; i < start.size(); ++i) {
    const char16_t unit = start[i];
    if (unit == u'\r' || unit == u'\n') {
      text += line_break;
      if (unit == u'\r' && i + 1 < start.size() && start[i + 1] == u'\n') ++i;
    } else {
      text += unit == u'\0' ? u' ' : unit;
    }
  }
  // One empty line between the last line of the start and the note, whether or not the start
  // ended its last line.
  if (!text.empty() && !text.ends_with(line_break)) text += line_break;
  if (!text.empty()) text += line_break;
  text += kPreviewRestNote;
  return text;
}

}  // namespace tambrel::platform
