#pragma once

#include <functional>
#include <string_view>

namespace tambrel::text {

// A text too large to copy, handed over piece by piece as the editor holds it: a function that
// gives each piece, in order, to the visitor it is called with. A piece lives only while the
// visitor runs.
using PieceVisitor = std::function<void(std::u16string_view piece)>;
using TextPieces = std::function<void(const PieceVisitor& visit)>;

}  // namespace tambrel::text
