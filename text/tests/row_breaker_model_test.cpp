// Random lines wrapped by the breaker, fed in any spans and from any row start, against the
// slow model.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/line_wrap.h"
#include "text/row_breaker.h"
#include "text/tests/wrap_model.h"

namespace tambrel::text {
namespace {

constexpr float kWidths[] = {-5, 0, 5, 10, 15, 25, 40, 55, 80, 123.5f, 400};

std::u16string RandomLine(std::mt19937& random, std::size_t max_length) {
  static const std::u16string kPieces[] = {u"a", u"b", u"W", u" ", u"  ", u"\t", u"中", u"文",
                                           u"，", u"（", u"!", u"\u0301", u"😀", u"𝐀", u"\u200B",
                                           // What joins into clusters of several characters.
                                           u"\u200D", u"👨", u"🇨", u"\uFE0F", u"🏽", u"क",
                                           u"\u094D", u"ि", u"\u1100", u"\u1161", u"\u0600", u"\r",
                                           u"\n", std::u16string(1, char16_t{0xD800}),
                                           std::u16string(1, char16_t{0xDC00})};
  std::uniform_int_distribution<std::size_t> length(0, max_length);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::u16string line;
  for (std::size_t n = length(random); n > 0; --n) line += kPieces[piece(random)];
  return line;
}

std::vector<std::size_t> WrapInSpans(std::u16string_view line, float width, std::size_t from,
                                     std::mt19937& random) {
  CharMetrics metrics = TestMetrics();
  std::vector<std::size_t> starts{from};
  RowBreaker breaker(metrics, width, from);
  breaker.CollectStarts(&starts);
  std::uniform_int_distribution<std::size_t> span(0, 5);
  for (std::size_t at = from; at < line.size();) {
    const std::size_t size = std::min(span(random), line.size() - at);
    EXPECT_TRUE(breaker.Feed(line.substr(at, size)));
    at += size;
  }
  breaker.Finish();
  EXPECT_EQ(breaker.Rows(), starts.size());
  return starts;
}

TEST(RowBreakerModel, RandomLinesWrapAsTheModelDoes) {
  std::mt19937 random(11);
  CharMetrics metrics = TestMetrics();
  for (int round = 0; round < 3000; ++round) {
    const std::u16string line = RandomLine(random, 40);
    for (float width : kWidths) {
      const std::vector<std::size_t> starts = ModelRowStarts(line, width);
      ASSERT_EQ(RowStarts(metrics, width, LineOfText(line)), starts)
          << "width " << width << " round " << round;
      ASSERT_EQ(CountRows(metrics, width, LineOfText(line)), starts.size());
    }
  }
}

TEST(RowBreakerModel, SpansCutAnywhereFromAnyRowStartGiveTheRowsAfterIt) {
  std::mt19937 random(13);
  for (int round = 0; round < 500; ++round) {
    const std::u16string line = RandomLine(random, 60);
    for (float width : kWidths) {
      const std::vector<std::size_t> all = ModelRowStarts(line, width);
      for (std::size_t row = 0; row < all.size(); ++row) {
        const std::vector<std::size_t> tail(all.begin() + static_cast<std::ptrdiff_t>(row),
                                            all.end());
        ASSERT_EQ(WrapInSpans(line, width, all[row], random), tail)
            << "width " << width << " row " << row;
      }
    }
  }
}

}  // namespace
}  // namespace tambrel::text
