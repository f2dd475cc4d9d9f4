#include "editor/input_text.h"

#include "text/unicode_properties.h"
#include "text/utf16.h"

namespace tambrel::editor {

std::u16string WithLineBreaks(std::u16string_view text, std::u16string_view line_break) {
  std::u16string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == u'\r' || unit == u'\n') {
      if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      result += line_break;
    } else {
      result.push_back(unit);
    }
  }
  return result;
}

bool HasRightToLeft(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const text::CodePointAt c = text::DecodeAt(text, i);
    if (text::PropertiesOf(c.value).Direction() == text::StrongDirection::kRightToLeft) return true;
    i += c.length;
  }
  return false;
}

}  // namespace tambrel::editor
