#pragma once

#include <algorithm>
#include <string_view>

#include "text/line_scan.h"
#include "text/text_chunks.h"
#include "text/units.h"

namespace tambrel::text {

// `units` as a large document's decode stores a part: in storage of its own (a short string would
// move with its object), with its line starts listed, and a byte a unit when `ascii_in_bytes` asks
// for it and every unit is ASCII.
inline TextPart StoredPart(std::u16string_view units, bool ascii_in_bytes) {
  TextPart part;
  if (ascii_in_bytes && !units.empty() &&
      std::ranges::all_of(units, [](char16_t unit) { return unit < 0x80; })) {
    part.ascii = AsciiUnits::ForOverwrite(units.size());
    std::ranges::transform(units, part.ascii.data(),
                           [](char16_t unit) { return static_cast<char>(unit); });
  } else {
    part.text = Units::ForOverwrite(units.size());
    std::ranges::copy(units, part.text.data());
  }
  ListLineStarts(units, part.starts);
  return part;
}

}  // namespace tambrel::text
