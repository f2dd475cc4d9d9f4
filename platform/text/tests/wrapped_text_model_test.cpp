// Random edits, undos, redos, partial counts and width changes, each followed by a comparison of
// the wrapped document with every line wrapped whole from a plain copy of its text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/text/tests/test_metrics.h"
#include "platform/text/tests/wrapped_model.h"
#include "platform/text/wrapped_text.h"

namespace tambrel::platform::text {
namespace {

constexpr float kWidths[] = {0, 35, 100, 155.5f};

// Words, spaces, ideographs, punctuation, surrogate pairs and combining marks; now and then a
// break of each kind, and with `runs` a stretch without breaks long enough to make a line long.
std::u16string RandomText(std::mt19937& random, std::size_t length, bool breaks, bool runs) {
  static const std::u16string kPieces[] = {u"word", u" ", u"中文",    u"，", u"（", u"\t",
                                           u"a",    u"😀", u"e\u0301", u"W",  u"  "};
  static const std::u16string kBreaks[] = {u"\r\n", u"\n", u"\r"};
  std::uniform_int_distribution<int> roll(0, 99);
  std::u16string text;
  while (text.size() < length) {
    const int r = roll(random);
    if (breaks && r < 8) {
      text += kBreaks[random() % std::size(kBreaks)];
    } else if (runs && r < 10) {
      text += RandomText(random, 60 + random() % 150, false, false);
    } else {
      text += kPieces[random() % std::size(kPieces)];
    }
  }
  return text;
}

struct Editor {
  Editor(unsigned seed, std::size_t long_units)
      : random(seed),
        width(kWidths[seed % std::size(kWidths)]),
        wrapped(metrics, width, long_units) {}

  void Step() {
    const std::size_t length = wrapped.Buffer().Length();
    std::uniform_int_distribution<int> roll(0, 99);
    const Merge merge = roll(random) < 50 ? Merge::kWithPrevious : Merge::kNever;
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, length)(random);
    const int r = roll(random);
    // Each draw in a statement of its own, so that every compiler makes the same edits.
    if (r < 35) {
      const std::size_t inserted = random() % 8;
      const bool breaks = roll(random) < 40;
      wrapped.Replace(at, 0, RandomText(random, inserted, breaks, false), merge);
    } else if (r < 45) {
      const std::size_t inserted = 60 + random() % 120;
      wrapped.Replace(at, 0, RandomText(random, inserted, false, false), merge);
    } else if (r < 60) {
      const std::size_t most = roll(random) < 10 ? 300 : 12;
      wrapped.Replace(at, random() % most, u"", merge);
    } else if (r < 70) {
      const std::size_t removed = random() % 10;
      const std::size_t inserted = random() % 6;
      wrapped.Replace(at, removed, RandomText(random, inserted, true, false), merge);
    } else if (r < 78) {
      wrapped.Undo();
    } else if (r < 83) {
      wrapped.Redo();
    } else if (r < 87) {
      const std::size_t lines = wrapped.Buffer().LineCount();
      const std::size_t units = 1 + random() % 200;
      wrapped.CountSome(units, std::uniform_int_distribution<std::size_t>(0, lines)(random));
    } else if (r < 95) {
      // A row far into a line, so that long lines are often left wrapped part way.
      const std::size_t line =
          std::uniform_int_distribution<std::size_t>(0, wrapped.Buffer().LineCount() - 1)(random);
      wrapped.RowOfLine(line, random() % 8);
    } else {
      width = kWidths[random() % std::size(kWidths)];
      wrapped.SetLayout(metrics, width);
      EXPECT_EQ(wrapped.CountedLines(), 0u);
      EXPECT_EQ(wrapped.TotalRows(), std::nullopt);
      EXPECT_EQ(wrapped.PlaceOfRow(0), std::nullopt);
    }
    if (roll(random) < 10) wrapped.BreakUndoGroup();
  }

  WrappedModel Model() { return WrappedModel(metrics, width, wrapped.Buffer().Text()); }

  std::mt19937 random;
  CharMetrics metrics = TestMetrics();
  float width;
  WrappedText wrapped;
};

struct Run {
  int steps;
  int samples;      // of each question per step
  int count_every;  // steps between counts of the whole document
  std::size_t slice;
};

void RunRandomEdits(Editor& editor, const Run& run) {
  for (int step = 0; step < run.steps; ++step) {
    SCOPED_TRACE(testing::Message() << "step " << step);
    editor.Step();
    const WrappedModel model = editor.Model();
    ExpectOptionalAnswersRightOrEmpty(editor.wrapped, model, editor.random);
    // Questions about lines count them: every other step goes on from the state edits left.
    if (step % 2 == 1) ExpectLineRowsMatch(editor.wrapped, model, editor.random, run.samples);
    if (step % run.count_every == run.count_every - 1) {
      ExpectCountedDocumentMatches(editor.wrapped, model, 1 + editor.random() % run.slice);
    }
    if (testing::Test::HasFatalFailure()) return;
  }
}

// Lines of 64 units and more count as long here, so that short texts reach everything done for
// long lines: rows found part way, kept, re-wrapped after edits, dropped and found again.
TEST(WrappedTextModel, EditsUndoAndRedoWithShortLongLines) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Editor editor(seed, 64);
    editor.wrapped.Reset(RandomText(editor.random, 1500, true, true));
    RunRandomEdits(editor, {250, 3, 20, 300});
    if (testing::Test::HasFatalFailure()) return;
  }
}

// Lines as long as the editor really treats as long, among short ones.
TEST(WrappedTextModel, EditsInGenuinelyLongLines) {
  Editor editor(101, WrappedText::kLongLineUnits);
  std::u16string text;
  for (std::size_t length : {100'000, 70'000, 150'000}) {
    text += RandomText(editor.random, 300, true, true) + u"\r\n";
    text += RandomText(editor.random, length, false, false) + u"\n";
  }
  editor.wrapped.Reset(std::move(text));
  RunRandomEdits(editor, {30, 6, 10, 70'000});
}

// Typing and deleting inside one long line whose rows are found only part way, as far as a row
// asked for or a slice of counting went, or found to its end.
TEST(WrappedTextModel, EditsInsideALongLineWrappedPartWay) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Editor editor(seed, 64);
    std::mt19937& random = editor.random;
    const std::u16string head = u"first\r\n";
    editor.wrapped.Reset(head + RandomText(random, 3000, false, false) + u"\nlast");
    for (int step = 0; step < 150; ++step) {
      SCOPED_TRACE(testing::Message() << "step " << step);
      const int r = static_cast<int>(random() % 10);
      if (r < 6) editor.wrapped.SetLayout(editor.metrics, editor.width);  // forgets all rows
      if (r < 4) {
        editor.wrapped.RowOfLine(1, random() % 200);
      } else if (r < 6) {
        editor.wrapped.CountSome(1 + random() % 1000, 1);
      } else if (r < 8) {
        editor.wrapped.RowsOfLine(1);
      }
      // An edit that keeps the line's break.
      const std::size_t length = editor.wrapped.Buffer().LineLength(1);
      const std::size_t offset = std::uniform_int_distribution<std::size_t>(0, length)(random);
      const std::size_t removed = std::min<std::size_t>(random() % 4, length - offset);
      const std::size_t inserted = random() % 5;
      editor.wrapped.Replace(head.size() + offset, removed,
                             RandomText(random, inserted, false, false));
      const WrappedModel model = editor.Model();
      ExpectOptionalAnswersRightOrEmpty(editor.wrapped, model, random);
      ExpectLineRowsMatch(editor.wrapped, model, random, 1);
      if (testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace tambrel::platform::text
