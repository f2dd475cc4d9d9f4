#include "commands/font_and_colour.h"

#include <cmath>

namespace tambrel::commands {

namespace {
// A control's font size holds four decimal places; the dialog's single-precision size would
// otherwise bring float noise (12.3 as 12.30000019) into the editor's font.
double ControlFontSize(float dialog_size) {
  return std::round(static_cast<double>(dialog_size) * 10000.0) / 10000.0;
}

platform::FontChoice FontFromDialog(const platform::CommonDialog& dialog) {
  platform::FontChoice font;
  font.size = ControlFontSize(dialog.FontSize);
  font.bold = dialog.FontBold;
  font.name = dialog.FontName;
  font.italic = dialog.FontItalic;
  return font;
}
}  // namespace

void ZtB_Click(platform::EditBox& Text1, platform::PictureBox& picLines,
               platform::CommonDialog& CommonDialog1) {
  const platform::FontChoice editor_font = Text1.Font();
  CommonDialog1.FontSize = static_cast<float>(editor_font.size);
  CommonDialog1.FontName = editor_font.name;
  CommonDialog1.FontBold = editor_font.bold;
  CommonDialog1.FontItalic = editor_font.italic;

  // Confirmed or cancelled, the dialog's values are applied: after a cancel they are still the
  // editor's own, which is what brings the gutter's font in line with the editor's.
  static_cast<void>(CommonDialog1.ShowFont());
  const platform::FontChoice chosen = FontFromDialog(CommonDialog1);
  Text1.SetFont(chosen);
  picLines.SetFont(chosen);
}

void ZtC_Click(platform::EditBox& Text1, platform::CommonDialog& CommonDialog1) {
  // After a cancel the dialog still holds the last colour, so the text keeps its colour.
  static_cast<void>(CommonDialog1.ShowColor());
  Text1.SetForeColor(CommonDialog1.Color);
}

}  // namespace tambrel::commands
