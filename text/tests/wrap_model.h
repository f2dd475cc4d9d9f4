#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/tests/test_metrics.h"

namespace tambrel::text {

// The wrapping rules done the slow way: the line is cut into clusters first, and every row is
// measured afresh from its start until a cluster overflows it.
struct ModelCluster {
  std::size_t start;
  CharClass char_class;
  float advance;
};

inline std::vector<ModelCluster> ModelClusters(std::u16string_view line) {
  std::vector<ModelCluster> clusters;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const std::size_t start = i;
    char32_t c = line[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < line.size() && line[i + 1] >= 0xDC00 &&
        line[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (line[i + 1] - 0xDC00);
      ++i;
    }
    CharMeasure measure = TestMeasure(c);
    if (measure.char_class == CharClass::kCombining) {
      if (!clusters.empty()) continue;
      measure = {0, CharClass::kOrdinary};  // a mark with nothing to join stands alone
    }
    clusters.push_back({start, measure.char_class, measure.advance});
  }
  return clusters;
}

inline bool ModelBreakBetween(CharClass before, CharClass after) {
  if (before == CharClass::kTab) return true;
  if (after == CharClass::kNoBreakBefore || before == CharClass::kNoBreakAfter) return false;
  return before == CharClass::kSpace || before == CharClass::kIdeographic ||
         before == CharClass::kNoBreakBefore || after == CharClass::kIdeographic;
}

inline std::vector<std::size_t> ModelRowStarts(std::u16string_view line, float width) {
  const std::vector<ModelCluster> clusters = ModelClusters(line);
  std::vector<std::size_t> starts{0};
  std::size_t first = 0;  // cluster that starts the row
  for (;;) {
    float x = 0;
    std::size_t last_break = first;
    std::size_t overflow = clusters.size();
    for (std::size_t k = first; k < clusters.size(); ++k) {
      const ModelCluster& cluster = clusters[k];
      if (k > first && ModelBreakBetween(clusters[k - 1].char_class, cluster.char_class)) {
        last_break = k;
      }
      const bool hangs =
          cluster.char_class == CharClass::kSpace || cluster.char_class == CharClass::kTab;
      const float advance = cluster.char_class == CharClass::kTab
                                ? kTestTabStop - std::fmod(x, kTestTabStop)
                                : cluster.advance;
      const bool fits = width > 0 && x + advance <= width;
      if (k > first && !hangs && !fits) {
        overflow = k;
        break;
      }
      x += advance;
    }
    if (overflow == clusters.size()) return starts;
    first = last_break > first ? last_break : overflow;
    starts.push_back(clusters[first].start);
  }
}

}  // namespace tambrel::text
