#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "text/piece_tree.h"
#include "text/text_change.h"
#include "text/text_chunks.h"
#include "text/units.h"

namespace tambrel::text {

// A document's UTF-16 text with undo, redo and an index of its hard lines. Lines end at CR LF, LF
// or a lone CR, kept exactly as they came. Positions count units from 0; a position between the
// CR and the LF of a CR LF belongs to the line that the pair ends.
//
// The adopted text is never copied; edits only add pieces that point into it or into storage for
// what was inserted, and an undo step keeps the pieces it took out, so undoing even the
// replacement of the whole text copies nothing. Every query and edit costs O(log n) plus the
// pieces or inserted text it touches. Plain C++ with no thread of its own: a buffer may be built
// on one thread and used on another.
class TextBuffer {
 public:
  // How many units kept a byte each are widened at a time: enough to spread the cost of finding
  // them, few enough to stay in the processor's cache.
  static constexpr std::size_t kWidenedUnits = std::size_t{1} << 14;

  explicit TextBuffer(std::u16string text = {}, ChunkSizes chunk_sizes = {});
  explicit TextBuffer(Units text, ChunkSizes chunk_sizes = {});
  // The same, with the line starts of `text` found already, as ListLineStarts lists them.
  TextBuffer(Units text, PositionList line_starts, ChunkSizes chunk_sizes = {});
  // A text adopted in consecutive parts, each with its line starts found already.
  explicit TextBuffer(std::vector<TextPart> parts, ChunkSizes chunk_sizes = {});
  // A text adopted as `runs` of parts, in order, each part with its line starts found already.
  TextBuffer(std::vector<TextPart> parts, std::vector<PartRun> runs, ChunkSizes chunk_sizes = {});
  TextBuffer(TextBuffer&&) noexcept = default;
  TextBuffer& operator=(TextBuffer&&) noexcept = default;
  // A copy of a document is never wanted by accident.
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  // Adopts a new text and forgets the undo history; the chunk sizes stay.
  void Reset(std::u16string text);

  std::size_t Length() const { return tree_.Length(root_); }
  char16_t At(std::size_t position) const;
  std::u16string Substring(std::size_t position, std::size_t length) const;
  std::u16string Text() const { return Substring(0, Length()); }
  // The units from `position` to the end of the piece that holds them: straight from storage, or,
  // where storage keeps them a byte each, at most `most` of them widened into `scratch`. Empty at
  // Length().
  std::u16string_view SpanAt(std::size_t position, std::u16string& scratch,
                             std::size_t most = kWidenedUnits) const;
  // Hands [position, position + length) to `visit` as consecutive spans, as SpanAt gives them; a
  // span is valid only while `visit` runs. If `visit` answers a bool, false stops the walk.
  template <class Visit>
  void ForEachPiece(std::size_t position, std::size_t length, Visit&& visit) const;

  // At least 1: "a\n" has two lines, the second empty.
  std::size_t LineCount() const;
  std::size_t LineStart(std::size_t line) const;
  // Without the line break.
  std::size_t LineLength(std::size_t line) const;
  // 0 for the last line, 2 for CR LF, 1 for LF or CR.
  std::size_t BreakLength(std::size_t line) const;
  std::size_t LineOfPosition(std::size_t position) const;
  // A line's text without its break: a view into storage when the line lies in one piece kept as
  // UTF-16, otherwise a copy in `scratch`. Valid until the next edit or until scratch changes.
  std::u16string_view LineText(std::size_t line, std::u16string& scratch) const;

  // Replaces [position, position + length) by `text`; a position or length past the end is
  // clamped. With Merge::kWithPrevious the edit joins the last undo step when it continues it:
  // an insertion right where that step's insertion ended, or a deletion (no text) that ends where
  // the last pure deletion began (backspace) or begins at the same place (delete). A new edit
  // drops everything that could be redone.
  Change Replace(std::size_t position, std::size_t length, std::u16string_view text,
                 Merge merge = Merge::kNever);
  // Ends the current undo step, so that the next edit starts one even with kWithPrevious; for
  // when the caret moves.
  void BreakUndoGroup() { group_open_ = false; }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Each answers the change made, or nothing when there was no step to take.
  std::optional<Change> Undo();
  std::optional<Change> Redo();

  // Bytes held, text included.
  std::size_t MemoryBytes() const;

  // The first way the storage, the piece tree or the undo history breaks what it promises, or
  // nothing. Visits every piece and reads every stored unit: for tests.
  std::optional<std::string> CheckInvariants() const;

 private:
  // Makes the adopted text, if any, the whole document.
  void PlantOriginal();

  // One undo or redo step: putting `pieces` in place of the `inserted` units at `position`
  // takes it back, and turns it into the step that takes that back.
  struct Step {
    std::size_t position = 0;
    std::size_t inserted = 0;
    PieceTree::NodeId pieces = PieceTree::kNil;
  };

  std::size_t FirstAffectedLine(std::size_t position) const;
  Change Apply(Step& step);
  bool JoinLastStep(std::size_t position, std::size_t length, std::size_t inserted,
                    PieceTree::NodeId removed);
  void DropSteps(std::vector<Step>& steps);

  TextChunks chunks_;
  PieceTree tree_;
  PieceTree::NodeId root_ = PieceTree::kNil;
  std::vector<Step> undo_;
  std::vector<Step> redo_;
  bool group_open_ = false;
};

template <class Visit>
void TextBuffer::ForEachPiece(std::size_t position, std::size_t length, Visit&& visit) const {
  std::u16string scratch;
  while (length > 0) {
    std::u16string_view span = SpanAt(position, scratch, std::min(length, kWidenedUnits));
    if (span.empty()) return;  // past the end
    if (span.size() > length) span = span.substr(0, length);
    position += span.size();
    length -= span.size();
    if constexpr (std::is_same_v<std::invoke_result_t<Visit&, std::u16string_view>, bool>) {
      if (!visit(span)) return;
    } else {
      visit(span);
    }
  }
}

}  // namespace tambrel::text
