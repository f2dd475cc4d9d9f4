#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "editor/row_geometry.h"
#include "text/char_metrics.h"
#include "text/clusters.h"
#include "text/tests/test_metrics.h"

namespace tambrel::testing {

// Rows laid out the way the test font measures (text/tests/test_metrics.h), each cluster as wide
// as the wrapping counts it, tabs to the next stop, a right-to-left paragraph against the right
// edge and read from right to left as a whole, which is all tests need of mixed text. The editor's
// own tests and the fake edit box both lay out rows with it, so both agree on every row.
class TestRowGeometry final : public editor::RowGeometry {
 public:
  explicit TestRowGeometry(float width) : width_(width) {}
  void SetWidth(float width) { width_ = width; }

  // The x of every cluster boundary of a row, left to right in reading order.
  std::vector<std::pair<std::size_t, float>> Stops(const editor::RowText& row) const {
    std::vector<std::pair<std::size_t, float>> stops{{0, 0.0f}};
    float x = 0;
    for (std::size_t at = 0; at < row.text.size();) {
      const std::size_t next = text::NextClusterBoundary(row.text, at);
      x += Advance(row.text.substr(at, next - at), x);
      stops.emplace_back(next, x);
      at = next;
    }
    if (row.direction == editor::Direction::kRightToLeft) {
      for (auto& stop : stops) stop.second = width_ - stop.second;
    }
    return stops;
  }

  float XOfOffset(const editor::RowText& row, std::size_t offset) override {
    for (const auto& [at, x] : Stops(row)) {
      if (at >= offset) return x;
    }
    return Stops(row).back().second;
  }

  std::size_t OffsetAtX(const editor::RowText& row, float x) override {
    std::size_t best = 0;
    float distance = 1e30f;
    for (const auto& [at, stop_x] : Stops(row)) {
      const float d = stop_x > x ? stop_x - x : x - stop_x;
      if (d < distance) {
        distance = d;
        best = at;
      }
    }
    return best;
  }

  std::optional<std::size_t> StepOnScreen(const editor::RowText& row, std::size_t offset,
                                          editor::ScreenSide side) override {
    const bool forward =
        (side == editor::ScreenSide::kRight) == (row.direction == editor::Direction::kLeftToRight);
    if (forward) {
      if (offset >= row.text.size()) return std::nullopt;
      return text::NextClusterBoundary(row.text, offset);
    }
    if (offset == 0) return std::nullopt;
    return text::PreviousClusterBoundary(row.text, offset);
  }

 private:
  float Advance(std::u16string_view cluster, float x) const {
    if (cluster == u"\t") {
      return text::kTestTabStop -
             static_cast<float>(static_cast<int>(x) % static_cast<int>(text::kTestTabStop));
    }
    return static_cast<float>(metrics_.AdvanceOf(cluster)) /
           static_cast<float>(text::CharMetrics::kUnitsPerPixel);
  }

  float width_;
  mutable text::CharMetrics metrics_ = text::TestMetrics();
};

}  // namespace tambrel::testing
