#include "text/text_buffer.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace tambrel::text {

TextBuffer::TextBuffer(std::u16string text, ChunkSizes chunk_sizes)
    : TextBuffer(Units(std::move(text)), chunk_sizes) {}

TextBuffer::TextBuffer(Units text, ChunkSizes chunk_sizes) : chunks_(std::move(text), chunk_sizes) {
  PlantOriginal();
}

TextBuffer::TextBuffer(Units text, PositionList line_starts, ChunkSizes chunk_sizes)
    : chunks_(std::move(text), std::move(line_starts), chunk_sizes) {
  PlantOriginal();
}

TextBuffer::TextBuffer(std::vector<TextPart> parts, ChunkSizes chunk_sizes)
    : chunks_(std::move(parts), chunk_sizes) {
  PlantOriginal();
}

TextBuffer::TextBuffer(std::vector<TextPart> parts, std::vector<PartRun> runs,
                       ChunkSizes chunk_sizes)
    : chunks_(std::move(parts), std::move(runs), chunk_sizes) {
  PlantOriginal();
}

void TextBuffer::PlantOriginal() {
  for (const Piece& original : chunks_.Originals()) {
    root_ = tree_.Merge(root_, tree_.MakeNode(original));
  }
}

void TextBuffer::Reset(std::u16string text) {
  *this = TextBuffer(std::move(text), chunks_.Sizes());
}

char16_t TextBuffer::At(std::size_t position) const {
  const PieceTree::Location at = tree_.Locate(root_, position);
  return chunks_.UnitAt(*at.piece, at.offset);
}

std::u16string_view TextBuffer::SpanAt(std::size_t position, std::u16string& scratch,
                                       std::size_t most) const {
  if (position >= Length()) return {};
  const PieceTree::Location at = tree_.Locate(root_, position);
  return chunks_.View(*at.piece, at.offset, most, scratch);
}

std::u16string TextBuffer::Substring(std::size_t position, std::size_t length) const {
  position = std::min(position, Length());
  length = std::min(length, Length() - position);
  std::u16string text;
  text.reserve(length);
  ForEachPiece(position, length, [&text](std::u16string_view span) { text.append(span); });
  return text;
}

std::size_t TextBuffer::LineCount() const {
  // Besides the inner starts, the end itself starts a line after a final break.
  const bool ends_with_break = (tree_.Edges(root_) & (kEndsWithCr | kEndsWithLf)) != 0;
  return 1 + tree_.InnerStarts(root_) + (ends_with_break ? 1 : 0);
}

std::size_t TextBuffer::LineStart(std::size_t line) const {
  assert(line < LineCount());
  if (line == 0) return 0;
  if (line > tree_.InnerStarts(root_)) return Length();
  return tree_.NthStart(root_, line, chunks_);
}

std::size_t TextBuffer::BreakLength(std::size_t line) const {
  if (line + 1 >= LineCount()) return 0;
  const std::size_t next = LineStart(line + 1);
  if (At(next - 1) == u'\r') return 1;
  return next >= LineStart(line) + 2 && At(next - 2) == u'\r' ? 2 : 1;
}

std::size_t TextBuffer::LineLength(std::size_t line) const {
  const std::size_t end = line + 1 < LineCount() ? LineStart(line + 1) : Length();
  return end - LineStart(line) - BreakLength(line);
}

std::size_t TextBuffer::LineOfPosition(std::size_t position) const {
  if (position >= Length()) return LineCount() - 1;
  return tree_.StartsThrough(root_, position, chunks_);
}

std::u16string_view TextBuffer::LineText(std::size_t line, std::u16string& scratch) const {
  const std::size_t start = LineStart(line);
  const std::size_t length = LineLength(line);
  const std::u16string_view span = SpanAt(start, scratch, length);
  if (span.size() >= length) return span.substr(0, length);
  scratch = Substring(start, length);
  return scratch;
}

std::size_t TextBuffer::FirstAffectedLine(std::size_t position) const {
  // Text put right after a CR may begin with an LF and join it: the CR's line changes too.
  if (position > 0 && At(position - 1) == u'\r') return LineOfPosition(position - 1);
  return LineOfPosition(position);
}

Change TextBuffer::Replace(std::size_t position, std::size_t length, std::u16string_view text,
                           Merge merge) {
  position = std::min(position, Length());
  length = std::min(length, Length() - position);
  Change change{position, length, text.size()};
  if (length == 0 && text.empty()) return change;

  change.first_line = FirstAffectedLine(position);
  const std::size_t old_last_line = LineOfPosition(position + length);

  const auto [head, rest] = tree_.Split(root_, position, chunks_);
  const auto [removed, tail] = tree_.Split(rest, length, chunks_);
  PieceTree::NodeId added = PieceTree::kNil;
  if (!text.empty() && !tree_.ExtendLast(head, text, chunks_)) {
    added = tree_.MakeNode(chunks_.Append(text));
  }
  root_ = tree_.Merge(tree_.Merge(head, added), tail);

  change.lines_removed = old_last_line - change.first_line + 1;
  change.lines_inserted = LineOfPosition(position + text.size()) - change.first_line + 1;

  DropSteps(redo_);
  const bool joined = merge == Merge::kWithPrevious && group_open_ &&
                      JoinLastStep(position, length, text.size(), removed);
  if (!joined) undo_.push_back(Step{position, text.size(), removed});
  group_open_ = true;
  return change;
}

bool TextBuffer::JoinLastStep(std::size_t position, std::size_t length, std::size_t inserted,
                              PieceTree::NodeId removed) {
  if (undo_.empty()) return false;
  Step& last = undo_.back();
  if (length == 0) {
    // Typing on where the last insertion ended.
    if (last.inserted == 0 || last.position + last.inserted != position) return false;
    last.inserted += inserted;
    return true;
  }
  if (inserted != 0 || last.inserted != 0) return false;
  if (position + length == last.position) {  // backspace
    last.pieces = tree_.Merge(removed, last.pieces);
    last.position = position;
    return true;
  }
  if (position == last.position) {  // delete
    last.pieces = tree_.Merge(last.pieces, removed);
    return true;
  }
  return false;
}

Change TextBuffer::Apply(Step& step) {
  const std::size_t restored = tree_.Length(step.pieces);
  Change change{step.position, step.inserted, restored};
  if (step.inserted == 0 && restored == 0) return change;
  change.first_line = FirstAffectedLine(step.position);
  const std::size_t old_last_line = LineOfPosition(step.position + step.inserted);

  const auto [head, rest] = tree_.Split(root_, step.position, chunks_);
  const auto [taken, tail] = tree_.Split(rest, step.inserted, chunks_);
  root_ = tree_.Merge(tree_.Merge(head, step.pieces), tail);

  change.lines_removed = old_last_line - change.first_line + 1;
  change.lines_inserted = LineOfPosition(step.position + restored) - change.first_line + 1;
  step.inserted = restored;
  step.pieces = taken;
  return change;
}

std::optional<Change> TextBuffer::Undo() {
  if (undo_.empty()) return std::nullopt;
  Step step = undo_.back();
  undo_.pop_back();
  const Change change = Apply(step);
  redo_.push_back(step);
  group_open_ = false;
  return change;
}

std::optional<Change> TextBuffer::Redo() {
  if (redo_.empty()) return std::nullopt;
  Step step = redo_.back();
  redo_.pop_back();
  const Change change = Apply(step);
  undo_.push_back(step);
  group_open_ = false;
  return change;
}

void TextBuffer::DropSteps(std::vector<Step>& steps) {
  for (const Step& step : steps) tree_.Free(step.pieces);
  steps.clear();
}

std::size_t TextBuffer::MemoryBytes() const {
  return sizeof(*this) + chunks_.MemoryBytes() + tree_.MemoryBytes() +
         (undo_.capacity() + redo_.capacity()) * sizeof(Step);
}

std::optional<std::string> TextBuffer::CheckInvariants() const {
  if (std::optional<std::string> problem = chunks_.CheckInvariants()) return problem;
  std::vector<PieceTree::NodeId> roots{root_};
  for (const std::vector<Step>* steps : {&undo_, &redo_}) {
    for (const Step& step : *steps) roots.push_back(step.pieces);
  }
  if (std::optional<std::string> problem = tree_.CheckInvariants(roots, chunks_)) return problem;
  // Only the next step of each kind applies to the text as it is now.
  for (const std::vector<Step>* steps : {&undo_, &redo_}) {
    if (!steps->empty() && steps->back().position + steps->back().inserted > Length()) {
      return std::string(steps == &undo_ ? "the undo" : "the redo") +
             " step takes back units past the end of the text";
    }
  }
  return std::nullopt;
}

}  // namespace tambrel::text
