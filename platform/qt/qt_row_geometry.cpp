#include "platform/qt/qt_row_geometry.h"

#include <QFontMetricsF>
#include <QTextOption>
#include <algorithm>

#include "editor/tab_stops.h"

namespace tambrel::platform::qt {
namespace {

bool BreaksALayoutLine(char16_t unit) {
  return unit == 0x2028 || unit == 0x2029 || unit == 0x0B || unit == 0x0C || unit == 0x85;
}

}  // namespace

QString LayoutText(std::u16string_view row) {
  QString shown(reinterpret_cast<const QChar*>(row.data()), static_cast<qsizetype>(row.size()));
  for (QChar& c : shown) {
    if (BreaksALayoutLine(c.unicode())) c = QLatin1Char(' ');
  }
  return shown;
}

QtRowGeometry::QtRowGeometry(const QFont& font) { SetFont(font); }

void QtRowGeometry::SetFont(const QFont& font) {
  font_ = font;
  // Kerning would move glyphs away from the advances rows are wrapped by.
  font_.setKerning(false);
  tab_stop_ = editor::TabStopDistance(
      static_cast<float>(QFontMetricsF(font_).horizontalAdvance(QLatin1Char(' '))));
  last_.reset();
}

void QtRowGeometry::SetWidth(float width) {
  if (width == width_) return;
  width_ = width;
  last_.reset();
}

void QtRowGeometry::LayOut(QTextLayout& layout, editor::Direction direction) const {
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(tab_stop_);
  const bool right_to_left = direction == editor::Direction::kRightToLeft;
  option.setTextDirection(right_to_left ? Qt::RightToLeft : Qt::LeftToRight);
  option.setAlignment(right_to_left ? Qt::AlignRight : Qt::AlignLeft);
  layout.setFont(font_);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) {
    line.setLeadingIncluded(true);
    // Rows were found by the editor; the width only places a right-to-left row at the right.
    line.setLineWidth(width_);
    line.setPosition(QPointF(0, 0));
  }
  layout.endLayout();
}

QTextLayout& QtRowGeometry::Layout(const editor::RowText& row) {
  if (!last_ || last_direction_ != row.direction || last_text_ != row.text) {
    last_text_.assign(row.text);
    last_direction_ = row.direction;
    last_ = std::make_unique<QTextLayout>(LayoutText(row.text));
    LayOut(*last_, row.direction);
  }
  return *last_;
}

float QtRowGeometry::XOfOffset(const editor::RowText& row, std::size_t offset) {
  const QTextLine line = Layout(row).lineAt(0);
  if (!line.isValid()) return 0;
  return static_cast<float>(line.cursorToX(static_cast<int>(std::min(offset, row.text.size()))));
}

std::size_t QtRowGeometry::OffsetAtX(const editor::RowText& row, float x) {
  const QTextLine line = Layout(row).lineAt(0);
  if (!line.isValid()) return 0;
  return static_cast<std::size_t>(std::max(0, line.xToCursor(x)));
}

std::optional<std::size_t> QtRowGeometry::StepOnScreen(const editor::RowText& row,
                                                      std::size_t offset,
                                                      editor::ScreenSide side) {
  QTextLayout& layout = Layout(row);
  const int from = static_cast<int>(std::min(offset, row.text.size()));
  const int to = side == editor::ScreenSide::kLeft ? layout.leftCursorPosition(from)
                                                   : layout.rightCursorPosition(from);
  if (to == from) return std::nullopt;
  return static_cast<std::size_t>(to);
}

}  // namespace tambrel::platform::qt
