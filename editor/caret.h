#pragma once

#include <algorithm>
#include <cstddef>

namespace tambrel::editor {

// Where the caret shows when its position is also where a wrapped line's row ends and the next
// row begins: at the start of the next row (downstream), or at the end of the row before
// (upstream), as after End or a click past the end of the row.
enum class Affinity { kDownstream, kUpstream };

struct Caret {
  std::size_t position = 0;
  Affinity affinity = Affinity::kDownstream;

  bool operator==(const Caret&) const = default;
};

// The caret and the other end of the selection. Empty when both are at one position.
struct Selection {
  Caret caret;
  std::size_t anchor = 0;

  std::size_t Start() const { return std::min(caret.position, anchor); }
  std::size_t End() const { return std::max(caret.position, anchor); }
  std::size_t Length() const { return End() - Start(); }
  bool Empty() const { return caret.position == anchor; }
};

// Whether a motion or a click keeps the anchor where it is.
enum class Selecting { kNo, kExtend };

}  // namespace tambrel::editor
