#include "commands/find.h"

#include <algorithm>
#include <functional>

namespace tambrel::commands {

std::int32_t FindFrom(std::int64_t start, std::u16string_view text, std::u16string_view sought) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (text.empty() || start < 1 || start > length) return 0;
  if (sought.empty()) return static_cast<std::int32_t>(start);
  // Boyer-Moore stays linear where a plain scan would compare a long pasted search text at
  // every position of a large document and freeze the window.
  const auto from = text.begin() + (start - 1);
  const auto found =
      std::search(from, text.end(), std::boyer_moore_searcher(sought.begin(), sought.end()));
  if (found == text.end()) return 0;
  return static_cast<std::int32_t>(found - text.begin() + 1);
}

std::int32_t FindFrom(std::int64_t start, const PiecewiseText& text, std::u16string_view sought) {
  const auto length = static_cast<std::int64_t>(text.length);
  if (length == 0 || start < 1 || start > length) return 0;
  if (sought.empty()) return static_cast<std::int32_t>(start);
  const std::boyer_moore_searcher searcher(sought.begin(), sought.end());
  const std::size_t first = static_cast<std::size_t>(start - 1);
  std::int64_t found = 0;
  // The last units of the pieces so far, fewer than the sought text: a match may begin there.
  std::u16string carry;
  std::size_t carry_at = 0;  // where carry begins in the text
  std::size_t at = 0;        // where the piece begins in the text
  text.pieces([&](std::u16string_view piece) {
    if (found != 0 || piece.empty()) {
      at += piece.size();
      return;
    }
    // Matches that begin in the carry and end in this piece.
    std::u16string seam = carry;
    seam.append(piece.substr(0, std::min(piece.size(), sought.size() - 1)));
    const std::size_t seam_from = first > carry_at ? first - carry_at : 0;
    if (seam_from < seam.size()) {
      const auto hit =
          std::search(seam.begin() + static_cast<std::ptrdiff_t>(seam_from), seam.end(), searcher);
      if (hit != seam.end() && static_cast<std::size_t>(hit - seam.begin()) < carry.size()) {
        found = static_cast<std::int64_t>(carry_at + (hit - seam.begin())) + 1;
      }
    }
    if (found == 0) {
      const std::size_t from = first > at ? first - at : 0;
      if (from < piece.size()) {
        const auto hit =
            std::search(piece.begin() + static_cast<std::ptrdiff_t>(from), piece.end(), searcher);
        if (hit != piece.end()) found = static_cast<std::int64_t>(at + (hit - piece.begin())) + 1;
      }
    }
    carry.append(piece);
    if (carry.size() >= sought.size()) carry.erase(0, carry.size() - (sought.size() - 1));
    at += piece.size();
    carry_at = at - carry.size();
  });
  return static_cast<std::int32_t>(found);
}

FindStep NextFind(std::u16string_view text, std::u16string_view sought, std::int32_t find_pos) {
  const std::int32_t found = FindFrom(std::int64_t{find_pos} + 1, text, sought);
  if (found < 1) return FindStep{0, std::nullopt};
  return FindStep{found, FindStep::Selection{found - 1, static_cast<std::int32_t>(sought.size())}};
}

}  // namespace tambrel::commands
