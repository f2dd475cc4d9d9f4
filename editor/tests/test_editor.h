#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "text/clusters.h"
#include "text/tests/test_metrics.h"

namespace tambrel::editor {

// Rows laid out the way the test font measures (text/tests/test_metrics.h), each cluster as wide
// as the wrapping counts it, tabs to the next stop, a right-to-left paragraph against the right
// edge and read from right to left as a whole, which is all these tests need of mixed text.
class TestGeometry final : public RowGeometry {
 public:
  explicit TestGeometry(float width) : width_(width) {}
  void SetWidth(float width) { width_ = width; }

  // The x of every cluster boundary of a row, left to right in reading order.
  std::vector<std::pair<std::size_t, float>> Stops(const RowText& row) const {
    std::vector<std::pair<std::size_t, float>> stops{{0, 0.0f}};
    float x = 0;
    for (std::size_t at = 0; at < row.text.size();) {
      const std::size_t next = text::NextClusterBoundary(row.text, at);
      x += Advance(row.text.substr(at, next - at), x);
      stops.emplace_back(next, x);
      at = next;
    }
    if (row.direction == Direction::kRightToLeft) {
      for (auto& stop : stops) stop.second = width_ - stop.second;
    }
    return stops;
  }

  float XOfOffset(const RowText& row, std::size_t offset) override {
    for (const auto& [at, x] : Stops(row)) {
      if (at >= offset) return x;
    }
    return Stops(row).back().second;
  }

  std::size_t OffsetAtX(const RowText& row, float x) override {
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

  std::optional<std::size_t> StepOnScreen(const RowText& row, std::size_t offset,
                                          ScreenSide side) override {
    const bool forward = (side == ScreenSide::kRight) == (row.direction == Direction::kLeftToRight);
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

// An editor over the test font, `width` pixels wide and `rows` rows high.
class TestEditor {
 public:
  explicit TestEditor(float width = 200, int rows = 5)
      : geometry_(width),
        editor_(geometry_, std::make_unique<text::CharMetrics>(text::TestMetrics()), width) {
    editor_.SetVisibleRows(rows);
    editor_.on_change = [this](unsigned changed) { changes_.push_back(changed); };
  }

  Editor& operator*() { return editor_; }
  Editor* operator->() { return &editor_; }
  TestGeometry& Geometry() { return geometry_; }
  std::vector<unsigned>& Changes() { return changes_; }

  std::u16string Text() const { return editor_.Buffer().Text(); }
  std::size_t Caret() const { return editor_.GetSelection().caret.position; }
  // The rows on screen as strings.
  std::vector<std::u16string> ScreenTexts() {
    std::vector<std::u16string> texts;
    for (const ScreenRow& row : editor_.Rows()) {
      texts.push_back(editor_.Buffer().Substring(row.start, row.end - row.start));
    }
    return texts;
  }

 private:
  TestGeometry geometry_;
  Editor editor_;
  std::vector<unsigned> changes_;
};

}  // namespace tambrel::editor
