#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/char_class.h"
#include "text/clusters.h"
#include "text/tests/test_metrics.h"
#include "text/unicode_properties.h"

namespace tambrel::text {

// The wrapping rules done the slow way: the line is cut into grapheme clusters first (by
// clusters.h, which is tested on its own against Unicode's test data), each cluster is measured
// in the test font, and every row is measured afresh from its start until a cluster overflows it.
struct ModelCluster {
  std::size_t start;
  CharClass char_class;
  float advance;
};

inline char32_t ModelCodePointAt(std::u16string_view text, std::size_t& at) {
  char32_t c = text[at++];
  if (c >= 0xD800 && c <= 0xDBFF && at < text.size() && text[at] >= 0xDC00 && text[at] <= 0xDFFF) {
    c = 0x10000 + ((c - 0xD800) << 10) + (text[at++] - 0xDC00);
  }
  return c;
}

// A nonspacing or enclosing mark that is not a variation selector sits on its base and adds
// nothing; any other cluster of several code points is drawn as the font draws it whole.
inline bool ModelIsMarkOnBase(char32_t c) {
  const GeneralCategory category = PropertiesOf(c).Category();
  const bool selector = (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
  return (category == GeneralCategory::kNonspacingMark ||
          category == GeneralCategory::kEnclosingMark) &&
         !selector;
}

inline float ModelAdvance(std::u16string_view cluster) {
  std::size_t at = 0;
  const char32_t first = ModelCodePointAt(cluster, at);
  while (at < cluster.size()) {
    if (!ModelIsMarkOnBase(ModelCodePointAt(cluster, at))) return TestClusterAdvance(cluster);
  }
  return ModelIsMarkOnBase(first) ? 0 : TestAdvance(first);
}

inline std::vector<ModelCluster> ModelClusters(std::u16string_view line) {
  std::vector<ModelCluster> clusters;
  for (std::size_t start = 0; start < line.size();) {
    const std::size_t end = NextClusterBoundary(line, start);
    const std::u16string_view cluster = line.substr(start, end - start);
    std::size_t at = 0;
    clusters.push_back({start, CharClassOf(ModelCodePointAt(cluster, at)), ModelAdvance(cluster)});
    start = end;
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
