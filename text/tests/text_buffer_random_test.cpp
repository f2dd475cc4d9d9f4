// Random edits, undos and redos, checked after every step against a plain string that replays
// the same operations by the rules the buffer promises, and against the invariants of the
// buffer's storage and tree. Seeds and lengths come from the environment (random_settings.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "text/tests/change_check.h"
#include "text/tests/plain_history.h"
#include "text/tests/plain_lines.h"
#include "text/tests/random_settings.h"
#include "text/text_buffer.h"

namespace tambrel::text {
namespace {

// Line breaks are frequent so that edits keep forming and splitting CR LF; the surrogate halves
// are there to show they are ordinary units to the buffer.
std::u16string RandomText(std::mt19937& random, std::size_t max_length) {
  static constexpr char16_t kUnits[] = {
      u'a', u'b', u'\r', u'\n', u'\r', u'\n', u'中', char16_t{0xD83D}, char16_t{0xDE00}};
  std::u16string text(std::uniform_int_distribution<std::size_t>(0, max_length)(random), u' ');
  for (char16_t& c : text) c = kUnits[random() % std::size(kUnits)];
  return text;
}

// Storage as the editor has it, and chunks of a few units, so that insertions soon fill the
// shared chunk and longer ones get chunks of their own.
constexpr ChunkSizes kChunkSizes[] = {{}, {64, 16}, {8, 3}};

void ExpectSound(const TextBuffer& buffer) {
  if (const std::optional<std::string> problem = buffer.CheckInvariants()) FAIL() << *problem;
}

struct Session {
  std::size_t initial_length;
  // Whether an edit may now and then remove everything after its position.
  bool truncate;
};

void RunRandomSession(unsigned seed, const Session& session, int operations) {
  std::mt19937 random(seed);
  PlainHistory plain;
  plain.text = RandomText(random, session.initial_length);
  TextBuffer buffer(plain.text, kChunkSizes[seed % std::size(kChunkSizes)]);
  for (int step = 0; step < operations; ++step) {
    SCOPED_TRACE(testing::Message() << "step " << step);
    const int kind = static_cast<int>(random() % 100);
    const std::u16string before = plain.text;
    if (kind < 20) {
      const std::optional<Change> change = kind < 12 ? buffer.Undo() : buffer.Redo();
      ASSERT_EQ(change.has_value(), kind < 12 ? plain.Undo() : plain.Redo());
      if (change) {
        if (const std::optional<std::string> problem = ChangeProblem(*change, before, plain.text)) {
          FAIL() << *problem;
        }
      }
    } else if (kind < 25) {
      buffer.BreakUndoGroup();
      plain.BreakUndoGroup();
    } else {
      const std::size_t position =
          std::uniform_int_distribution<std::size_t>(0, before.size())(random);
      // Mostly typing-sized edits, sometimes large ones; now and then everything after the
      // position goes.
      const std::size_t longest = kind < 85                        ? 6
                                  : kind < 98 || !session.truncate ? 100
                                                                   : before.size();
      const std::size_t length = std::uniform_int_distribution<std::size_t>(
          0, std::min(before.size() - position, longest))(random);
      const std::u16string text = RandomText(random, kind < 85 ? 3 : 120);
      const Merge merge = kind % 2 == 0 ? Merge::kWithPrevious : Merge::kNever;
      const Change change = buffer.Replace(position, length, text, merge);
      plain.Replace(position, length, text, merge);
      ASSERT_EQ(change.removed, length);
      ASSERT_EQ(change.inserted, text.size());
      if (const std::optional<std::string> problem = ChangeProblem(change, before, plain.text)) {
        FAIL() << *problem;
      }
    }
    ASSERT_EQ(buffer.CanUndo(), !plain.undo.empty());
    ASSERT_EQ(buffer.CanRedo(), !plain.redo.empty());
    ExpectMatchesPlain(buffer, plain.text);
    ExpectSound(buffer);
    if (testing::Test::HasFailure()) return;
  }
}

void RunSessions(const RandomSettings& settings, const Session& session) {
  for (unsigned k = 0; k < settings.iterations && !testing::Test::HasFailure(); ++k) {
    const unsigned seed = settings.Seed(k);
    SCOPED_TRACE(settings.Replay(seed));
    RunRandomSession(seed, session, settings.operations);
  }
}

TEST(TextBufferRandom, EditsUndosAndRedosMatchAPlainString) {
  RunSessions(ReadRandomSettings(1, 20, 300), {60, true});
}

TEST(TextBufferRandom, LongSessionsOnALargerText) {
  RunSessions(ReadRandomSettings(100, 3, 500), {2000, false});
}

// Faults the random sessions found, each kept as a short case of its own.

// Cutting a piece in two gave its tail a node of fresh priority and made that node the root of
// the rest of the split, under whatever node the split came back up through, however high the
// priority: the tree lost the heap order that keeps it balanced. Insertions all over a text cut
// piece after piece.
TEST(TextBufferFrozen, CutPiecesKeepTheTreeInHeapOrder) {
  TextBuffer buffer(u"0123456789");
  for (std::size_t k = 0; k < 64 && !HasFailure(); ++k) {
    buffer.Replace((k * 7919) % (buffer.Length() + 1), 0, u"x");
    ExpectSound(buffer);
  }
  EXPECT_EQ(buffer.Length(), 74u);
}

// Storage grew by moving its chunks, and a short text, which lives inside its string object,
// moved with them: a view of the buffer's own text handed back to Replace was read after it had
// been freed. Stored units must stay where they are however storage grows.
TEST(TextBufferFrozen, ReplaceTakesAViewOfTheBuffersOwnText) {
  TextBuffer buffer(u"abc", ChunkSizes{4, 2});
  std::u16string unused;
  const char16_t* const stored = buffer.SpanAt(0, unused).data();
  std::u16string expected = u"abc";
  for (int k = 0; k < 8; ++k) {
    // Longer than two units: each copy gets a chunk of its own.
    buffer.Replace(buffer.Length(), 0, buffer.SpanAt(0, unused));
    expected += u"abc";
    ASSERT_EQ(buffer.Text(), expected);
    ASSERT_EQ(buffer.SpanAt(0, unused).data(), stored) << "after " << k + 1 << " copies";
  }
  std::u16string scratch;
  buffer.Replace(0, 0, buffer.LineText(0, scratch));
  EXPECT_EQ(buffer.Text(), expected + expected);
  ExpectSound(buffer);
}

}  // namespace
}  // namespace tambrel::text
