#pragma once

#include <string>

namespace tambrel::platform {

// The four font properties the program exchanges between the editor, the gutter and the
// font dialog. Sizes are in points.
struct FontChoice {
  std::u16string name;
  double size = 12.0;
  bool bold = false;
  bool italic = false;

  friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

}  // namespace tambrel::platform
