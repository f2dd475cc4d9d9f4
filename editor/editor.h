#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/caret.h"
#include "editor/input_queue.h"
#include "editor/motion.h"
#include "editor/row_geometry.h"
#include "editor/view_rows.h"
#include "text/char_metrics.h"
#include "text/wrapped_text.h"

namespace tambrel::editor {

// What changed in one call, for the window system to bring to the screen.
enum Changed : unsigned {
  kTextChanged = 1,       // the text: the edit box's change event
  kSelectionChanged = 2,  // the caret or the selection
  kViewMoved = 4,         // the rows on screen, or the numbering of the top row
  kLookChanged = 8,       // the width or the font: every row again
};

enum class ClickCount { kSingle, kDouble, kTriple };
enum class DeleteUnit { kCharacter, kWord };
enum class DragAction { kMove, kCopy };

// Removed units an edit keeps a copy of, for those who announce what an edit took out.
inline constexpr std::size_t kKeptRemovedUnits = std::size_t{1} << 16;

// One change of the text, for those who follow the text without reading it all again (a screen
// reader): `removed` units at `position` gave way to `inserted` others.
struct TextEdit {
  std::size_t position = 0;
  std::size_t removed = 0;
  std::size_t inserted = 0;
  // The first of the removed units, at most kKeptRemovedUnits of them. Undo, redo and a new text
  // do not know what they took out and leave it empty.
  std::u16string removed_text;
  // What came in, whole, for those who keep a record of the text's changes; empty for a new text.
  std::u16string inserted_text;
  // The whole text was set anew (a document was loaded): not a change anyone made to the old one.
  bool whole_text = false;

  bool operator==(const TextEdit&) const = default;
};

// One row of the composition an input method shows at the caret, wrapped like the text around
// it, so that a composition at a full row's end goes on below rather than off the window.
struct ComposedRow {
  std::u16string text;                 // as shown: the text around the caret with the composition
  std::size_t composition_start = 0;   // where the composition lies in `text`
  std::size_t composition_end = 0;
  std::optional<std::size_t> cursor;  // the input method's cursor, on the row that has it
};

// The editor the user works in, whatever window system shows it: the document wrapped into
// display rows, the caret and the selection, motion by character as the user sees it (a whole
// grapheme cluster, CR LF as one), by word, by row and by page, typing, overwriting, deleting,
// the clipboard's text, dragging text, undo grouping, the input method's composition, and which
// rows the view shows. A window system turns its events into these calls and paints Rows(); it
// answers only the questions of RowGeometry.
//
// Every call that changes something tells `on_change` once, at its end, what changed.
class Editor {
 public:
  Editor(RowGeometry& geometry, std::unique_ptr<text::CharMetrics> metrics, float width);
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  std::function<void(unsigned changed)> on_change;

  // --- The text -----------------------------------------------------------------------------
  const text::TextBuffer& Buffer() const { return document_.Buffer(); }
  const text::WrappedText& Document() const { return document_; }
  std::size_t Length() const { return document_.Buffer().Length(); }
  // A new text, or one already indexed (on another thread), with a new undo history; the caret
  // goes to the start.
  void SetText(std::u16string text);
  void Adopt(text::TextBuffer buffer);
  // The break that Return puts in, and that the breaks of pasted or dropped text become.
  void SetNewLine(std::u16string line_break) { new_line_ = std::move(line_break); }
  // The break the desktop's clipboard uses (LF on Linux, CR LF on Windows).
  void SetClipboardLineBreak(std::u16string line_break) { clipboard_break_ = std::move(line_break); }

  // --- Look -----------------------------------------------------------------------------------
  // New measures (a new font) or a new width: the rows are found again, the text at the top stays
  // there and a caret that was in view stays in view.
  void SetLayout(std::unique_ptr<text::CharMetrics> metrics, float width);
  void SetWidth(float width);
  float Width() const { return document_.Width(); }
  void SetVisibleRows(int rows);

  // --- Caret and selection ------------------------------------------------------------------
  const Selection& GetSelection() const { return selection_; }
  // Selects [anchor, caret) or [caret, anchor), as a program does; positions inside a cluster go
  // to its start.
  void Select(std::size_t anchor, std::size_t caret);
  void Move(Motion motion, Selecting selecting);
  void SelectAll();
  std::u16string SelectedText() const;
  // The selection as the clipboard takes it: every line break the desktop's.
  std::u16string SelectedTextForClipboard() const;

  // --- The mouse, in rows from the top of the view and pixels from the text's left edge --------
  Caret CaretAt(std::ptrdiff_t screen_row, float x);
  void Click(std::ptrdiff_t screen_row, float x, ClickCount count, Selecting selecting);
  // Extends what the last click selected, by characters, words or lines as it did.
  void DragTo(std::ptrdiff_t screen_row, float x);
  // Whether the character under the point is selected: a press there drags the selection.
  bool IsSelectedAt(std::ptrdiff_t screen_row, float x);

  // --- Editing, as the user does it ----------------------------------------------------------
  // Typed text; in overwrite mode it takes the place of as many characters after the caret.
  void Type(std::u16string_view typed);
  void NewLine();
  void DeleteBackward(DeleteUnit unit);
  void DeleteForward(DeleteUnit unit);
  // Takes the selection out and answers it as the clipboard takes it.
  std::u16string Cut();
  void Paste(std::u16string_view pasted);
  // Text dropped from elsewhere at a position; it ends up selected.
  void Drop(std::size_t position, std::u16string_view dropped);
  // The selection dragged to a position inside the text, moved or copied; it ends up selected.
  void DragSelectionTo(std::size_t position, DragAction action);
  void Undo();
  void Redo();
  bool CanUndo() const { return document_.Buffer().CanUndo(); }
  bool CanRedo() const { return document_.Buffer().CanRedo(); }
  bool Overwriting() const { return overwrite_; }
  void ToggleOverwrite();

  // --- Editing, as a program does it -----------------------------------------------------------
  // Replaces the selection as one undo step of its own; the caret goes after the new text.
  void ReplaceSelection(std::u16string_view replacement);
  // Replaces `length` units at `position` the same way, as assistive technology edits: ends
  // inside a cluster go to its start, and line breaks become the document's.
  void Replace(std::size_t position, std::size_t length, std::u16string_view replacement);

  // --- The input method ------------------------------------------------------------------------
  // The text being composed, shown at the caret; `cursor` is the input method's within it.
  void SetComposition(std::u16string composition, std::size_t cursor);
  const std::u16string& Composition() const { return composition_; }
  // Committed text, replacing the selection, or `replace_length` units from `replace_from` units
  // off the caret when the input method takes back text around it.
  void Commit(std::u16string_view committed, std::ptrdiff_t replace_from = 0,
              std::size_t replace_length = 0);
  // The caret's row with the composition in it, wrapped.
  std::vector<ComposedRow> ComposedCaretRow();

  // --- The view ------------------------------------------------------------------------------
  ViewRows& View() { return view_; }
  const std::vector<ScreenRow>& Rows() { return view_.Rows(); }
  // The text of a row on screen as the window system lays it out.
  RowText TextOf(const ScreenRow& row, std::u16string& scratch) const;
  bool ScrollBy(std::ptrdiff_t rows);
  bool ScrollToBarValue(int value);
  // The caret's row (with its affinity) and its x, when it is on screen.
  struct CaretSpot {
    std::size_t screen_row = 0;
    float x = 0;
  };
  std::optional<CaretSpot> CaretOnScreen();
  text::RowPlace CaretPlace();
  // The row that holds a position: where a row wraps, the row it starts.
  text::RowPlace PlaceOf(std::size_t position) { return document_.PlaceOfPosition(position); }
  // Counts rows a slice at a time while the program is idle; answers whether any are left.
  bool CountSome();
  // Scrolls as little as shows the row that holds a position; the caret stays where it is.
  bool ScrollToShow(std::size_t position);
  // The character under a point, as the start of its cluster.
  std::size_t CharacterAt(std::ptrdiff_t screen_row, float x);

  // The edits of the text that the change being told about made, in order. They stay until the
  // next call that changes anything.
  const std::vector<TextEdit>& Edits() const { return edits_; }

  // --- What the user does while a command reads the text ---------------------------------------
  InputQueue& Input() { return input_; }

 private:
  class Notify;
  // Changes the text and follows it with the caret and the view; the caret goes to `caret`.
  void Edit(std::size_t position, std::size_t length, std::u16string_view text, text::Merge merge);
  void AfterChange(const text::Change& change, std::size_t caret, std::size_t top);
  // Keeps an edit for Edits().
  void Record(const text::Change& change, std::u16string removed_text, bool whole_text = false);
  void PlaceCaret(Caret caret, Selecting selecting);
  void RevealCaret();
  // The caret position in a row nearest to x.
  Caret CaretInRow(text::RowPlace place, float x);
  float XOfCaret();
  ScreenRow RowAt(text::RowPlace place);
  Caret Horizontal(ScreenSide side);
  Caret Vertical(std::ptrdiff_t rows);
  Caret Page(std::ptrdiff_t direction);
  text::RowPlace PlaceAtScreenRow(std::ptrdiff_t screen_row);
  std::size_t LineEndWithBreak(std::size_t position) const;
  std::size_t ClusterStart(std::size_t position) const;
  void Announce(unsigned changed);

  RowGeometry& geometry_;
  std::unique_ptr<text::CharMetrics> metrics_;
  text::WrappedText document_;
  ViewRows view_;
  InputQueue input_;
  Selection selection_;
  // Up and Down aim for the column they started from, until the caret moves another way.
  std::optional<float> preferred_x_;
  // What the last click selected, which dragging extends.
  ClickCount click_count_ = ClickCount::kSingle;
  std::size_t click_start_ = 0;
  std::size_t click_end_ = 0;
  bool overwrite_ = false;
  std::u16string new_line_ = u"\r\n";
  std::u16string clipboard_break_ = u"\n";
  std::u16string composition_;
  std::size_t composition_cursor_ = 0;
  std::optional<std::size_t> announced_top_number_;
  unsigned pending_ = 0;
  int notify_depth_ = 0;
  std::vector<TextEdit> edits_;
};

}  // namespace tambrel::editor
