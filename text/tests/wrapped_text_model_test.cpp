// Random edits, undos, redos, partial counts and width changes, each followed by a comparison
// with a plain string that replays the same edits, every line of it wrapped whole by the
// reference model, and by a check of the invariants of every structure underneath. Seeds and
// lengths come from the environment (random_settings.h).
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "text/tests/change_check.h"
#include "text/tests/plain_history.h"
#include "text/tests/random_settings.h"
#include "text/tests/test_metrics.h"
#include "text/tests/wrapped_model.h"
#include "text/wrapped_text.h"

namespace tambrel::text {
namespace {

constexpr float kWidths[] = {0, 35, 100, 155.5f};

// Words, ideographs, punctuation, surrogate pairs, combining marks and clusters drawn whole (a
// flag, a family, a thumb with a skin tone); with `breaks` a break of each kind now and then,
// lines of some 60 units on average.
std::u16string RandomText(std::mt19937& random, std::size_t length, bool breaks) {
  static const std::u16string kPieces[] = {u"word",    u" ",  u"中文", u"，",
                                           u"（",      u"\t", u"😀",    u"e\u0301",
                                           u"W",       u"a",  u"🇨🇳",   u"👨\u200D👩\u200D👧",
                                           u"👍🏻"};
  static const std::u16string kBreaks[] = {u"\r\n", u"\n", u"\r"};
  constexpr std::size_t kKinds = std::size(kPieces);
  std::u16string text;
  while (text.size() < length) {
    // One pick in thirty is a break.
    const std::size_t pick = random() % (breaks ? 30 * kKinds : kKinds);
    text += pick < 29 * kKinds ? kPieces[pick % kKinds] : kBreaks[pick % 3];
  }
  return text;
}

// Every other seed runs with everything small: two long lines kept, only 100 units of an edit
// wrapped at once, leaves of 8 lines under nodes of 4, chunks of a few units. The rest keep the
// editor's sizes but for what makes a line long.
struct Sizes {
  WrapLimits limits;
  ChunkSizes chunks;
};

Sizes SizesFor(unsigned seed, std::size_t long_units) {
  Sizes sizes;
  sizes.limits.long_line_units = long_units;
  if (seed % 2 == 0) {
    sizes.limits.most_long_lines = 2;
    sizes.limits.edit_count_units = 100;
    sizes.limits.row_index = {8, 4};
    sizes.chunks = {32, 6};
  }
  return sizes;
}

void ExpectNoProblem(const std::optional<std::string>& problem) {
  if (problem) FAIL() << *problem;
}

class Editor {
 public:
  Editor(unsigned seed, std::size_t long_units)
      : random_(seed),
        width_(kWidths[seed % 4]),
        sizes_(SizesFor(seed, long_units)),
        wrapped_(metrics_, width_, sizes_.limits) {}

  void Reset(std::u16string text) {
    plain_ = PlainHistory{};
    plain_.text = text;
    wrapped_.Adopt(TextBuffer(std::move(text), sizes_.chunks));
  }

  // Each draw in a statement of its own, so that every compiler makes the same edits.
  void Step() {
    const std::size_t at = random_() % (wrapped_.Buffer().Length() + 1);
    const Merge merge = random_() % 2 == 0 ? Merge::kWithPrevious : Merge::kNever;
    const std::size_t most_removed = random_() % 10 == 0 ? 300 : 8;
    const std::size_t removed = random_() % most_removed;
    const std::size_t most_inserted = random_() % 5 == 0 ? 200 : 8;
    const std::size_t inserted = random_() % most_inserted;
    const int roll = static_cast<int>(random_() % 100);
    before_ = plain_.text;
    if (roll < 60) {
      const std::u16string text = RandomText(random_, inserted, roll % 3 == 0);
      Replace(at, roll < 40 ? 0 : removed, text, merge);
    } else if (roll < 70) {
      const std::optional<Change> change = wrapped_.Undo();
      ASSERT_EQ(change.has_value(), plain_.Undo());
      if (change) ExpectNoProblem(ChangeProblem(*change, before_, plain_.text));
    } else if (roll < 75) {
      const std::optional<Change> change = wrapped_.Redo();
      ASSERT_EQ(change.has_value(), plain_.Redo());
      if (change) ExpectNoProblem(ChangeProblem(*change, before_, plain_.text));
    } else if (roll < 85) {
      wrapped_.CountSome(1 + removed, random_() % wrapped_.Buffer().LineCount());
    } else {
      // Rows forgotten, then a line wrapped part way and edited inside.
      if (roll < 90) width_ = kWidths[random_() % 4];
      wrapped_.SetLayout(metrics_, width_);
      ASSERT_EQ(wrapped_.CountedLines(), 0u);
      ASSERT_EQ(wrapped_.TotalRows(), std::nullopt);
      const std::size_t line = wrapped_.Buffer().LineOfPosition(at);
      wrapped_.RowOfLine(line, random_() % 30);
      const std::size_t start = wrapped_.Buffer().LineStart(line);
      const std::size_t length = wrapped_.Buffer().LineLength(line);
      const std::size_t offset = random_() % (length + 1);
      const std::u16string text = RandomText(random_, inserted % 4, false);
      Replace(start + offset, std::min(removed % 4, length - offset), text, Merge::kNever);
    }
    if (roll % 10 == 0) {
      wrapped_.BreakUndoGroup();
      plain_.BreakUndoGroup();
    }
  }

  void Check(int step) {
    ASSERT_EQ(wrapped_.Buffer().Text(), plain_.text);
    ASSERT_EQ(wrapped_.Buffer().CanUndo(), !plain_.undo.empty());
    ASSERT_EQ(wrapped_.Buffer().CanRedo(), !plain_.redo.empty());
    ExpectNoProblem(wrapped_.CheckInvariants());
    const WrappedModel model = models_.Next(width_, plain_.text);
    ExpectOptionalAnswersRightOrEmpty(wrapped_, model, random_);
    // Questions about lines count them: every other step goes on from what the edits left.
    if (step % 2 == 1) ExpectLineRowsMatch(wrapped_, model, random_, 3);
    if (step % 20 == 19) ExpectCountedDocumentMatches(wrapped_, model, 1 + random_() % 300);
  }

  std::mt19937& Random() { return random_; }

 private:
  void Replace(std::size_t position, std::size_t length, const std::u16string& text, Merge merge) {
    const Change change = wrapped_.Replace(position, length, text, merge);
    plain_.Replace(position, length, text, merge);
    ExpectNoProblem(ChangeProblem(change, before_, plain_.text));
  }

  std::mt19937 random_;
  CharMetrics metrics_ = TestMetrics();
  float width_;
  Sizes sizes_;
  WrappedText wrapped_;
  PlainHistory plain_;
  std::u16string before_;  // the text before the step
  WrappedModelSeries models_;
};

void EditAndCheck(Editor& editor, int steps) {
  for (int step = 0; step < steps && !testing::Test::HasFailure(); ++step) {
    SCOPED_TRACE(testing::Message() << "step " << step);
    editor.Step();
    editor.Check(step);
  }
}

// Lines of 64 units and more count as long here, so that short texts reach everything done for
// long lines: rows found part way, kept, re-wrapped after edits, dropped and found again.
TEST(WrappedTextModel, EditsUndoAndRedoWithShortLongLines) {
  const RandomSettings settings = ReadRandomSettings(1, 12, 300);
  for (unsigned k = 0; k < settings.iterations && !HasFailure(); ++k) {
    const unsigned seed = settings.Seed(k);
    SCOPED_TRACE(settings.Replay(seed));
    Editor editor(seed, 64);
    editor.Reset(RandomText(editor.Random(), 2000, true));
    EditAndCheck(editor, settings.operations);
  }
}

// Lines as long as the editor really treats as long, among short ones.
TEST(WrappedTextModel, EditsInGenuinelyLongLines) {
  const RandomSettings settings = ReadRandomSettings(101, 1, 40);
  for (unsigned k = 0; k < settings.iterations && !HasFailure(); ++k) {
    const unsigned seed = settings.Seed(k);
    SCOPED_TRACE(settings.Replay(seed));
    Editor editor(seed, WrappedText::kLongLineUnits);
    std::u16string text;
    for (std::size_t length : {100'000, 70'000, 150'000}) {
      text += RandomText(editor.Random(), 300, true) + u"\r\n" +
              RandomText(editor.Random(), length, false) + u"\n";
    }
    editor.Reset(std::move(text));
    EditAndCheck(editor, settings.operations);
  }
}

// Faults the random sessions found, each kept as a short case of its own.

// Undoing the deletion of a whole text brought all its lines back into one leaf of the row
// index. The leaf was cut into many, and the inner nodes over them went to a new root with no
// limit on its children.
TEST(WrappedTextFrozen, UndoingTheDeletionOfManyLinesKeepsTheRowIndexWithinItsFanout) {
  CharMetrics metrics = TestMetrics();
  WrapLimits limits;
  limits.row_index = {8, 4};
  WrappedText wrapped(metrics, 100, limits);
  std::u16string text;
  for (int line = 0; line < 200; ++line) text += u"line\n";
  wrapped.Reset(text);
  wrapped.Replace(0, text.size(), u"");
  ExpectNoProblem(wrapped.CheckInvariants());
  ASSERT_TRUE(wrapped.Undo());
  ExpectNoProblem(wrapped.CheckInvariants());
  ASSERT_EQ(wrapped.Buffer().Text(), text);
  for (int calls = 0; !wrapped.CountSome(64); ++calls) ASSERT_LT(calls, 100);
  EXPECT_EQ(wrapped.TotalRows(), 201u);
  ExpectNoProblem(wrapped.CheckInvariants());
}

// The re-wrap after an edit in a long line that does not fall back into step stops a fixed
// distance past the edit. It stopped there even inside a cluster, and the part before the cut
// was measured as a cluster of its own. Here a family is drawn as one glyph of 10 px but its
// first face alone takes 30, so the cut family ended a row where none ends.
TEST(WrappedTextFrozen, RewrapStopsBetweenClusters) {
  CharMetrics metrics([](char32_t c) -> float { return c >= 0x1F000 ? 30 : 10; },
                      [](std::u16string_view) -> float { return 10; }, kTestTabStop);
  const std::u16string family = u"👨\u200D👩\u200D👧";  // eight units
  std::u16string text = u"x";
  for (int k = 0; k < 40; ++k) text += family;
  // Rows of ten clusters. After "a" goes in at 1, rows start at 66 and 146 instead of 73 and
  // 153: never in step, so the re-wrap stops 130 units on, at 132, after the first face of the
  // ninth cluster of the second row. With 80 px before it, that face alone overflows.
  WrappedText wrapped(metrics, 100, 130);
  wrapped.Reset(text);
  ASSERT_EQ(wrapped.RowsOfLine(0), 5u);
  wrapped.Replace(1, 0, u"a");
  text.insert(1, u"a");
  ExpectNoProblem(wrapped.CheckInvariants());
  const WrappedModel model(metrics, 100, text);
  for (std::size_t row = 0; row < model.starts[0].size(); ++row) {
    const RowSpan span = wrapped.RowOfLine(0, row);
    const RowSpan expected = model.RowOfLine({0, row});
    EXPECT_EQ(span.start, expected.start) << "row " << row;
    EXPECT_EQ(span.end, expected.end) << "row " << row;
  }
}

}  // namespace
}  // namespace tambrel::text
