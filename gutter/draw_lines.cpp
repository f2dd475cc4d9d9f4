#include "gutter/draw_lines.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "gutter/gutter_painter.h"
#include "platform/ole_color.h"

namespace tambrel::gutter {

namespace {
platform::ColorRef NumberColor(NumberColour colour) {
  return platform::TranslateColor(colour == NumberColour::kInSelection
                                      ? platform::kSystemWindowText
                                      : platform::kSystemButtonShadow);
}
}  // namespace

int DrawLines(platform::PictureBox& picTo, platform::EditBox& text1) {
  GutterInputs in;
  const platform::PixelRect extent = picTo.MeasureText(u"Hy");
  in.h = extent.bottom - extent.top;
  in.first_row_top = text1.FirstVisibleLineTop();
  const platform::PixelRect client = picTo.ClientRect();
  in.W = client.right;
  in.H = client.bottom - client.top;

  // While the rows above the view are still being counted no number would be sure: the gutter
  // shows none until they are, rather than a guess.
  const std::optional<std::int32_t> first = text1.CountedFirstVisibleLine();
  if (!first) {
    GutterPicture blank = PaintGutter(in);
    picTo.FillRect(blank.background, platform::TranslateColor(picTo.BackColor()));
    picTo.DrawVerticalLine(blank.separator.x, blank.separator.top, blank.separator.bottom,
                           platform::TranslateColor(platform::kSystemButtonShadow));
    picTo.Refresh();
    return 0;
  }
  in.F = *first;

  // Rows below the gutter's last whole row change nothing that is drawn, so they are never
  // counted: the numbers stay exact without waiting for a long document to be measured.
  const std::int32_t limit = RowLimit(in.h, in.F, in.H, in.first_row_top);
  in.N = text1.LineCountUpTo(limit);
  const std::int32_t sel_start = text1.SelStart();
  in.S = text1.LineFromCharUpTo(sel_start, limit);
  const std::int64_t last_selected = std::int64_t{sel_start} + text1.SelLength() - 1;
  in.E = last_selected > sel_start
             ? text1.LineFromCharUpTo(static_cast<std::int32_t>(last_selected), limit)
             : in.S;

  const GutterPicture picture = PaintGutter(in);
  picTo.FillRect(picture.background, platform::TranslateColor(picTo.BackColor()));
  int widest = 0;
  for (const GutterRow& row : picture.rows) {
    picTo.DrawTextRight(row.text, row.rect, NumberColor(row.colour));
    const platform::PixelRect number = picTo.MeasureText(row.text);
    widest = std::max(widest, number.right - number.left);
  }
  picTo.DrawVerticalLine(picture.separator.x, picture.separator.top, picture.separator.bottom,
                         platform::TranslateColor(platform::kSystemButtonShadow));
  picTo.Refresh();
  return GutterWidthFor(widest);
}

}  // namespace tambrel::gutter
