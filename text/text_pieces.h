#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace tambrel::text {

// A text too large to copy, handed over piece by piece as the editor holds it: a function that
// gives each piece, in order, to the visitor it is called with. A piece lives only while the
// visitor runs.
using PieceVisitor = std::function<void(std::u16string_view piece)>;
using TextPieces = std::function<void(const PieceVisitor& visit)>;

// The same from any place: gives the pieces of [from, from + length), in order, to `read` until it
// answers false, so that a search reads no more than it needs.
using PieceReader = std::function<bool(std::u16string_view piece)>;
using TextRange =
    std::function<void(std::size_t from, std::size_t length, const PieceReader& read)>;

}  // namespace tambrel::text
