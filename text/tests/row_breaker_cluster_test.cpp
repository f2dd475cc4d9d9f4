// Rows never split a grapheme cluster, and a cluster takes the room it is drawn in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/clusters.h"
#include "text/line_wrap.h"
#include "text/row_breaker.h"
#include "text/tests/test_metrics.h"

namespace tambrel::text {
namespace {

using Rows = std::vector<std::u16string>;

const std::u16string kFamily = u"👨\u200D👩\u200D👧";  // drawn as one 25 px glyph

Rows Wrap(std::u16string_view line, float width) {
  CharMetrics metrics = TestMetrics();
  return Slice(line, RowStarts(metrics, width, LineOfText(line)));
}

std::u16string Repeat(std::u16string_view part, int times) {
  std::u16string text;
  for (int n = 0; n < times; ++n) text += part;
  return text;
}

TEST(RowBreakerClusters, ARowOfFamiliesHoldsAsManyAsFit) {
  const std::u16string line = Repeat(kFamily, 12);
  for (int fit = 1; fit <= 5; ++fit) {
    // Room for `fit` families and a little more, not for one more.
    const Rows rows = Wrap(line, static_cast<float>(fit * 25 + 7));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>((12 + fit - 1) / fit)) << fit;
    for (std::size_t row = 0; row + 1 < rows.size(); ++row) {
      EXPECT_EQ(rows[row], Repeat(kFamily, fit)) << fit << " row " << row;
    }
  }
}

TEST(RowBreakerClusters, WholeClustersTakeTheirDrawnWidth) {
  // A flag is a letter pair drawn as one 25 px glyph; an emoji with a skin tone likewise.
  EXPECT_EQ(Wrap(u"🇨🇳🇯🇵🇫🇷", 55), (Rows{u"🇨🇳🇯🇵", u"🇫🇷"}));
  EXPECT_EQ(Wrap(u"👍🏽👍🏽👍🏽", 50), (Rows{u"👍🏽👍🏽", u"👍🏽"}));
  // A keycap is '#' with a selector and an enclosing mark: measured whole, 15 px.
  EXPECT_EQ(Wrap(u"#\uFE0F\u20E3#\uFE0F\u20E3ab", 40),
            (Rows{u"#\uFE0F\u20E3#\uFE0F\u20E3a", u"b"}));
  // Marks on a base add nothing, whatever the font says of them alone.
  EXPECT_EQ(Wrap(u"e\u0301e\u0301e\u0301", 30), (Rows{u"e\u0301e\u0301e\u0301"}));
}

TEST(RowBreakerClusters, NoWidthSplitsACluster) {
  const std::u16string clusters[] = {
      u"e\u0301",
      kFamily,
      u"क्षि",
      u"🇨🇳",
      u"👍🏽",
      u"#\uFE0F\u20E3",
      u"\u1100\u1161\u11A8",
      u"\u0600\u0661",
      u"🏳\uFE0F\u200D🌈",
      u"\r\n",
  };
  std::u16string line;
  std::vector<std::size_t> boundaries{0};
  for (int round = 0; round < 3; ++round) {
    for (const std::u16string& cluster : clusters) {
      line += cluster;
      boundaries.push_back(line.size());
    }
  }
  for (float width = -5; width <= 120; width += 2.5f) {
    CharMetrics metrics = TestMetrics();
    for (const std::size_t start : RowStarts(metrics, width, LineOfText(line))) {
      EXPECT_TRUE(std::binary_search(boundaries.begin(), boundaries.end(), start))
          << "width " << width << " start " << start;
    }
  }
  // At a width narrower than anything, every cluster is a row of its own.
  EXPECT_EQ(Wrap(line, 0).size(), boundaries.size() - 1);
}

TEST(RowBreakerClusters, ClustersCutBetweenSpansWrapAsWhole) {
  const std::u16string line = Repeat(u"a" + kFamily + u"क्षि🇨🇳e\u0301\u0302 ", 6);
  for (float width : {0.0f, 30.0f, 47.5f, 90.0f}) {
    CharMetrics metrics = TestMetrics();
    const std::vector<std::size_t> whole = RowStarts(metrics, width, LineOfText(line));
    for (std::size_t span = 1; span <= 5; ++span) {
      std::vector<std::size_t> starts{0};
      RowBreaker breaker(metrics, width);
      breaker.CollectStarts(&starts);
      for (std::size_t at = 0; at < line.size(); at += span) {
        breaker.Feed(std::u16string_view(line).substr(at, span));
      }
      breaker.Finish();
      EXPECT_EQ(starts, whole) << "width " << width << " span " << span;
    }
  }
}

// A pathological cluster is cut every kMaxClusterUnits units, so that no row holds more of it.
TEST(RowBreakerClusters, AnOverlongClusterIsCut) {
  const std::u16string line = u"a\u200D" + std::u16string(500, u'\u0301') + u"b";
  CharMetrics metrics = TestMetrics();
  EXPECT_EQ(RowStarts(metrics, 0, LineOfText(line)),
            (std::vector<std::size_t>{0, kMaxClusterUnits, 2 * kMaxClusterUnits,
                                      3 * kMaxClusterUnits, line.size() - 1}));
}

}  // namespace
}  // namespace tambrel::text
