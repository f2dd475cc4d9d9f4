// Random edits, undos, redos, partial counts and width changes, each followed by a comparison
// with every line wrapped whole from a plain copy of the text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/tests/test_metrics.h"
#include "text/tests/wrapped_model.h"
#include "text/wrapped_text.h"

namespace tambrel::text {
namespace {

constexpr float kWidths[] = {0, 35, 100, 155.5f};

// Words, ideographs, punctuation, surrogate pairs and combining marks; with `breaks` a break of
// each kind now and then, lines of some 60 units on average.
std::u16string RandomText(std::mt19937& random, std::size_t length, bool breaks) {
  static const std::u16string kPieces[] = {u"word", u" ", u"中文",    u"，", u"（",
                                           u"\t",   u"😀", u"e\u0301", u"W",  u"a"};
  static const std::u16string kBreaks[] = {u"\r\n", u"\n", u"\r"};
  std::u16string text;
  while (text.size() < length) {
    const std::size_t pick = random() % (breaks ? 300 : 10);
    text += pick < 10 ? kPieces[pick] : pick < 290 ? kPieces[pick % 10] : kBreaks[pick % 3];
  }
  return text;
}

class Editor {
 public:
  Editor(unsigned seed, std::size_t long_units)
      : random_(seed), width_(kWidths[seed % 4]), wrapped_(metrics_, width_, long_units) {}

  void Reset(std::u16string text) { wrapped_.Reset(std::move(text)); }

  // Each draw in a statement of its own, so that every compiler makes the same edits.
  void Step() {
    const std::size_t at = random_() % (wrapped_.Buffer().Length() + 1);
    const Merge merge = random_() % 2 == 0 ? Merge::kWithPrevious : Merge::kNever;
    const std::size_t most_removed = random_() % 10 == 0 ? 300 : 8;
    const std::size_t removed = random_() % most_removed;
    const std::size_t most_inserted = random_() % 5 == 0 ? 200 : 8;
    const std::size_t inserted = random_() % most_inserted;
    const int roll = static_cast<int>(random_() % 100);
    if (roll < 60) {
      const std::u16string text = RandomText(random_, inserted, roll % 3 == 0);
      wrapped_.Replace(at, roll < 40 ? 0 : removed, text, merge);
    } else if (roll < 70) {
      wrapped_.Undo();
    } else if (roll < 75) {
      wrapped_.Redo();
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
      wrapped_.Replace(start + offset, std::min(removed % 4, length - offset), text);
    }
    if (roll % 10 == 0) wrapped_.BreakUndoGroup();
  }

  void Check(int step) {
    const WrappedModel model(metrics_, width_, wrapped_.Buffer().Text());
    ExpectOptionalAnswersRightOrEmpty(wrapped_, model, random_);
    // Questions about lines count them: every other step goes on from what the edits left.
    if (step % 2 == 1) ExpectLineRowsMatch(wrapped_, model, random_, 3);
    if (step % 20 == 19) ExpectCountedDocumentMatches(wrapped_, model, 1 + random_() % 300);
  }

  std::mt19937& Random() { return random_; }

 private:
  std::mt19937 random_;
  CharMetrics metrics_ = TestMetrics();
  float width_;
  WrappedText wrapped_;
};

void EditAndCheck(Editor& editor, int steps) {
  for (int step = 0; step < steps && !testing::Test::HasFatalFailure(); ++step) {
    SCOPED_TRACE(testing::Message() << "step " << step);
    editor.Step();
    editor.Check(step);
  }
}

// Lines of 64 units and more count as long here, so that short texts reach everything done for
// long lines: rows found part way, kept, re-wrapped after edits, dropped and found again.
TEST(WrappedTextModel, EditsUndoAndRedoWithShortLongLines) {
  for (unsigned seed = 1; seed <= 12 && !HasFatalFailure(); ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Editor editor(seed, 64);
    editor.Reset(RandomText(editor.Random(), 2000, true));
    EditAndCheck(editor, 300);
  }
}

// Lines as long as the editor really treats as long, among short ones.
TEST(WrappedTextModel, EditsInGenuinelyLongLines) {
  Editor editor(101, WrappedText::kLongLineUnits);
  std::u16string text;
  for (std::size_t length : {100'000, 70'000, 150'000}) {
    text += RandomText(editor.Random(), 300, true) + u"\r\n" +
            RandomText(editor.Random(), length, false) + u"\n";
  }
  editor.Reset(std::move(text));
  EditAndCheck(editor, 40);
}

}  // namespace
}  // namespace tambrel::text
