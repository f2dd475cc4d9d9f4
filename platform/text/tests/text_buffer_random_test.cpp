// Random edits, undos and redos, checked after every step against a plain string that replays
// the same operations by the rules the buffer promises.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/text/tests/plain_lines.h"
#include "platform/text/text_buffer.h"

namespace tambrel::platform::text {
namespace {

// Line breaks are frequent so that edits keep forming and splitting CR LF; the surrogate halves
// are there to show they are ordinary units to the buffer.
std::u16string RandomText(std::mt19937& random, std::size_t max_length) {
  static constexpr char16_t kUnits[] = {
      u'a', u'b', u'\r', u'\n', u'\r', u'\n', u'中', char16_t{0xD83D}, char16_t{0xDE00}};
  std::uniform_int_distribution<std::size_t> length(0, max_length);
  std::uniform_int_distribution<std::size_t> unit(0, std::size(kUnits) - 1);
  std::u16string text(length(random), u' ');
  for (char16_t& c : text) c = kUnits[unit(random)];
  return text;
}

std::vector<std::u16string> LinesWithBreaks(std::u16string_view text) {
  std::vector<std::u16string> lines;
  for (const PlainLine& line : PlainLines(text)) {
    lines.emplace_back(text.substr(line.start, line.length + line.break_length));
  }
  return lines;
}

// A change must name every line whose text changed: the lines before it and after it are the
// same before and after the edit. It must also stay near the edit, not mark the whole text.
void ExpectChangeDescribes(const Change& change, std::u16string_view before,
                           std::u16string_view after) {
  const std::vector<std::u16string> old_lines = LinesWithBreaks(before);
  const std::vector<std::u16string> new_lines = LinesWithBreaks(after);
  ASSERT_LE(change.first_line + change.lines_removed, old_lines.size());
  ASSERT_LE(change.first_line + change.lines_inserted, new_lines.size());
  ASSERT_EQ(old_lines.size() - change.lines_removed, new_lines.size() - change.lines_inserted);
  for (std::size_t line = 0; line < change.first_line; ++line) {
    ASSERT_EQ(old_lines[line], new_lines[line]) << "line " << line;
  }
  const std::size_t after_count = old_lines.size() - change.first_line - change.lines_removed;
  for (std::size_t k = 0; k < after_count; ++k) {
    ASSERT_EQ(old_lines[change.first_line + change.lines_removed + k],
              new_lines[change.first_line + change.lines_inserted + k]);
  }
  const auto breaks_near = [](std::u16string_view text, std::size_t from, std::size_t to) {
    from = from > 0 ? from - 1 : 0;
    std::size_t count = 0;
    for (std::size_t i = from; i < std::min(to + 1, text.size()); ++i) {
      count += text[i] == u'\r' || text[i] == u'\n' ? 1 : 0;
    }
    return count;
  };
  EXPECT_LE(change.lines_removed,
            2 + breaks_near(before, change.position, change.position + change.removed));
  EXPECT_LE(change.lines_inserted,
            2 + breaks_near(after, change.position, change.position + change.inserted));
}

// The plain string with the same undo history.
class PlainHistory {
 public:
  explicit PlainHistory(std::u16string text) : text_(std::move(text)) {}

  const std::u16string& text() const { return text_; }
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  void Replace(std::size_t position, std::size_t length, const std::u16string& inserted,
               Merge merge) {
    if (length == 0 && inserted.empty()) return;
    const bool joins = merge == Merge::kWithPrevious && open_ && !undo_.empty() &&
                       Continues(undo_.back(), position, length, inserted.size());
    redo_.clear();
    if (joins) {
      Step& last = undo_.back();
      if (length == 0) {
        last.inserted += inserted.size();
      } else {
        last.position = std::min(last.position, position);
      }
    } else {
      undo_.push_back({text_, position, inserted.size()});
    }
    text_.replace(position, length, inserted);
    open_ = true;
  }

  bool Undo() {
    if (undo_.empty()) return false;
    redo_.push_back(text_);
    text_ = undo_.back().before;
    undo_.pop_back();
    open_ = false;
    return true;
  }

  bool Redo() {
    if (redo_.empty()) return false;
    undo_.push_back({text_, 0, 0});
    text_ = redo_.back();
    redo_.pop_back();
    open_ = false;
    return true;
  }

  void BreakGroup() { open_ = false; }

 private:
  struct Step {
    std::u16string before;
    std::size_t position;
    std::size_t inserted;
  };

  static bool Continues(const Step& last, std::size_t position, std::size_t length,
                        std::size_t inserted) {
    if (length == 0) return last.inserted > 0 && last.position + last.inserted == position;
    return inserted == 0 && last.inserted == 0 &&
           (position + length == last.position || position == last.position);
  }

  std::u16string text_;
  std::vector<Step> undo_;
  std::vector<std::u16string> redo_;
  bool open_ = false;
};

void RunRandomSession(unsigned seed, std::size_t initial_length, int operations, bool truncate) {
  std::mt19937 random(seed);
  std::u16string initial = RandomText(random, initial_length);
  PlainHistory plain(initial);
  TextBuffer buffer(std::move(initial));
  std::uniform_int_distribution<int> choice(0, 99);
  for (int step = 0; step < operations; ++step) {
    const int kind = choice(random);
    const std::u16string before = plain.text();
    if (kind < 12) {
      const std::optional<Change> change = buffer.Undo();
      ASSERT_EQ(change.has_value(), plain.Undo());
      if (change) ExpectChangeDescribes(*change, before, plain.text());
    } else if (kind < 20) {
      const std::optional<Change> change = buffer.Redo();
      ASSERT_EQ(change.has_value(), plain.Redo());
      if (change) ExpectChangeDescribes(*change, before, plain.text());
    } else if (kind < 25) {
      buffer.BreakUndoGroup();
      plain.BreakGroup();
    } else {
      std::uniform_int_distribution<std::size_t> at(0, before.size());
      const std::size_t position = at(random);
      // Mostly typing-sized edits, sometimes large ones; now and then everything after the
      // position goes.
      const std::size_t longest = kind < 85 ? 6 : kind < 98 || !truncate ? 100 : before.size();
      std::uniform_int_distribution<std::size_t> span(0,
                                                      std::min(before.size() - position, longest));
      const std::size_t length = span(random);
      const std::u16string text = RandomText(random, kind < 85 ? 3 : 120);
      const Merge merge = kind % 2 == 0 ? Merge::kWithPrevious : Merge::kNever;
      const Change change = buffer.Replace(position, length, text, merge);
      plain.Replace(position, length, text, merge);
      ASSERT_EQ(change.position, position);
      ASSERT_EQ(change.removed, length);
      ASSERT_EQ(change.inserted, text.size());
      if (length > 0 || !text.empty()) ExpectChangeDescribes(change, before, plain.text());
    }
    ASSERT_EQ(buffer.CanUndo(), plain.CanUndo());
    ASSERT_EQ(buffer.CanRedo(), plain.CanRedo());
    ExpectMatchesPlain(buffer, plain.text());
    if (::testing::Test::HasFatalFailure()) {
      ADD_FAILURE() << "seed " << seed << ", step " << step;
      return;
    }
  }
}

TEST(TextBufferRandom, EditsUndosAndRedosMatchAPlainString) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    RunRandomSession(seed, 60, 300, true);
    if (HasFatalFailure()) return;
  }
}

TEST(TextBufferRandom, LongSessionsOnALargerText) {
  for (unsigned seed = 100; seed <= 102; ++seed) {
    RunRandomSession(seed, 2000, 500, false);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace tambrel::platform::text
