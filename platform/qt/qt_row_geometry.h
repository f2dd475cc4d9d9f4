#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <memory>

#include "editor/row_geometry.h"

namespace tambrel::platform::qt {

// Room between the viewport's edges and the text, as a plain-text edit leaves it.
inline constexpr int kTextMargin = 4;

// The row text as Qt lays it out: characters that would end a layout line on their own (line and
// paragraph separators, form feed, …) shown as spaces, as wide as the wrapping measured them.
QString LayoutText(std::u16string_view row);

// Where characters fall on a row, as Qt's text layout sets it in the editor's font: tab stops,
// shaping, right-to-left runs, and rows of a right-to-left paragraph against the right edge.
// The last row asked about is kept laid out, since the editor asks several questions of a row.
class QtRowGeometry final : public editor::RowGeometry {
 public:
  explicit QtRowGeometry(const QFont& font);

  void SetFont(const QFont& font);
  const QFont& Font() const { return font_; }
  float TabStop() const { return tab_stop_; }
  // The width rows are wrapped at, which a right-to-left row is aligned within.
  void SetWidth(float width);
  float Width() const { return width_; }

  float XOfOffset(const editor::RowText& row, std::size_t offset) override;
  std::size_t OffsetAtX(const editor::RowText& row, float x) override;
  std::optional<std::size_t> StepOnScreen(const editor::RowText& row, std::size_t offset,
                                          editor::ScreenSide side) override;

  // The row laid out as it is painted, with what the painter adds (a composition's formats).
  void LayOut(QTextLayout& layout, editor::Direction direction) const;

 private:
  QTextLayout& Layout(const editor::RowText& row);

  QFont font_;
  float tab_stop_ = 80;
  float width_ = 1;
  std::unique_ptr<QTextLayout> last_;
  std::u16string last_text_;
  editor::Direction last_direction_ = editor::Direction::kLeftToRight;
};

}  // namespace tambrel::platform::qt
