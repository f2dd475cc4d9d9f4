#include "main_window/layout_record.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tambrel::main_window {

std::u16string FormatSingle(float value, char16_t decimal_separator) {
  if (value == 0.0f) return u"0";  // also turns -0 into 0
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
  std::u16string text;
  for (const char* c = buffer; *c != '\0'; ++c) {
    text.push_back(*c == '.' ? decimal_separator : static_cast<char16_t>(*c));
  }
  return text;
}

std::u16string FormatLayoutRecord(float left, float top, float width, float height,
                                  char16_t decimal_separator) {
  std::u16string record;
  for (const float value : {left, top, width, height}) {
    record += FormatSingle(value, decimal_separator);
    record += kRecordSeparator;
  }
  return record;
}

namespace {
// The field's text, without the leading spaces the conversion skips, as a number.
double ParseField(std::u16string_view text, char16_t decimal_separator) {
  std::string ascii;
  bool started = false;
  for (const char16_t c : text) {
    if (!started && c == u' ') continue;
    started = true;
    if (c == decimal_separator) {
      ascii.push_back('.');
    } else if (c < 0x80) {
      ascii.push_back(static_cast<char>(c));
    } else {
      return 0;
    }
  }
  if (ascii.empty()) return 0;
  char* end = nullptr;
  const double value = std::strtod(ascii.c_str(), &end);
  return (end != nullptr && *end == '\0' && std::isfinite(value)) ? value : 0;
}
}  // namespace

LayoutFields ParseLayoutRecord(std::u16string_view record, char16_t decimal_separator) {
  LayoutFields fields;
  std::size_t position = 0;
  for (double* field : {&fields.left, &fields.top, &fields.width, &fields.height}) {
    const std::size_t separator = record.find(kRecordSeparator, position);
    if (separator == std::u16string_view::npos) {
      *field = 0;
      continue;  // the position stays, so every later field finds no separator either
    }
    *field = ParseField(record.substr(position, separator - position), decimal_separator);
    position = separator + 1;  // the next field starts with the separator's other two spaces
  }
  return fields;
}

int RoundHalfToEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace tambrel::main_window
