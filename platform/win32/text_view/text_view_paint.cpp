// Painting: the rows the editor says are in view, into an off-screen image that goes to the
// window in one piece.
#include <algorithm>
#include <cmath>

#include "platform/win32/text_view/text_view.h"

namespace tambrel::platform::win32 {
namespace {

void FillWith(HDC dc, const RECT& rect, COLORREF color) {
  const GdiObject<HBRUSH> brush(::CreateSolidBrush(color));
  ::FillRect(dc, &rect, brush.get());
}

}  // namespace

void TextView::OnPaint() {
  const PaintDc paint(Hwnd());
  const RECT area = ClientArea();
  const int width = std::max(1L, area.right - area.left);
  const int height = std::max(1L, area.bottom - area.top);
  if (!back_buffer_ || back_buffer_->Width() != width || back_buffer_->Height() != height) {
    back_buffer_ = std::make_unique<MemoryDc>(paint.get(), width, height);
  }
  PaintTo(back_buffer_->get(), area);
  const RECT& dirty = paint.Dirty();
  ::BitBlt(paint.get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           back_buffer_->get(), dirty.left, dirty.top, SRCCOPY);
}

void TextView::PaintTo(HDC dc, const RECT& area) {
  FillWith(dc, area, background_);
  const SelectObjectScope font(dc, geometry_.Font().Font());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, text_color_);
  ::SetTextAlign(dc, TA_LEFT | TA_TOP);
  const std::optional<std::size_t> caret_row =
      editor_.Composition().empty() ? std::nullopt
                                    : editor_.View().IndexOnScreen(editor_.CaretPlace());
  const std::vector<editor::ScreenRow>& rows = editor_.Rows();
  int y = kTextMargin;
  for (std::size_t i = 0; i < rows.size() && y < area.bottom; ++i) {
    if (caret_row && *caret_row == i) {
      // The composition takes as many rows as it needs; the rows after it move down.
      y = PaintComposition(dc, rows[i], y);
      continue;
    }
    PaintRow(dc, rows[i], y);
    y += row_height_;
  }
}

void TextView::PaintRow(HDC dc, const editor::ScreenRow& row, int y) {
  std::u16string scratch;
  const editor::RowText text = editor_.TextOf(row, scratch);
  const ShapedRow shaped = geometry_.Shape(dc, text);
  const editor::Selection& selection = editor_.GetSelection();
  std::size_t from = 0;
  std::size_t to = 0;
  if (selection.Start() < row.end && selection.End() > row.start) {
    from = std::max(selection.Start(), row.start) - row.start;
    to = std::min(selection.End(), row.end) - row.start;
  }
  shaped.Draw(kTextMargin + geometry_.RowLeft(shaped, text.direction), y, from, to);
  PaintDropCaret(dc, row, y);
}

int TextView::PaintComposition(HDC dc, const editor::ScreenRow& row, int y) {
  std::u16string scratch;
  const editor::Direction direction = editor_.TextOf(row, scratch).direction;
  for (const editor::ComposedRow& composed : editor_.ComposedCaretRow()) {
    const ShapedRow shaped = geometry_.Shape(dc, editor::RowText{composed.text, direction});
    const int left = kTextMargin + geometry_.RowLeft(shaped, direction);
    shaped.Draw(left, y, 0, 0);
    // The composition underlined, a character at a time, so that runs of either direction are.
    const int underline = y + row_height_ - 2;
    for (std::size_t unit = composed.composition_start; unit < composed.composition_end; ++unit) {
      const int a = shaped.EdgeX(unit, false);
      const int b = shaped.EdgeX(unit, true);
      FillWith(dc, RECT{left + std::min(a, b), underline, left + std::max(a, b), underline + 1},
               text_color_);
    }
    y += row_height_;
  }
  return y;
}

void TextView::PaintDropCaret(HDC dc, const editor::ScreenRow& row, int y) {
  if (!drop_caret_ || *drop_caret_ < row.start || *drop_caret_ > row.end ||
      !(editor_.PlaceOf(*drop_caret_) == row.place)) {
    return;
  }
  std::u16string scratch;
  const editor::RowText text = editor_.TextOf(row, scratch);
  const int x = kTextMargin +
                static_cast<int>(std::lround(geometry_.XOfOffset(text, *drop_caret_ - row.start)));
  FillWith(dc, RECT{x, y, x + 2, y + row_height_}, text_color_);
}

void TextView::ShowDropCaret(std::optional<std::size_t> position) {
  if (position == drop_caret_) return;
  drop_caret_ = position;
  Repaint();
}

}  // namespace tambrel::platform::win32
