// Random edits, undos and redos, checked after every step against a plain string that replays
// the same operations by the rules the buffer promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/tests/plain_lines.h"
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

std::vector<std::u16string> LinesWithBreaks(std::u16string_view text) {
  std::vector<std::u16string> lines;
  for (const PlainLine& line : PlainLines(text)) {
    lines.emplace_back(text.substr(line.start, line.length + line.break_length));
  }
  return lines;
}

// A change must name every line whose text changed: those before it and after it are the same
// before and after. It must also stay near the edit instead of marking the whole text.
void ExpectChangeDescribes(const Change& change, std::u16string_view before,
                           std::u16string_view after) {
  const std::vector<std::u16string> old_lines = LinesWithBreaks(before);
  const std::vector<std::u16string> new_lines = LinesWithBreaks(after);
  const std::size_t old_end = change.first_line + change.lines_removed;
  const std::size_t new_end = change.first_line + change.lines_inserted;
  ASSERT_LE(old_end, old_lines.size());
  ASSERT_EQ(old_lines.size() - old_end, new_lines.size() - new_end);
  EXPECT_TRUE(
      std::equal(old_lines.begin(), old_lines.begin() + change.first_line, new_lines.begin()));
  EXPECT_TRUE(
      std::equal(old_lines.begin() + old_end, old_lines.end(), new_lines.begin() + new_end));
  const auto breaks_around = [&change](std::u16string_view text, std::size_t length) {
    const std::size_t from = change.position > 0 ? change.position - 1 : 0;
    const std::u16string_view near = text.substr(from, length + 2);
    return static_cast<std::size_t>(std::count(near.begin(), near.end(), u'\r') +
                                    std::count(near.begin(), near.end(), u'\n'));
  };
  EXPECT_LE(change.lines_removed, 2 + breaks_around(before, change.removed));
  EXPECT_LE(change.lines_inserted, 2 + breaks_around(after, change.inserted));
}

// The plain string with the same undo history: the text before each step.
struct PlainHistory {
  struct Step {
    std::u16string before;
    std::size_t position;
    std::size_t inserted;
  };

  bool Continues(std::size_t position, std::size_t length, std::size_t inserted) const {
    if (!open || undo.empty()) return false;
    const Step& last = undo.back();
    if (length == 0) return last.inserted > 0 && last.position + last.inserted == position;
    return inserted == 0 && last.inserted == 0 &&
           (position + length == last.position || position == last.position);
  }

  void Replace(std::size_t position, std::size_t length, const std::u16string& inserted,
               Merge merge) {
    if (length == 0 && inserted.empty()) return;
    if (merge == Merge::kWithPrevious && Continues(position, length, inserted.size())) {
      undo.back().inserted += inserted.size();
      undo.back().position = std::min(undo.back().position, position);
    } else {
      undo.push_back({text, position, inserted.size()});
    }
    redo.clear();
    text.replace(position, length, inserted);
    open = true;
  }

  bool Undo() {
    if (undo.empty()) return false;
    redo.push_back(std::move(text));
    text = std::move(undo.back().before);
    undo.pop_back();
    open = false;
    return true;
  }

  bool Redo() {
    if (redo.empty()) return false;
    undo.push_back({std::move(text), 0, 0});
    text = std::move(redo.back());
    redo.pop_back();
    open = false;
    return true;
  }

  std::u16string text;
  std::vector<Step> undo;
  std::vector<std::u16string> redo;
  bool open = false;
};

void RunRandomSession(unsigned seed, std::size_t initial_length, int operations, bool truncate) {
  std::mt19937 random(seed);
  PlainHistory plain;
  plain.text = RandomText(random, initial_length);
  TextBuffer buffer(plain.text);
  for (int step = 0; step < operations; ++step) {
    const int kind = static_cast<int>(random() % 100);
    const std::u16string before = plain.text;
    if (kind < 20) {
      const std::optional<Change> change = kind < 12 ? buffer.Undo() : buffer.Redo();
      ASSERT_EQ(change.has_value(), kind < 12 ? plain.Undo() : plain.Redo());
      if (change) ExpectChangeDescribes(*change, before, plain.text);
    } else if (kind < 25) {
      buffer.BreakUndoGroup();
      plain.open = false;
    } else {
      const std::size_t position =
          std::uniform_int_distribution<std::size_t>(0, before.size())(random);
      // Mostly typing-sized edits, sometimes large ones; now and then everything after the
      // position goes.
      const std::size_t longest = kind < 85 ? 6 : kind < 98 || !truncate ? 100 : before.size();
      const std::size_t length = std::uniform_int_distribution<std::size_t>(
          0, std::min(before.size() - position, longest))(random);
      const std::u16string text = RandomText(random, kind < 85 ? 3 : 120);
      const Merge merge = kind % 2 == 0 ? Merge::kWithPrevious : Merge::kNever;
      const Change change = buffer.Replace(position, length, text, merge);
      plain.Replace(position, length, text, merge);
      ASSERT_EQ(change.removed, length);
      ASSERT_EQ(change.inserted, text.size());
      if (length > 0 || !text.empty()) ExpectChangeDescribes(change, before, plain.text);
    }
    ASSERT_EQ(buffer.CanUndo(), !plain.undo.empty());
    ASSERT_EQ(buffer.CanRedo(), !plain.redo.empty());
    ExpectMatchesPlain(buffer, plain.text);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "seed " << seed << ", step " << step;
      return;
    }
  }
}

TEST(TextBufferRandom, EditsUndosAndRedosMatchAPlainString) {
  for (unsigned seed = 1; seed <= 20 && !HasFailure(); ++seed)
    RunRandomSession(seed, 60, 300, true);
}

TEST(TextBufferRandom, LongSessionsOnALargerText) {
  for (unsigned seed = 100; seed <= 102 && !HasFailure(); ++seed) {
    RunRandomSession(seed, 2000, 500, false);
  }
}

}  // namespace
}  // namespace tambrel::text
