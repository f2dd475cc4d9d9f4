#include "text/row_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace tambrel::text {
namespace {

using RowPlace = RowIndex::RowPlace;

TEST(RowIndex, RowsAreKnownUpToTheFirstUncountedLine) {
  RowIndex index(4);
  EXPECT_EQ(index.FirstRowOf(0), 0u);  // nothing comes before the first line
  EXPECT_EQ(index.FirstRowOf(1), std::nullopt);
  index.Set(0, 2);
  index.Set(1, 1);
  index.Set(3, 5);
  EXPECT_EQ(index.CountedLines(), 2u);
  EXPECT_EQ(index.FirstUncounted(3), 4u);
  EXPECT_EQ(index.FirstRowOf(2), 3u);
  EXPECT_EQ(index.FirstRowOf(3), std::nullopt);
  EXPECT_EQ(index.PlaceOfRow(2), (RowPlace{1, 0}));
  EXPECT_EQ(index.PlaceOfRow(3), std::nullopt);
  EXPECT_EQ(index.TotalRows(), std::nullopt);
  index.Set(2, 3);
  EXPECT_EQ(index.TotalRows(), 11u);
  EXPECT_EQ(index.PlaceOfRow(10), (RowPlace{3, 4}));
  index.Replace(1, 2, 3);  // lines 1 and 2 became three lines
  EXPECT_EQ(index.LineCount(), 5u);
  EXPECT_EQ(index.FirstUncounted(0), 1u);
  EXPECT_EQ(index.FirstUncounted(4), 5u);
  index.Replace(0, 5, 0);
  EXPECT_EQ(index.TotalRows(), 0u);
}

// What the same index kept as a plain vector (0 for uncounted) answers, for every line at once.
struct PlainAnswers {
  explicit PlainAnswers(const std::vector<std::uint32_t>& rows) : next_uncounted(rows.size() + 1) {
    const std::size_t count = rows.size();
    next_uncounted[count] = count;
    for (std::size_t line = count; line-- > 0;) {
      next_uncounted[line] = rows[line] == 0 ? line : next_uncounted[line + 1];
    }
    first_row.push_back(0);
    for (std::size_t line = 0; line < next_uncounted[0]; ++line) {
      first_row.push_back(first_row.back() + rows[line]);
    }
  }
  std::optional<std::size_t> FirstRowOf(std::size_t line) const {
    if (line >= first_row.size()) return std::nullopt;
    return first_row[line];
  }
  std::optional<RowPlace> PlaceOfRow(std::size_t row) const {
    if (row >= first_row.back()) return std::nullopt;
    const std::size_t line = static_cast<std::size_t>(
        std::upper_bound(first_row.begin(), first_row.end(), row) - first_row.begin() - 1);
    return RowPlace{line, row - first_row[line]};
  }

  std::vector<std::size_t> next_uncounted;
  std::vector<std::size_t> first_row;  // of each line up to the first uncounted one
};

void ExpectSame(const RowIndex& index, const std::vector<std::uint32_t>& plain,
                std::mt19937& random, bool all) {
  const PlainAnswers answers(plain);
  const std::size_t count = plain.size();
  ASSERT_EQ(index.LineCount(), count);
  ASSERT_EQ(index.CountedLines(), answers.next_uncounted[0]);
  ASSERT_EQ(index.TotalRows(), answers.FirstRowOf(count));
  std::uniform_int_distribution<std::size_t> any_line(0, count);
  const std::size_t probes = all ? count + 1 : 64;
  for (std::size_t k = 0; k < probes; ++k) {
    const std::size_t line = all ? k : any_line(random);
    ASSERT_EQ(index.FirstUncounted(line), answers.next_uncounted[line]) << "line " << line;
    ASSERT_EQ(index.FirstRowOf(line), answers.FirstRowOf(line)) << "line " << line;
    if (line < count) {
      ASSERT_EQ(index.IsCounted(line), plain[line] != 0);
    }
  }
  const std::size_t known_rows = answers.first_row.back();
  std::uniform_int_distribution<std::size_t> any_row(0, known_rows + 3);
  for (int k = 0; k < 64; ++k) {
    const std::size_t row = k == 0                     ? known_rows
                            : k == 1 && known_rows > 0 ? known_rows - 1
                                                       : any_row(random);
    ASSERT_EQ(index.PlaceOfRow(row), answers.PlaceOfRow(row)) << "row " << row;
  }
}

TEST(RowIndex, RandomEditsAndCountsMatchAPlainVector) {
  std::mt19937 random(31);
  // Small indexes; a few leaves; and enough leaves for inner nodes to split and the tree to grow.
  struct Session {
    std::size_t lines;
    int steps;
    std::size_t large_edit;
  };
  for (const Session session :
       {Session{40, 1500, 5000}, Session{40, 1500, 5000}, Session{9000, 1500, 5000},
        Session{9000, 1500, 5000}, Session{0, 200, 200'000}, Session{100'000, 300, 60'000}}) {
    const std::size_t start = session.lines;
    RowIndex index(start);
    std::vector<std::uint32_t> plain(start, 0);
    std::uniform_int_distribution<int> choice(0, 99);
    std::uniform_int_distribution<std::uint32_t> rows(1, 9);
    for (int step = 0; step < session.steps; ++step) {
      const std::size_t count = plain.size();
      const int kind = choice(random);
      if (kind < 45 && count > 0) {
        // Counting, mostly from the first uncounted line on, as the background counter does.
        const std::size_t from =
            kind < 30 ? std::min(PlainAnswers(plain).next_uncounted[0], count - 1)
                      : std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
        std::vector<std::uint32_t> counts(std::uniform_int_distribution<std::size_t>(
            1, std::min<std::size_t>(count - from, 3000))(random));
        for (std::uint32_t& c : counts) c = rows(random);
        if (counts.size() == 1) {
          index.Set(from, counts[0]);
        } else {
          index.Set(from, counts);
        }
        std::copy(counts.begin(), counts.end(), plain.begin() + static_cast<std::ptrdiff_t>(from));
      } else if (kind < 98) {
        const std::size_t first = std::uniform_int_distribution<std::size_t>(0, count)(random);
        // Mostly a few lines; sometimes thousands, to split, empty and merge leaves.
        const std::size_t most = kind < 90 ? 3 : session.large_edit;
        const std::size_t removed =
            std::uniform_int_distribution<std::size_t>(0, std::min(most, count - first))(random);
        const std::size_t inserted = std::uniform_int_distribution<std::size_t>(0, most)(random);
        index.Replace(first, removed, inserted);
        const auto at = plain.begin() + static_cast<std::ptrdiff_t>(first);
        plain.insert(plain.erase(at, at + static_cast<std::ptrdiff_t>(removed)), inserted, 0u);
      } else {
        // Half the time the same lines, as after a change of width.
        const std::size_t lines =
            kind == 98 ? count : std::uniform_int_distribution<std::size_t>(0, start)(random);
        index.Reset(lines);
        plain.assign(lines, 0);
      }
      ExpectSame(index, plain, random, step % 100 == 0);
      if (::testing::Test::HasFatalFailure()) {
        ADD_FAILURE() << "session of " << start << " lines, step " << step;
        return;
      }
    }
  }
}

TEST(RowIndex, CountsOfMillionsOfRowsAddUpWithoutOverflow) {
  RowIndex index(3);
  index.Set(0, 4'000'000'000u);
  index.Set(1, 4'000'000'000u);
  index.Set(2, 1);
  EXPECT_EQ(index.TotalRows(), 8'000'000'001u);
  EXPECT_EQ(index.PlaceOfRow(8'000'000'000u), (RowPlace{2, 0}));
}

}  // namespace
}  // namespace tambrel::text
