#include "gutter/draw_lines.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "gutter/gutter_painter.h"
#include "platform/ole_color.h"

namespace tambrel::gutter {

namespace {
platform::ColorRef NumberColor(NumberColour colour, const platform::SystemColors& desktop) {
  return platform::TranslateColor(colour == NumberColour::kInSelection
                                      ? platform::kSystemWindowText
                                      : platform::kSystemButtonShadow,
                                  desktop);
}


// The editor's rows as the gutter needs them, or nothing while the rows above the view are
// still being counted: then no number would be sure, and the gutter shows none rather than a
// guess.
std::optional<GutterInputs> ReadNumbers(platform::EditBox& text1, GutterInputs in) {
  const std::optional<std::int32_t> first = text1.CountedFirstVisibleLine();
  if (!first) return std::nullopt;
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
  return in;
}

GutterInputs ReadGeometry(platform::PictureBox& picTo, platform::EditBox& text1) {
  GutterInputs in;
  const platform::PixelRect extent = picTo.MeasureText(u"Hy");
  in.h = extent.bottom - extent.top;
  in.first_row_top = text1.FirstVisibleLineTop();
  const platform::PixelRect client = picTo.ClientRect();
  in.W = client.right;
  in.H = client.bottom - client.top;
  return in;
}

int Paint(platform::PictureBox& picTo, const platform::SystemColors& desktop,
          const GutterInputs& geometry, const std::optional<GutterInputs>& numbers) {
  if (!numbers) {
    GutterPicture blank = PaintGutter(geometry);
    picTo.FillRect(blank.background, platform::TranslateColor(picTo.BackColor(), desktop));
    picTo.DrawVerticalLine(blank.separator.x, blank.separator.top, blank.separator.bottom,
                           platform::TranslateColor(platform::kSystemButtonShadow, desktop));
    picTo.Refresh();
    return 0;
  }
  const GutterPicture picture = PaintGutter(*numbers);
  picTo.FillRect(picture.background, platform::TranslateColor(picTo.BackColor(), desktop));
  int widest = 0;
  for (const GutterRow& row : picture.rows) {
    picTo.DrawTextRight(row.text, row.rect, NumberColor(row.colour, desktop));
    const platform::PixelRect number = picTo.MeasureText(row.text);
    widest = std::max(widest, number.right - number.left);
  }
  picTo.DrawVerticalLine(picture.separator.x, picture.separator.top, picture.separator.bottom,
                         platform::TranslateColor(platform::kSystemButtonShadow, desktop));
  picTo.Refresh();
  return GutterWidthFor(widest);
}

}  // namespace

int DrawLines(platform::PictureBox& picTo, platform::EditBox& text1,
              const platform::SystemColors& desktop) {
  const GutterInputs geometry = ReadGeometry(picTo, text1);
  return Paint(picTo, desktop, geometry, ReadNumbers(text1, geometry));
}

int DrawLines(platform::PictureBox& picTo, platform::EditBox& text1,
              const platform::SystemColors& desktop, ShownGutter& shown) {
  const GutterInputs geometry = ReadGeometry(picTo, text1);
  const std::optional<GutterInputs> numbers = ReadNumbers(text1, geometry);
  if (shown.box == &picTo && shown.geometry == geometry && shown.numbers == numbers) {
    return shown.needed_width;
  }
  shown.needed_width = Paint(picTo, desktop, geometry, numbers);
  shown.box = &picTo;
  shown.geometry = geometry;
  shown.numbers = numbers;
  return shown.needed_width;
}

}  // namespace tambrel::gutter
