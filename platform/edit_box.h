#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/control.h"
#include "platform/font_choice.h"
#include "platform/ole_color.h"
#include "text/text_buffer.h"
#include "text/text_pieces.h"
#include "text/units.h"

namespace tambrel::platform {

// What reaches the editor, as far as a hook placed in front of it cares.
enum class EditMessage {
  kVerticalScroll,  // the view has moved up or down, by any means; delivered after the move
  kOther,           // every other event the editor receives
};

// A hook sees every message of the editor; whatever it does, the editor handles the message
// as it would have without the hook.
using EditHook = std::function<void(EditMessage)>;

// While it lives, what the user does to the text (typing, an input method's commits, drops) waits,
// and is done afterwards in the order it came: a command reading the text in the background sees
// it as it was when the command began.
class InputHold {
 public:
  virtual ~InputHold() = default;
};

// One change of the text: `removed` units at `position` gave way to `inserted`.
struct TextReplacement {
  std::size_t position = 0;
  std::size_t removed = 0;
  std::u16string inserted;
};

struct DropData {
  std::vector<std::u16string> files;  // full paths, in the order the source listed them
};

// The multi-line document editor. Text positions count UTF-16 code units from 0. Lines are
// display rows: a long line wrapped over three rows counts three.
class EditBox : public Control {
 public:
  using Control::Control;

  virtual std::u16string Text() const = 0;
  // Hands the text to `visit` in consecutive pieces, for a document too large to copy whole. It
  // reads nothing but the text, so it may run on another thread while the text does not change.
  virtual void ForEachTextPiece(const text::PieceVisitor& visit) const { visit(Text()); }
  // The same for the units [from, from + length), until `read` answers false.
  virtual void ForEachTextPiece(std::size_t from, std::size_t length,
                                const text::PieceReader& read) const {
    read(std::u16string_view(Text()).substr(from, length));
  }
  virtual std::int32_t TextLength() const = 0;
  // Replaces the whole text; raises the change event like typing does. Every line break of the
  // text (CR LF, LF or CR) comes back out of Text() where it was.
  virtual void SetText(const std::u16string& text) = 0;
  // The same, taking the text over, so that a large document is not copied on its way in.
  virtual void SetText(text::Units&& text) {
    const std::u16string whole = std::move(text).TakeString();
    SetText(whole);
  }
  void SetText(std::u16string&& text) { SetText(text::Units(std::move(text))); }
  // Takes over a text already in the editor's own storage, such as one rebuilt from a record of
  // edits, without copying it; otherwise as SetText.
  virtual void AdoptText(text::TextBuffer&& text) { SetText(text.Text()); }
  // The line break a line the user starts gets: CR LF, LF or CR.
  virtual void SetNewLine(std::u16string_view line_break) = 0;

  virtual std::int32_t SelStart() const = 0;
  virtual void SetSelStart(std::int32_t start) = 0;
  virtual std::int32_t SelLength() const = 0;
  virtual void SetSelLength(std::int32_t length) = 0;
  virtual void SetFocus() = 0;

  virtual FontChoice Font() const = 0;
  virtual void SetFont(const FontChoice& font) = 0;
  virtual OleColor ForeColor() const = 0;
  virtual void SetForeColor(OleColor color) = 0;

  // Display-row queries, exact at any document size.
  virtual std::int32_t LineCount() = 0;
  virtual std::int32_t LineFromChar(std::int32_t index) = 0;
  virtual std::int32_t FirstVisibleLine() = 0;
  // FirstVisibleLine() once every row above the view is counted, nothing while that is still
  // going on: a question that must never wait for a long document to be counted.
  virtual std::optional<std::int32_t> CountedFirstVisibleLine() { return FirstVisibleLine(); }
  // min(LineCount(), limit), without counting any row at or beyond the limit.
  virtual std::int32_t LineCountUpTo(std::int32_t limit) { return std::min(LineCount(), limit); }
  // min(LineFromChar(index), limit), without counting any row at or beyond the limit.
  virtual std::int32_t LineFromCharUpTo(std::int32_t index, std::int32_t limit) {
    return std::min(LineFromChar(index), limit);
  }
  // Pixels from the editor's top edge down to the top of the first visible line (its margin
  // and scroll offset); negative when that line is cut at the top.
  virtual std::int32_t FirstVisibleLineTop() { return 0; }
  // Replaces the selection with the text, as typing it does; the change event follows.
  virtual void SetSelText(const std::u16string& text) {
    std::u16string whole = Text();
    const auto start = static_cast<std::size_t>(std::clamp(SelStart(), 0, TextLength()));
    const auto length =
        std::min(static_cast<std::size_t>(std::max(SelLength(), 0)), whole.size() - start);
    whole.replace(start, length, text);
    SetText(whole);
    SetSelStart(static_cast<std::int32_t>(start + text.size()));
  }

  virtual void OnChange(std::function<void()> handler) = 0;
  virtual void OnKeyUp(std::function<void(std::int16_t key, std::int16_t shift)> handler) = 0;
  virtual void OnMouseUp(
      std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> handler) = 0;
  virtual void OnDrop(std::function<void(const DropData&)> handler) = 0;

  // What the change being reported did to the text, in order, for those who keep a record of it;
  // nullopt when the whole text was set anew, or the box cannot tell.
  virtual std::optional<std::vector<TextReplacement>> ReportedChanges() const {
    return std::nullopt;
  }

  // Holds the user's input until the answer goes; nothing when the editor has no user.
  virtual std::unique_ptr<InputHold> HoldUserInput() { return nullptr; }
  // Runs the action once the input that waited for a command has been done, at once when none
  // waits: what the user asked for during a command keeps its place behind what they did before.
  virtual void AfterUserInput(std::function<void()> action) { action(); }

  // Shows the start of a document that is still being read over the editor, to look at and
  // scroll but not to edit, and says that the rest is coming; the editor's own text, selection
  // and undo history stay as they are underneath, and no change is reported. Meanwhile the
  // editor's rows are not counted for anyone (CountedFirstVisibleLine answers nothing), since the
  // rows on the screen are not the editor's. EndPreview takes it away again.
  virtual void ShowPreview(std::u16string_view start) { (void)start; }
  virtual void EndPreview() {}

  // Puts a hook in front of the editor and answers the one it replaces (empty when none).
  virtual EditHook SetHook(EditHook hook) = 0;
};

}  // namespace tambrel::platform
