#pragma once

#include <cstddef>
#include <cstdint>

namespace tambrel::text {

// What a piece's first and last units are, as far as line breaks care: where two pieces meet,
// these decide whether the meeting point starts a line.
enum PieceEdge : std::uint8_t {
  kStartsWithLf = 1,
  kEndsWithCr = 2,
  kEndsWithLf = 4,
};

// Whether a line starts where a text whose last unit is described by `before` meets one whose
// first unit is described by `after`.
inline bool StartsLineBetween(std::uint8_t before, std::uint8_t after) {
  return (before & kEndsWithLf) != 0 ||
         ((before & kEndsWithCr) != 0 && (after & kStartsWithLf) == 0);
}

// A run of units of one storage chunk, never empty, with what the line index needs to know about
// it so that a query never has to read its text.
struct Piece {
  std::uint32_t chunk = 0;
  std::size_t start = 0;
  std::size_t length = 0;
  // The index, in its chunk's line starts, of the first one after `start`.
  std::size_t first_start = 0;
  // Line starts strictly inside the piece: those at its ends depend on its neighbours.
  std::size_t inner_starts = 0;
  std::uint8_t edges = 0;
};

}  // namespace tambrel::text
