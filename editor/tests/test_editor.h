#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "tests/support/test_row_geometry.h"
#include "text/tests/test_metrics.h"

namespace tambrel::editor {

// The test font's rows, shared with the fake edit box of the command tests.
using TestGeometry = testing::TestRowGeometry;

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
