#include "main_window/layout_record.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace tambrel::main_window {

std::u16string FormatSingle(float value, char16_t decimal_separator) {
  if (value == 0.0f) return u"0";  // also turns -0 into 0
  // to_chars ignores the C library's locale, which the toolkit sets from the desktop's: the
  // separator is the one the caller names, and the same one is read back.
  char buffer[32];
  const auto [end, error] = std::to_chars(
      buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::general, 7);
  if (error != std::errc()) return u"0";
  std::u16string text;
  for (const char* c = buffer; c != end; ++c) {
    if (*c == '.') {
      text.push_back(decimal_separator);
    } else {
      text.push_back(static_cast<char16_t>(std::toupper(static_cast<unsigned char>(*c))));
    }
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
  double value = 0;
  const char* end = ascii.data() + ascii.size();
  const auto [stop, error] = std::from_chars(ascii.data(), end, value);
  return (error == std::errc() && stop == end && std::isfinite(value)) ? value : 0;
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
