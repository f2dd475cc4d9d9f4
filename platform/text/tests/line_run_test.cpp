#include "platform/text/line_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/buffer_line.h"
#include "platform/text/line_wrap.h"
#include "platform/text/tests/test_metrics.h"
#include "platform/text/text_buffer.h"

namespace tambrel::platform::text {
namespace {

struct Counted {
  std::vector<std::size_t> lines;
  std::vector<std::size_t> rows;
};

LineRun CountFrom(const TextBuffer& buffer, std::size_t first, std::size_t units,
                  std::size_t long_units, Counted& counted, std::size_t stop_after = 1'000'000) {
  CharMetrics metrics = TestMetrics();
  return CountLineRun(buffer, first, metrics, 50, units, long_units,
                      [&](std::size_t line, std::size_t rows) {
                        counted.lines.push_back(line);
                        counted.rows.push_back(rows);
                        return counted.lines.size() < stop_after;
                      });
}

// "aaaaaaaaaaaa" and the like, one line of each length 0 to 29, with every kind of break.
std::u16string Lines() {
  std::u16string text;
  for (std::size_t k = 0; k < 30; ++k) {
    text += std::u16string(k, u'a') + (k % 3 == 0 ? u"\r\n" : k % 3 == 1 ? u"\n" : u"\r");
  }
  return text + u"end";
}

TEST(LineRun, CountsEveryLineToTheEndLikeOneByOne) {
  const TextBuffer buffer(Lines());
  Counted counted;
  const LineRun run = CountFrom(buffer, 4, 1'000'000, 1000, counted);
  EXPECT_EQ(run.lines, 27u);
  EXPECT_EQ(run.units_read, buffer.Length() - buffer.LineStart(4));
  EXPECT_FALSE(run.long_line || run.stopped);
  CharMetrics metrics = TestMetrics();
  for (std::size_t k = 0; k < counted.lines.size(); ++k) {
    ASSERT_EQ(counted.lines[k], 4 + k);
    ASSERT_EQ(counted.rows[k], CountRows(metrics, 50, LineOfBuffer(buffer, 4 + k)));
  }
}

// A line the budget ends in is left for the next run, unless no line is done yet.
TEST(LineRun, StopsWithTheBudgetAfterALine) {
  const TextBuffer buffer(Lines());
  Counted counted;
  // Lines 10 and 11 hold 11 + 12 units with their breaks; the budget ends inside line 12.
  const LineRun run = CountFrom(buffer, 10, 24, 1000, counted);
  EXPECT_EQ(run.lines, 2u);
  EXPECT_EQ(run.units_read, 24u);
  Counted one;
  EXPECT_EQ(CountFrom(buffer, 10, 1, 1000, one).lines, 1u);
}

TEST(LineRun, StopsWhenAskedWithTheUnitsReadSoFar) {
  const TextBuffer buffer(Lines());
  Counted counted;
  const LineRun run = CountFrom(buffer, 2, 1'000'000, 1000, counted, 5);
  EXPECT_TRUE(run.stopped);
  EXPECT_EQ(run.lines, 5u);
  EXPECT_EQ(run.units_read, buffer.LineStart(7) - buffer.LineStart(2));
}

TEST(LineRun, GivesUpOnALongLine) {
  const TextBuffer buffer(u"ab\n" + std::u16string(100'000, u'x') + u"\nc");
  Counted counted;
  const LineRun run = CountFrom(buffer, 0, 1'000'000, 50'000, counted);
  EXPECT_TRUE(run.long_line);
  EXPECT_EQ(run.lines, 1u);
  EXPECT_LT(run.units_read, 70'000u);
  Counted short_enough;
  EXPECT_EQ(CountFrom(buffer, 0, 1'000'000, 100'001, short_enough).lines, 3u);
}

}  // namespace
}  // namespace tambrel::platform::text
