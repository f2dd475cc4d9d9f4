// Decodes the input into a session of edits, undos, redos, counting and questions on a
// WrappedText and the TextBuffer under it, and replays every edit on a plain string with an undo
// history of its own. After every step the text, its lines, the undo state and the invariants of
// every structure underneath are checked; every answer about rows is compared with the plain
// string wrapped line by line by the reference wrap model (or, in a font the model does not
// know, by the row breaker wrapping each line whole). Everything is small (long lines from
// a few units, chunks of a few units, leaves of 8 lines under nodes of 4), so that short inputs
// reach the edges: CR LF formed and broken across edits, surrogate pairs put together from
// halves, long lines wrapped part way, re-wrapped after edits, dropped and found again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/byte_reader.h"
#include "text/tests/change_check.h"
#include "text/tests/plain_history.h"
#include "text/tests/plain_line_list.h"
#include "text/tests/stored_part.h"
#include "text/tests/test_metrics.h"
#include "text/tests/wrapped_reference.h"
#include "text/wrapped_text.h"

namespace {

using namespace tambrel::text;
using tambrel::fuzz::ByteReader;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "text_core_fuzzer: %s\n", what.c_str());
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

void CheckNoProblem(const std::optional<std::string>& problem) {
  if (problem) Fail(*problem);
}

constexpr float kWidths[] = {0, 15, 35, 100, 155.5f};
// What the text is made of: letters, a wide letter, spaces and tabs, an ideograph, punctuation
// that may not start or end a row, a combining mark, a zero-width space, and what joins code
// points into clusters drawn whole: both halves of an emoji, a zero-width joiner, a variation
// selector, the halves of two regional indicators (a flag) and of a skin tone, a Hangul leading
// consonant and vowel. Both breaks come last.
constexpr char16_t kUnits[] = {u'a',      u'W',      u' ',      u'\t',     u'中',  u'，',
                               u'（',     u'!',      u'\u0301', u'\u200B', 0xD83D, 0xDE00,
                               u'\u200D', u'\uFE0F', 0xD83C,    0xDDE8,    0xDDF3, 0xDFFB,
                               u'\u1100', u'\u1161', u'\r',     u'\n'};
// The first units of kUnits, those that are no line break.
constexpr std::size_t kUnbroken = std::size(kUnits) - 2;
// Whole clusters of several units, which single units rarely make: a flag, a family, a thumb
// with a skin tone, a Hangul syllable in jamo, a letter with a mark, a heart drawn as an emoji.
constexpr std::u16string_view kClusters[] = {
    u"🇨🇳", u"👨‍👩‍👧", u"👍🏻", u"\u1100\u1161", u"e\u0301", u"❤\uFE0F"};
// Texts stay short enough that every step can check everything.
constexpr std::size_t kMostUnits = 3000;
constexpr std::size_t kMostSteps = 400;

// The test font but for clusters of several code points, each drawn as one narrow glyph: the
// part of a cluster before a cut is then wider than the whole, as a family's first face alone is
// in a real emoji font.
CharMetrics ClustersNarrowerThanTheirParts() {
  return CharMetrics(
      TestAdvance, [](std::u16string_view) -> float { return 4; }, kTestTabStop);
}

class Session {
 public:
  explicit Session(ByteReader& input)
      : input_(input),
        reference_font_(input.Bit()),
        metrics_(reference_font_ ? TestMetrics() : ClustersNarrowerThanTheirParts()),
        width_(kWidths[input.Byte() % std::size(kWidths)]) {
    WrapLimits limits;
    limits.long_line_units = 2 + input_.Byte() % 48;
    long_line_units_ = limits.long_line_units;
    limits.most_long_lines = 1 + input_.Byte() % 4;
    constexpr std::size_t kEditCounts[] = {0, 1, 16, 256, WrapLimits{}.edit_count_units};
    limits.edit_count_units = kEditCounts[input_.Byte() % std::size(kEditCounts)];
    if (input_.Bit()) limits.row_index = {8, 4};
    chunks_.open_chunk_units = 1 + input_.Byte() % 64;
    chunks_.own_chunk_units = 1 + input_.Byte() % chunks_.open_chunk_units;
    wrapped_.emplace(metrics_, width_, limits);
    Reset(Text(input_.UpTo(200)));
  }

  void Step() {
    const std::uint8_t operation = input_.Byte();
    const Merge merge = (operation & 0x80) != 0 ? Merge::kWithPrevious : Merge::kNever;
    switch (operation % 20) {
      case 0:
      case 1:
        Type(merge);
        break;
      case 2:
        Delete(merge);
        break;
      case 3:
        ReplaceSome(merge);
        break;
      case 4:
        Undo();
        break;
      case 5:
        Redo();
        break;
      case 6:
        wrapped_->BreakUndoGroup();
        plain_.BreakUndoGroup();
        break;
      case 7:
        CrLfInTwoEdits(merge);
        break;
      case 8:
        TouchCrLf(merge);
        break;
      case 9:
        SurrogateHalves(merge);
        break;
      case 10:
        LongLine(merge);
        break;
      case 11:
        CountSome();
        break;
      case 12:
        AskAboutLines();
        break;
      case 13:
        AskAboutRowsOfLines();
        break;
      case 14:
        AskAboutPlaces();
        break;
      case 15:
        AskWithoutCounting();
        break;
      case 16:
        CountAllAndAsk();
        break;
      case 17:
        width_ = kWidths[input_.Byte() % std::size(kWidths)];
        wrapped_->SetLayout(metrics_, width_);
        Check(wrapped_->CountedLines() == 0 && !wrapped_->TotalRows(),
              "rows are known after a new layout");
        break;
      case 18:
        if (input_.Byte() < 16) {
          Reset(Text(input_.UpTo(200)));
        } else {
          PasteFromStorage(merge);
        }
        break;
      default:
        PasteRepeated(merge);
        break;
    }
    CheckAll();
  }

 private:
  // --- Making text -------------------------------------------------------------------------

  // About `length` units, a unit or a whole cluster at a time.
  std::u16string Text(std::size_t length, bool breaks = true) {
    const std::size_t units = breaks ? std::size(kUnits) : kUnbroken;
    std::u16string text;
    while (text.size() < length) {
      const std::size_t pick = input_.Byte() % (units + std::size(kClusters));
      if (pick < units) {
        text += kUnits[pick];
      } else {
        text += kClusters[pick - units];
      }
    }
    return text;
  }

  // A few units said once and repeated, for long runs from short input.
  std::u16string Repeated(std::size_t length, bool breaks = true) {
    const std::u16string pattern = Text(1 + input_.UpTo(3), breaks);
    std::u16string text;
    while (text.size() < length) text += pattern;
    return text;
  }

  std::size_t Position() { return input_.UpTo(plain_.text.size()); }
  std::size_t LastLine() const { return wrapped_->Buffer().LineCount() - 1; }

  // --- Edits, each replayed on the plain string ----------------------------------------------
  // Each reads what it needs in statements of its own, so that an input means the same whatever
  // order a compiler evaluates arguments in.

  void Type(Merge merge) {
    const std::size_t position = Position();
    Edit(position, 0, Text(input_.UpTo(8)), merge);
  }

  void Delete(Merge merge) {
    const std::size_t position = Position();
    Edit(position, input_.UpTo(12), u"", merge);
  }

  void ReplaceSome(Merge merge) {
    const std::size_t position = Position();
    const std::size_t length = input_.UpTo(40);
    Edit(position, length, Text(input_.UpTo(40)), merge);
  }

  void PasteRepeated(Merge merge) {
    const std::size_t position = Position();
    Edit(position, 0, Repeated(input_.UpTo(60)), merge);
  }

  void CountSome() {
    const std::size_t units = 1 + input_.UpTo(200);
    wrapped_->CountSome(units, input_.UpTo(LastLine()));
  }

  void Reset(std::u16string text) {
    plain_ = PlainHistory{};
    plain_.text = text;
    switch (input_.Byte() % 3) {
      case 0:
        wrapped_->Adopt(TextBuffer(std::move(text), chunks_));
        break;
      case 1:
        wrapped_->Adopt(TextBuffer(InParts(text), chunks_));
        break;
      default:
        AdoptInRuns(text);
        break;
    }
  }

  // The text cut into runs that take turns between two parts, as a large document's decode
  // stores ASCII and the rest apart; a part of nothing but ASCII kept a byte each when the input
  // says so.
  void AdoptInRuns(std::u16string_view text) {
    std::u16string rooms[2];
    std::vector<PartRun> runs;
    const std::size_t count = 1 + input_.UpTo(5);
    std::size_t from = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t to = k + 1 == count ? text.size() : from + input_.UpTo(text.size() - from);
      std::u16string& room = rooms[k % 2];
      runs.push_back({static_cast<std::uint32_t>(k % 2), room.size(), to - from});
      room += text.substr(from, to - from);
      from = to;
    }
    std::vector<TextPart> parts;
    for (const std::u16string& room : rooms) parts.push_back(Stored(room));
    wrapped_->Adopt(TextBuffer(std::move(parts), std::move(runs), chunks_));
  }

  // The text cut into up to four parts as a large document's decode makes them, each kept as the
  // input says.
  std::vector<TextPart> InParts(std::u16string_view text) {
    std::vector<TextPart> parts;
    const std::size_t count = 1 + input_.UpTo(3);
    std::size_t from = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t to = k + 1 == count ? text.size() : from + input_.UpTo(text.size() - from);
      const std::u16string_view units = text.substr(from, to - from);
      from = to;
      parts.push_back(Stored(units));
    }
    return parts;
  }

  // A part keeping its units as the input says: in UTF-16, ASCII a byte each, or as bytes decoded
  // where read, in blocks short enough that a unit and a view cross them.
  TextPart Stored(std::u16string_view units) {
    switch (input_.UpTo(2)) {
      case 0:
        return StoredPart(units, PartStorage::kUtf16);
      case 1:
        return StoredPart(units, PartStorage::kAsciiInBytes);
      default:
        return StoredPart(units, PartStorage::kCoded, 1 + input_.UpTo(12));
    }
  }

  void Edit(std::size_t position, std::size_t length, std::u16string_view text, Merge merge) {
    if (plain_.text.size() + text.size() > kMostUnits) return;
    const std::u16string before = plain_.text;
    const std::size_t at = std::min(position, before.size());
    const std::size_t removed = std::min(length, before.size() - at);
    const Change change = wrapped_->Replace(position, length, text, merge);
    plain_.Replace(position, length, text, merge);
    Check(change.position == at && change.removed == removed && change.inserted == text.size(),
          "Replace reports another edit than it was asked for");
    CheckNoProblem(ChangeProblem(change, before, plain_.text));
    CheckAll();
  }

  void Undo() {
    const std::u16string before = plain_.text;
    const std::optional<Change> change = wrapped_->Undo();
    Check(change.has_value() == plain_.Undo(), "Undo disagrees on whether there is a step");
    if (change) CheckNoProblem(ChangeProblem(*change, before, plain_.text));
  }

  void Redo() {
    const std::u16string before = plain_.text;
    const std::optional<Change> change = wrapped_->Redo();
    Check(change.has_value() == plain_.Redo(), "Redo disagrees on whether there is a step");
    if (change) CheckNoProblem(ChangeProblem(*change, before, plain_.text));
  }

  // A CR and an LF typed apart that meet as one break: the LF after the CR, or the CR before the
  // LF.
  void CrLfInTwoEdits(Merge merge) {
    const std::size_t position = Position();
    if (input_.Bit()) {
      Edit(position, 0, u"\r", merge);
      Edit(position + 1, 0, u"\n", merge);
    } else {
      Edit(position, 0, u"\n", merge);
      Edit(position, 0, u"\r", merge);
    }
  }

  // Takes one half of a CR LF away, or puts text between its halves; makes one when there is none.
  void TouchCrLf(Merge merge) {
    const std::size_t from = Position();
    std::size_t pair = plain_.text.find(u"\r\n", from);
    if (pair == std::u16string::npos) pair = plain_.text.find(u"\r\n");
    if (pair == std::u16string::npos) {
      Edit(from, 0, u"\r\n", merge);
      return;
    }
    switch (input_.Byte() % 3) {
      case 0:
        Edit(pair, 1, u"", merge);
        break;
      case 1:
        Edit(pair + 1, 1, u"", merge);
        break;
      default:
        Edit(pair + 1, 0, Text(1 + input_.UpTo(3)), merge);
        break;
    }
  }

  // The halves of a surrogate pair typed apart, in either order, or one alone.
  void SurrogateHalves(Merge merge) {
    const std::size_t position = Position();
    switch (input_.Byte() % 3) {
      case 0:
        Edit(position, 0, u"\xD83D", merge);
        Edit(position + 1, 0, u"\xDE00", merge);
        break;
      case 1:
        Edit(position, 0, u"\xDE00", merge);
        Edit(position, 0, u"\xD83D", merge);
        break;
      default:
        Edit(position, 0, input_.Bit() ? u"\xD83D" : u"\xDE00", merge);
        break;
    }
  }

  // A run without breaks at least as long as a long line, a few units said once and repeated.
  void LongLine(Merge merge) {
    const std::size_t position = Position();
    const std::size_t length = long_line_units_ + input_.UpTo(2 * long_line_units_);
    Edit(position, 0, Repeated(length, false), merge);
  }

  // Part of the text copied straight from storage, as a view of the buffer's own units.
  void PasteFromStorage(Merge merge) {
    const TextBuffer& buffer = wrapped_->Buffer();
    std::u16string scratch;
    std::u16string_view copied;
    if (input_.Bit()) {
      const std::size_t from = Position();
      copied = buffer.SpanAt(from, scratch).substr(0, input_.UpTo(40));
    } else {
      copied = buffer.LineText(input_.UpTo(LastLine()), scratch);
    }
    const std::size_t position = Position();
    Edit(position, input_.UpTo(4), copied, merge);
  }

  // --- Questions, each answered by the model as well -----------------------------------------

  void AskAboutLines() {
    const TextBuffer& buffer = wrapped_->Buffer();
    const std::vector<PlainLine> lines = PlainLines(plain_.text);
    const std::size_t line = input_.UpTo(lines.size() - 1);
    Check(buffer.LineStart(line) == lines[line].start, "LineStart differs");
    Check(buffer.LineLength(line) == lines[line].length, "LineLength differs");
    Check(buffer.BreakLength(line) == lines[line].break_length, "BreakLength differs");
    std::u16string scratch;
    Check(buffer.LineText(line, scratch) ==
              std::u16string_view(plain_.text).substr(lines[line].start, lines[line].length),
          "LineText differs");
    const std::size_t position = Position();
    const auto of_position =
        std::upper_bound(lines.begin(), lines.end(), position,
                         [](std::size_t at, const PlainLine& plain) { return at < plain.start; }) -
        lines.begin() - 1;
    Check(buffer.LineOfPosition(position) == static_cast<std::size_t>(of_position),
          "LineOfPosition differs");
    const std::size_t length = input_.UpTo(64);
    Check(buffer.Substring(position, length) == plain_.text.substr(position, length),
          "Substring differs");
    // A short widening, so that spans of units kept a byte each end early too.
    const std::u16string_view span = buffer.SpanAt(position, scratch, 1 + input_.UpTo(8));
    Check(span.empty() == (position == plain_.text.size()) &&
              plain_.text.compare(position, span.size(), span) == 0,
          "SpanAt differs");
    if (position < plain_.text.size()) {
      Check(buffer.At(position) == plain_.text[position], "At differs");
    }
  }

  void AskAboutRowsOfLines() {
    const WrappedModel model = Model();
    const std::size_t line = input_.UpTo(model.lines.size() - 1);
    const std::size_t rows = model.starts[line].size();
    // A row asked for first, so that a long line is often wrapped only part way.
    const std::size_t row = input_.UpTo(rows + 1);
    const RowSpan span = wrapped_->RowOfLine(line, row);
    const RowSpan expected = model.RowOfLine({line, std::min(row, rows - 1)});
    Check(span.start == expected.start && span.end == expected.end, "RowOfLine differs");
    if (input_.Bit()) Check(wrapped_->RowsOfLine(line) == rows, "RowsOfLine differs");
  }

  void AskAboutPlaces() {
    const WrappedModel model = Model();
    const std::size_t position = Position();
    Check(wrapped_->PlaceOfPosition(position) == model.PlaceOfPosition(position),
          "PlaceOfPosition differs");
    const RowPlace from = model.places[input_.UpTo(model.places.size() - 1)];
    const auto rows = static_cast<std::ptrdiff_t>(static_cast<std::int8_t>(input_.Byte()));
    Check(wrapped_->MoveByRows(from, rows) == model.MoveByRows(from, rows), "MoveByRows differs");
  }

  // Without counting, an answer is the model's or none, and none only where lines are uncounted.
  void AskWithoutCounting() {
    const WrappedModel model = Model();
    const std::size_t counted = wrapped_->CountedLines();
    Check(counted <= model.lines.size(), "more lines counted than there are");
    const bool all = wrapped_->AllCounted();
    Check(all == (counted == model.lines.size()), "AllCounted differs from CountedLines");
    Check(wrapped_->TotalRows() == (all ? std::optional(model.places.size()) : std::nullopt),
          "TotalRows differs");
    const RowPlace place = model.places[input_.UpTo(model.places.size() - 1)];
    const std::optional<std::size_t> number = wrapped_->RowNumberOf(place);
    Check(number.has_value() == (place.line <= counted), "RowNumberOf known or not wrongly");
    Check(!number || *number == model.RowNumber(place), "RowNumberOf differs");
    const std::size_t row = input_.UpTo(model.places.size());
    const std::optional<RowPlace> found = wrapped_->PlaceOfRow(row);
    Check(found.has_value() == (row < model.places.size() && model.places[row].line < counted),
          "PlaceOfRow known or not wrongly");
    Check(!found || *found == model.places[row], "PlaceOfRow differs");
  }

  void CountAllAndAsk() {
    const std::size_t slice = 1 + input_.UpTo(100);
    for (std::size_t calls = 0; !wrapped_->CountSome(slice, input_.UpTo(LastLine())); ++calls) {
      Check(calls < 100'000, "counting does not end");
    }
    // Counting from a line on leaves the lines before it; from the first line finishes them.
    for (std::size_t calls = 0; !wrapped_->CountSome(slice); ++calls) {
      Check(calls < 100'000, "counting does not end");
    }
    const WrappedModel model = Model();
    Check(wrapped_->TotalRows() == model.places.size(), "TotalRows differs once counted");
    Check(wrapped_->EstimatedRows() == model.places.size(), "EstimatedRows is not exact");
    for (std::size_t row = 0; row <= model.places.size(); ++row) {
      const std::optional<RowPlace> expected =
          row < model.places.size() ? std::optional(model.places[row]) : std::nullopt;
      Check(wrapped_->PlaceOfRow(row) == expected, "PlaceOfRow differs once counted");
    }
    for (std::size_t line = 0; line < model.lines.size(); ++line) {
      Check(wrapped_->RowNumberOf({line, 0}) == model.first_row[line],
            "RowNumberOf differs once counted");
    }
  }

  // The rows of the plain string: by the reference wrap model in the test font, or wrapped line
  // by line by the breaker in the other font, which the reference model does not know.
  WrappedModel Model() {
    if (reference_font_) return models_.Next(width_, plain_.text);
    return WrappedModel(metrics_, width_, plain_.text);
  }

  // --- After every step --------------------------------------------------------------------

  void CheckAll() {
    const TextBuffer& buffer = wrapped_->Buffer();
    Check(buffer.Length() == plain_.text.size(), "the length differs");
    Check(buffer.Text() == plain_.text, "the text differs");
    Check(buffer.LineCount() == PlainLines(plain_.text).size(), "the line count differs");
    Check(buffer.CanUndo() == !plain_.undo.empty(), "CanUndo differs");
    Check(buffer.CanRedo() == !plain_.redo.empty(), "CanRedo differs");
    CheckNoProblem(wrapped_->CheckInvariants());
  }

  ByteReader& input_;
  bool reference_font_;
  CharMetrics metrics_;
  float width_;
  std::size_t long_line_units_ = 0;
  ChunkSizes chunks_;
  // Made once the limits are read.
  std::optional<WrappedText> wrapped_;
  PlainHistory plain_;
  WrappedModelSeries models_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  Session session(input);
  for (std::size_t step = 0; step < kMostSteps && !input.Empty(); ++step) session.Step();
  return 0;
}
