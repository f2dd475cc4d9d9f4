#include "editor/editor.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "editor/input_text.h"
#include "text/clusters.h"
#include "text/direction.h"
#include "text/row_breaker.h"
#include "text/words.h"

namespace tambrel::editor {

// Gathers what the calls made within its life changed, and tells it once when the outermost
// ends: a keystroke that edits, moves the caret and scrolls is one change to the window.
class Editor::Notify {
 public:
  explicit Notify(Editor& editor) : editor_(editor) {
    // The edits told about last time were heard then.
    if (editor_.notify_depth_++ == 0) editor_.edits_.clear();
  }
  ~Notify() {
    if (--editor_.notify_depth_ > 0) return;
    // Whoever numbers rows hears when the top row's number becomes known or changes.
    const std::optional<std::size_t> number = editor_.view_.TopRowNumber();
    if (number != editor_.announced_top_number_) {
      editor_.announced_top_number_ = number;
      editor_.pending_ |= kViewMoved;
    }
    const unsigned changed = std::exchange(editor_.pending_, 0u);
    if (changed != 0 && editor_.on_change) editor_.on_change(changed);
  }
  Notify(const Notify&) = delete;
  Notify& operator=(const Notify&) = delete;

 private:
  Editor& editor_;
};

Editor::Editor(RowGeometry& geometry, std::unique_ptr<text::CharMetrics> metrics, float width)
    : geometry_(geometry), metrics_(std::move(metrics)), document_(*metrics_, width),
      view_(document_) {}

void Editor::Announce(unsigned changed) { pending_ |= changed; }

// --- The text ------------------------------------------------------------------------------

void Editor::SetText(std::u16string text) { Adopt(text::TextBuffer(std::move(text))); }

void Editor::Adopt(text::TextBuffer buffer) {
  Notify notify(*this);
  const std::size_t old_length = Length();
  document_.Adopt(std::move(buffer));
  Record(text::Change{.position = 0, .removed = old_length, .inserted = Length()}, {},
         /*whole_text=*/true);
  selection_ = Selection{};
  preferred_x_.reset();
  composition_.clear();
  view_.Reset();
  announced_top_number_.reset();
  Announce(kTextChanged | kSelectionChanged | kViewMoved);
}

// --- Look ----------------------------------------------------------------------------------

void Editor::SetLayout(std::unique_ptr<text::CharMetrics> metrics, float width) {
  Notify notify(*this);
  const std::size_t top = view_.TopPosition();
  const bool caret_shown = CaretOnScreen().has_value();
  document_.SetLayout(*metrics, width);
  metrics_ = std::move(metrics);
  view_.PutAtTop(top);
  if (caret_shown) RevealCaret();
  announced_top_number_.reset();
  Announce(kLookChanged | kViewMoved);
}

void Editor::SetWidth(float width) {
  if (std::abs(document_.Width() - width) < 0.5f) return;
  Notify notify(*this);
  const std::size_t top = view_.TopPosition();
  const bool caret_shown = CaretOnScreen().has_value();
  document_.SetLayout(*metrics_, width);
  view_.PutAtTop(top);
  if (caret_shown) RevealCaret();
  announced_top_number_.reset();
  Announce(kLookChanged | kViewMoved);
}

void Editor::SetVisibleRows(int rows) {
  Notify notify(*this);
  view_.SetVisibleRows(rows);
  // A taller view shows more of the end rather than empty rows below it.
  view_.ScrollTo(view_.Top());
  Announce(kViewMoved);
}

// --- Rows and the caret's place --------------------------------------------------------------

ScreenRow Editor::RowAt(text::RowPlace place) {
  const text::RowSpan span = document_.RowOfLine(place.line, place.row_in_line);
  const std::size_t line_start = Buffer().LineStart(place.line);
  return ScreenRow{place, line_start + span.start, line_start + span.end,
                   span.end == Buffer().LineLength(place.line)};
}

RowText Editor::TextOf(const ScreenRow& row, std::u16string& scratch) const {
  scratch = Buffer().Substring(row.start, row.end - row.start);
  return RowText{scratch, text::ParagraphDirection(Buffer(), row.place.line)};
}

text::RowPlace Editor::CaretPlace() {
  const Caret& caret = selection_.caret;
  text::RowPlace place = document_.PlaceOfPosition(caret.position);
  // Where a wrapped line's row ends the next begins: upstream, the caret is at the end of the
  // row before.
  if (caret.affinity == Affinity::kUpstream && place.row_in_line > 0 &&
      RowAt(place).start == caret.position) {
    --place.row_in_line;
  }
  return place;
}

float Editor::XOfCaret() {
  const ScreenRow row = RowAt(CaretPlace());
  std::u16string scratch;
  return geometry_.XOfOffset(TextOf(row, scratch), selection_.caret.position - row.start);
}

Caret Editor::CaretInRow(text::RowPlace place, float x) {
  const ScreenRow row = RowAt(place);
  std::u16string scratch;
  const RowText text = TextOf(row, scratch);
  const std::size_t length = text.text.size();
  std::size_t offset = std::min(geometry_.OffsetAtX(text, x), length);
  // Never inside a cluster, whatever the window system's idea of one.
  if (offset > 0 && offset < length) {
    const std::size_t before = text::PreviousClusterBoundary(text.text, offset);
    if (text::NextClusterBoundary(text.text, before) != offset) offset = before;
  }
  // Past the end of a wrapped row the caret stays at the end of that row.
  const bool upstream = offset == length && length > 0 && !row.ends_line;
  return Caret{row.start + offset, upstream ? Affinity::kUpstream : Affinity::kDownstream};
}

std::optional<Editor::CaretSpot> Editor::CaretOnScreen() {
  const std::optional<std::size_t> index = view_.IndexOnScreen(CaretPlace());
  if (!index) return std::nullopt;
  return CaretSpot{*index, XOfCaret()};
}

std::size_t Editor::ClusterStart(std::size_t position) const {
  position = std::min(position, Length());
  if (position == Length() || text::IsClusterBoundary(Buffer(), position)) return position;
  return text::PreviousClusterBoundary(Buffer(), position);
}

// --- Caret and selection ----------------------------------------------------------------------

void Editor::RevealCaret() {
  if (view_.Reveal(CaretPlace())) Announce(kViewMoved);
}

void Editor::PlaceCaret(Caret caret, Selecting selecting) {
  selection_.caret = caret;
  if (selecting == Selecting::kNo) selection_.anchor = caret.position;
  document_.BreakUndoGroup();
  RevealCaret();
  Announce(kSelectionChanged);
}

void Editor::Select(std::size_t anchor, std::size_t caret) {
  Notify notify(*this);
  preferred_x_.reset();
  selection_.anchor = ClusterStart(anchor);
  PlaceCaret(Caret{ClusterStart(caret)}, Selecting::kExtend);
}

void Editor::SelectAll() {
  Notify notify(*this);
  preferred_x_.reset();
  selection_.anchor = 0;
  PlaceCaret(Caret{Length()}, Selecting::kExtend);
}

std::u16string Editor::SelectedText() const {
  return Buffer().Substring(selection_.Start(), selection_.Length());
}

std::u16string Editor::SelectedTextForClipboard() const {
  return WithLineBreaks(SelectedText(), clipboard_break_);
}

Caret Editor::Horizontal(ScreenSide side) {
  const std::size_t position = selection_.caret.position;
  const ScreenRow row = RowAt(CaretPlace());
  std::u16string scratch;
  const RowText text = TextOf(row, scratch);
  const bool forward = (side == ScreenSide::kRight) == (text.direction == Direction::kLeftToRight);
  if (text.direction == Direction::kRightToLeft || HasRightToLeft(text.text)) {
    // Text of mixed direction moves in the order it is seen; only the window system knows it.
    const std::size_t offset = position - row.start;
    if (const auto step = geometry_.StepOnScreen(text, offset, side)) {
      const std::size_t at = row.start + std::min(*step, text.text.size());
      const bool upstream = at == row.end && !row.ends_line && row.end > row.start;
      return Caret{at, upstream ? Affinity::kUpstream : Affinity::kDownstream};
    }
    // At the row's edge: on to the next row or back to the one before, in reading order.
    if (forward && position != row.end) return Caret{row.end};
    if (!forward && position != row.start) return Caret{row.start};
  }
  return Caret{forward ? text::NextClusterBoundary(Buffer(), position)
                       : text::PreviousClusterBoundary(Buffer(), position)};
}

Caret Editor::Vertical(std::ptrdiff_t rows) {
  if (!preferred_x_) preferred_x_ = XOfCaret();
  const text::RowPlace from = CaretPlace();
  const text::RowPlace to = document_.MoveByRows(from, rows);
  // Up from the first row goes to the start, down from the last to the end.
  if (to == from) return Caret{rows < 0 ? 0 : Length()};
  return CaretInRow(to, *preferred_x_);
}

Caret Editor::Page(std::ptrdiff_t direction) {
  // The view and the caret move together, so the caret keeps its place on screen; at the end of
  // the document the view stops and the caret goes on to the last row.
  const std::ptrdiff_t page = std::max(1, view_.VisibleRows() - 1);
  if (view_.ScrollBy(direction * page)) Announce(kViewMoved);
  return Vertical(direction * page);
}

void Editor::Move(Motion motion, Selecting selecting) {
  Notify notify(*this);
  const bool vertical = motion == Motion::kUp || motion == Motion::kDown ||
                        motion == Motion::kPageUp || motion == Motion::kPageDown;
  if (!vertical) preferred_x_.reset();
  const std::size_t position = selection_.caret.position;
  // Left or Right without Shift ends a selection at its own edge.
  if (selecting == Selecting::kNo && !selection_.Empty() &&
      (motion == Motion::kLeft || motion == Motion::kRight)) {
    PlaceCaret(Caret{motion == Motion::kLeft ? selection_.Start() : selection_.End()},
               Selecting::kNo);
    return;
  }
  Caret target;
  switch (motion) {
    case Motion::kLeft:
      target = Horizontal(ScreenSide::kLeft);
      break;
    case Motion::kRight:
      target = Horizontal(ScreenSide::kRight);
      break;
    case Motion::kWordLeft:
      target = Caret{text::PreviousWordStop(Buffer(), position)};
      break;
    case Motion::kWordRight:
      target = Caret{text::NextWordStop(Buffer(), position)};
      break;
    case Motion::kUp:
      target = Vertical(-1);
      break;
    case Motion::kDown:
      target = Vertical(1);
      break;
    case Motion::kPageUp:
      target = Page(-1);
      break;
    case Motion::kPageDown:
      target = Page(1);
      break;
    case Motion::kRowStart:
      target = Caret{RowAt(CaretPlace()).start};
      break;
    case Motion::kRowEnd: {
      const ScreenRow row = RowAt(CaretPlace());
      // After the row's last character, shown at the end of that row even where the next row
      // begins at the same position.
      const bool upstream = !row.ends_line && row.end > row.start;
      target = Caret{row.end, upstream ? Affinity::kUpstream : Affinity::kDownstream};
      break;
    }
    case Motion::kDocumentStart:
      target = Caret{0};
      break;
    case Motion::kDocumentEnd:
      target = Caret{Length()};
      break;
  }
  PlaceCaret(target, selecting);
}

// --- The mouse ---------------------------------------------------------------------------------

text::RowPlace Editor::PlaceAtScreenRow(std::ptrdiff_t screen_row) {
  const std::vector<ScreenRow>& rows = view_.Rows();
  if (screen_row < 0) return document_.MoveByRows(view_.Top(), screen_row);
  const auto index = static_cast<std::size_t>(screen_row);
  if (index < rows.size()) return rows[index].place;
  return document_.MoveByRows(rows.back().place, screen_row - std::ptrdiff_t(rows.size() - 1));
}

Caret Editor::CaretAt(std::ptrdiff_t screen_row, float x) {
  return CaretInRow(PlaceAtScreenRow(screen_row), x);
}

std::size_t Editor::CharacterAt(std::ptrdiff_t screen_row, float x) {
  const text::RowPlace place = PlaceAtScreenRow(screen_row);
  const Caret caret = CaretInRow(place, x);
  const ScreenRow row = RowAt(place);
  std::u16string scratch;
  const RowText text = TextOf(row, scratch);
  if (caret.position == row.start) return caret.position;
  // The caret goes to the nearer edge of the character under the point; left of that edge, in
  // left-to-right text, the point is over the character before it.
  const float edge = geometry_.XOfOffset(text, caret.position - row.start);
  const bool before = text.direction == Direction::kLeftToRight ? x < edge : x > edge;
  return before ? text::PreviousClusterBoundary(Buffer(), caret.position) : caret.position;
}

std::size_t Editor::LineEndWithBreak(std::size_t position) const {
  const std::size_t line = Buffer().LineOfPosition(position);
  return Buffer().LineStart(line) + Buffer().LineLength(line) + Buffer().BreakLength(line);
}

void Editor::Click(std::ptrdiff_t screen_row, float x, ClickCount count, Selecting selecting) {
  Notify notify(*this);
  preferred_x_.reset();
  click_count_ = count;
  if (count == ClickCount::kSingle) {
    const Caret caret = CaretAt(screen_row, x);
    click_start_ = click_end_ = caret.position;
    PlaceCaret(caret, selecting);
    return;
  }
  const std::size_t at = CharacterAt(screen_row, x);
  if (count == ClickCount::kDouble) {
    const text::TextSpan word = text::WordAt(Buffer(), at);
    click_start_ = word.start;
    click_end_ = word.end;
  } else {
    click_start_ = Buffer().LineStart(Buffer().LineOfPosition(at));
    click_end_ = LineEndWithBreak(at);
  }
  selection_.anchor = click_start_;
  PlaceCaret(Caret{click_end_}, Selecting::kExtend);
}

void Editor::DragTo(std::ptrdiff_t screen_row, float x) {
  Notify notify(*this);
  if (click_count_ == ClickCount::kSingle) {
    PlaceCaret(CaretAt(screen_row, x), Selecting::kExtend);
    return;
  }
  // Whole words or whole lines, from the ones first clicked to the one under the point.
  const std::size_t at = CharacterAt(screen_row, x);
  std::size_t start = 0;
  std::size_t end = 0;
  if (click_count_ == ClickCount::kDouble) {
    const text::TextSpan word = text::WordAt(Buffer(), at);
    start = word.start;
    end = word.end;
  } else {
    start = Buffer().LineStart(Buffer().LineOfPosition(at));
    end = LineEndWithBreak(at);
  }
  if (start < click_start_) {
    selection_.anchor = click_end_;
    PlaceCaret(Caret{start}, Selecting::kExtend);
  } else {
    selection_.anchor = click_start_;
    PlaceCaret(Caret{std::max(end, click_end_)}, Selecting::kExtend);
  }
}

bool Editor::IsSelectedAt(std::ptrdiff_t screen_row, float x) {
  if (selection_.Empty()) return false;
  const std::size_t at = CharacterAt(screen_row, x);
  return at >= selection_.Start() && at < selection_.End();
}

// --- Editing -------------------------------------------------------------------------------------

void Editor::Edit(std::size_t position, std::size_t length, std::u16string_view replacement,
                  text::Merge merge) {
  Notify notify(*this);
  const std::size_t top = view_.TopPosition();
  std::u16string removed = Buffer().Substring(position, std::min(length, kKeptRemovedUnits));
  const text::Change change = document_.Replace(position, length, replacement, merge);
  Record(change, std::move(removed));
  AfterChange(change, position + replacement.size(), top);
}

void Editor::Record(const text::Change& change, std::u16string removed_text, bool whole_text) {
  if (change.removed == 0 && change.inserted == 0 && !whole_text) return;
  removed_text.resize(std::min(removed_text.size(), change.removed));
  // Read right after the change: a later edit of the same call may move or take it.
  std::u16string inserted_text =
      whole_text ? std::u16string() : Buffer().Substring(change.position, change.inserted);
  edits_.push_back(TextEdit{change.position, change.removed, change.inserted,
                            std::move(removed_text), std::move(inserted_text), whole_text});
}

void Editor::AfterChange(const text::Change& change, std::size_t caret, std::size_t top) {
  caret = std::min(caret, Length());
  selection_ = Selection{Caret{caret}, caret};
  preferred_x_.reset();
  // The text at the top stays there, moved along by what changed before it.
  if (change.position < top) {
    top = change.position + change.removed <= top ? top - change.removed + change.inserted
                                                  : change.position;
  }
  const text::RowPlace old_top = view_.Top();
  view_.PutAtTop(top);
  if (!(view_.Top() == old_top)) Announce(kViewMoved);
  RevealCaret();
  Announce(kTextChanged | kSelectionChanged);
}

void Editor::Type(std::u16string_view typed) {
  const std::u16string units = WithLineBreaks(typed, new_line_);
  if (units.empty()) return;
  std::size_t start = selection_.Start();
  std::size_t length = selection_.Length();
  if (overwrite_ && length == 0) {
    // As many characters as were typed give way, but never the line's break.
    const std::size_t line = Buffer().LineOfPosition(start);
    const std::size_t line_end = Buffer().LineStart(line) + Buffer().LineLength(line);
    std::size_t end = start;
    for (std::size_t at = 0; at < units.size() && end < line_end;
         at = text::NextClusterBoundary(units, at)) {
      end = std::min(line_end, text::NextClusterBoundary(Buffer(), end));
    }
    length = end - start;
  }
  Edit(start, length, units, text::Merge::kWithPrevious);
}

void Editor::NewLine() {
  // A new line is a step of its own: undo takes back a line's typing, then the break.
  Notify notify(*this);
  document_.BreakUndoGroup();
  Edit(selection_.Start(), selection_.Length(), new_line_, text::Merge::kNever);
  document_.BreakUndoGroup();
}

void Editor::DeleteBackward(DeleteUnit unit) {
  if (!selection_.Empty()) {
    Edit(selection_.Start(), selection_.Length(), u"", text::Merge::kNever);
    return;
  }
  const std::size_t caret = selection_.caret.position;
  const std::size_t from = unit == DeleteUnit::kWord ? text::PreviousWordStop(Buffer(), caret)
                                                     : text::PreviousClusterBoundary(Buffer(), caret);
  if (from < caret) Edit(from, caret - from, u"", text::Merge::kWithPrevious);
}

void Editor::DeleteForward(DeleteUnit unit) {
  if (!selection_.Empty()) {
    Edit(selection_.Start(), selection_.Length(), u"", text::Merge::kNever);
    return;
  }
  const std::size_t caret = selection_.caret.position;
  const std::size_t to = unit == DeleteUnit::kWord ? text::NextWordStop(Buffer(), caret)
                                                   : text::NextClusterBoundary(Buffer(), caret);
  if (to > caret) Edit(caret, to - caret, u"", text::Merge::kWithPrevious);
}

std::u16string Editor::Cut() {
  if (selection_.Empty()) return {};
  std::u16string cut = SelectedTextForClipboard();
  Edit(selection_.Start(), selection_.Length(), u"", text::Merge::kNever);
  return cut;
}

void Editor::Paste(std::u16string_view pasted) {
  if (pasted.empty()) return;
  Notify notify(*this);
  document_.BreakUndoGroup();
  Edit(selection_.Start(), selection_.Length(), WithLineBreaks(pasted, new_line_),
       text::Merge::kNever);
  document_.BreakUndoGroup();
}

void Editor::ReplaceSelection(std::u16string_view replacement) {
  Notify notify(*this);
  document_.BreakUndoGroup();
  Edit(selection_.Start(), selection_.Length(), replacement, text::Merge::kNever);
  document_.BreakUndoGroup();
}

void Editor::Replace(std::size_t position, std::size_t length, std::u16string_view replacement) {
  const std::size_t start = ClusterStart(position);
  const std::size_t end = ClusterStart(start + std::min(length, Length() - start));
  const std::u16string units = WithLineBreaks(replacement, new_line_);
  if (end <= start && units.empty()) return;
  Notify notify(*this);
  document_.BreakUndoGroup();
  Edit(start, end > start ? end - start : 0, units, text::Merge::kNever);
  document_.BreakUndoGroup();
}

void Editor::Drop(std::size_t position, std::u16string_view dropped) {
  const std::u16string units = WithLineBreaks(dropped, new_line_);
  if (units.empty()) return;
  Notify notify(*this);
  position = ClusterStart(position);
  document_.BreakUndoGroup();
  Edit(position, 0, units, text::Merge::kNever);
  document_.BreakUndoGroup();
  selection_.anchor = position;
  PlaceCaret(Caret{position + units.size()}, Selecting::kExtend);
}

void Editor::DragSelectionTo(std::size_t position, DragAction action) {
  if (selection_.Empty()) return;
  Notify notify(*this);
  position = ClusterStart(position);
  const std::size_t start = selection_.Start();
  const std::size_t end = selection_.End();
  const std::u16string moved = SelectedText();
  document_.BreakUndoGroup();
  std::size_t new_start = position;
  if (action == DragAction::kCopy) {
    Edit(position, 0, moved, text::Merge::kNever);
  } else if (position >= start && position <= end) {
    // Dropped onto itself: nothing moves.
    new_start = start;
  } else if (position < start) {
    // One replacement of the stretch the text moves across, so that one undo takes it back.
    Edit(position, end - position, moved + Buffer().Substring(position, start - position),
         text::Merge::kNever);
  } else {
    Edit(start, position - start, Buffer().Substring(end, position - end) + moved,
         text::Merge::kNever);
    new_start = position - moved.size();
  }
  document_.BreakUndoGroup();
  selection_.anchor = new_start;
  PlaceCaret(Caret{new_start + moved.size()}, Selecting::kExtend);
}

void Editor::Undo() {
  Notify notify(*this);
  const std::size_t top = view_.TopPosition();
  if (const auto change = document_.Undo()) {
    Record(*change, {});
    AfterChange(*change, change->position + change->inserted, top);
  }
}

void Editor::Redo() {
  Notify notify(*this);
  const std::size_t top = view_.TopPosition();
  if (const auto change = document_.Redo()) {
    Record(*change, {});
    AfterChange(*change, change->position + change->inserted, top);
  }
}

void Editor::ToggleOverwrite() {
  Notify notify(*this);
  overwrite_ = !overwrite_;
  Announce(kSelectionChanged);
}

// --- The input method ------------------------------------------------------------------------

void Editor::SetComposition(std::u16string composition, std::size_t cursor) {
  Notify notify(*this);
  composition_ = std::move(composition);
  composition_cursor_ = std::min(cursor, composition_.size());
  if (!composition_.empty()) RevealCaret();
  Announce(kSelectionChanged);
}

void Editor::Commit(std::u16string_view committed, std::ptrdiff_t replace_from,
                    std::size_t replace_length) {
  Notify notify(*this);
  composition_.clear();
  composition_cursor_ = 0;
  Announce(kSelectionChanged);
  if (committed.empty() && replace_length == 0) return;
  std::size_t start = selection_.Start();
  std::size_t length = selection_.Length();
  if (replace_length > 0 && length == 0) {
    // Text around the caret that the input method takes back.
    const auto from = static_cast<std::ptrdiff_t>(selection_.caret.position) + replace_from;
    start = static_cast<std::size_t>(
        std::clamp<std::ptrdiff_t>(from, 0, static_cast<std::ptrdiff_t>(Length())));
    length = std::min(replace_length, Length() - start);
  }
  Edit(start, length, WithLineBreaks(committed, new_line_), text::Merge::kWithPrevious);
}

std::vector<ComposedRow> Editor::ComposedCaretRow() {
  const ScreenRow row = RowAt(CaretPlace());
  const std::size_t caret = selection_.caret.position - row.start;
  std::u16string shown = Buffer().Substring(row.start, caret);
  shown += composition_;
  shown += Buffer().Substring(row.start + caret, row.end - row.start - caret);
  // Wrapped at the rows' width like any row, so the composition never runs off the view.
  std::vector<std::size_t> starts{0};
  text::RowBreaker breaker(*metrics_, document_.Width());
  breaker.CollectStarts(&starts);
  breaker.Feed(shown);
  breaker.Finish();
  starts.push_back(shown.size());

  const std::size_t composition_end = caret + composition_.size();
  const std::size_t cursor = caret + composition_cursor_;
  std::vector<ComposedRow> rows;
  for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
    const std::size_t from = starts[i];
    const std::size_t to = starts[i + 1];
    ComposedRow composed;
    composed.text = shown.substr(from, to - from);
    composed.composition_start = std::clamp(caret, from, to) - from;
    composed.composition_end = std::clamp(composition_end, from, to) - from;
    const bool last = i + 2 == starts.size();
    if (cursor >= from && (cursor < to || last)) composed.cursor = cursor - from;
    rows.push_back(std::move(composed));
  }
  return rows;
}

// --- The view ----------------------------------------------------------------------------------

bool Editor::ScrollBy(std::ptrdiff_t rows) {
  Notify notify(*this);
  const bool moved = view_.ScrollBy(rows);
  if (moved) Announce(kViewMoved);
  return moved;
}

bool Editor::ScrollToBarValue(int value) {
  Notify notify(*this);
  const bool moved = view_.ScrollToBarValue(value);
  if (moved) Announce(kViewMoved);
  return moved;
}

bool Editor::ScrollToShow(std::size_t position) {
  Notify notify(*this);
  const bool moved = view_.Reveal(PlaceOf(std::min(position, Length())));
  if (moved) Announce(kViewMoved);
  return moved;
}

bool Editor::CountSome() {
  {
    Notify notify(*this);
    view_.CountSome();
  }
  // Asked after whoever heard of the new numbers had their say: they may have changed the layout
  // (the gutter may take room from the view) and so uncounted every row again.
  return !view_.AllCounted();
}

}  // namespace tambrel::editor
