#include "platform/win32/text_view/uniscribe_char_metrics.h"

#include <optional>
#include <string>

#include "platform/win32/text_view/shaped_row.h"
#include "text/unicode_properties.h"

namespace tambrel::platform::win32 {
namespace {

float ShapedWidth(const MeasuringFont& font, std::u16string_view units) {
  return static_cast<float>(
      ShapedRow(font.Dc(), units, editor::Direction::kLeftToRight, font.TabStop()).Width());
}

// Characters Uniscribe may draw unlike GDI draws them alone: controls and format characters
// (drawn as nothing), separators, marks, unassigned code points, and complex scripts.
bool ShapedUnlikeGdi(char32_t code_point) {
  using text::GeneralCategory;
  switch (text::PropertiesOf(code_point).Category()) {
    case GeneralCategory::kControl:
    case GeneralCategory::kFormat:
    case GeneralCategory::kSurrogate:
    case GeneralCategory::kLineSeparator:
    case GeneralCategory::kParagraphSeparator:
    case GeneralCategory::kUnassigned:
    case GeneralCategory::kNonspacingMark:
    case GeneralCategory::kSpacingMark:
    case GeneralCategory::kEnclosingMark:
      return true;
    default:
      break;
  }
  const wchar_t unit = static_cast<wchar_t>(code_point);
  return ::ScriptIsComplex(&unit, 1, SIC_COMPLEX) == S_OK;
}

// The advance GDI gives a BMP character the font itself draws plainly; nothing for the rest.
std::optional<float> OwnAdvance(const MeasuringFont& font, char32_t code_point) {
  if (code_point > 0xFFFF || ShapedUnlikeGdi(code_point)) return std::nullopt;
  const wchar_t unit = static_cast<wchar_t>(code_point);
  WORD glyph = 0;
  if (::GetGlyphIndicesW(font.Dc(), &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) != 1 ||
      glyph == 0xFFFF) {
    return std::nullopt;
  }
  SIZE size{};
  if (!::GetTextExtentPoint32W(font.Dc(), &unit, 1, &size)) return std::nullopt;
  return static_cast<float>(size.cx);
}

}  // namespace

text::CharMetrics UniscribeCharMetrics(std::shared_ptr<const MeasuringFont> font) {
  const float tab_stop = static_cast<float>(font->TabStop());
  return text::CharMetrics(
      [font](char32_t code_point) {
        if (const std::optional<float> own = OwnAdvance(*font, code_point)) return *own;
        std::u16string units;
        if (code_point > 0xFFFF) {
          const char32_t above = code_point - 0x10000;
          units = {static_cast<char16_t>(0xD800 + (above >> 10)),
                   static_cast<char16_t>(0xDC00 + (above & 0x3FF))};
        } else {
          units = {static_cast<char16_t>(code_point)};
        }
        return ShapedWidth(*font, units);
      },
      [font](std::u16string_view cluster) { return ShapedWidth(*font, cluster); }, tab_stop);
}

}  // namespace tambrel::platform::win32
