#pragma once

#include <array>
#include <string>

namespace tambrel::main_window {

// The four numbers a control's layout record holds, in this order.
struct LayoutFields {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;

  friend bool operator==(const LayoutFields&, const LayoutFields&) = default;
};

// Three spaces follow every number of a record, the last one included.
inline constexpr std::u16string_view kRecordSeparator = u"   ";

// A single-precision value as text: up to seven significant digits, the locale's decimal
// separator only when there is a fractional part, no leading zeros or spaces.
std::u16string FormatSingle(float value, char16_t decimal_separator);

// "120   0   450   300   " for a control at 120, 0 sized 450 x 300.
std::u16string FormatLayoutRecord(float left, float top, float width, float height,
                                  char16_t decimal_separator);

// Reads a record back. Each field ends at the next separator; a field whose separator is
// missing reads 0, and so does every field after it. A field that is not a number reads 0.
LayoutFields ParseLayoutRecord(std::u16string_view record, char16_t decimal_separator);

// Rounds to the nearest whole number, halves to the even neighbour.
int RoundHalfToEven(double value);

}  // namespace tambrel::main_window
