#include "commands/find.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace tambrel::commands {
namespace {

constexpr std::size_t kNone = std::u16string_view::npos;

// Finds a non-empty sought text in views of the text, one after another. It looks only at the
// positions where both the first and the last unit of the sought text are in place, checking a
// block of them at a time in a loop the compiler turns into vector compares, so that a search
// through a large document runs at about the speed memory is read. A sought text that keeps
// nearly matching (a long run of one character with a different one inside) would make that
// compare at every position; once the comparing outgrows the reading, the search goes on with
// Boyer-Moore, which stays linear whatever the texts.
class Finder {
 public:
  explicit Finder(std::u16string_view sought) : sought_(sought) {}

  // Where the first match at or after from begins in text; kNone when there is none.
  std::size_t In(std::u16string_view text, std::size_t from) {
    const std::size_t size = sought_.size();
    if (from > text.size() || text.size() - from < size) return kNone;
    if (linear_) return Linear(text, from);
    const char16_t* const data = text.data();
    const char16_t first = sought_.front();
    const char16_t last = sought_.back();
    const std::size_t last_at = size - 1;
    const std::size_t end = text.size() - last_at;  // every match begins before end
    std::size_t at = from;
    while (at < end) {
      if (end - at >= kBlock) {
        unsigned candidates = 0;
        for (std::size_t i = 0; i < kBlock; ++i) {
          candidates |= static_cast<unsigned>(data[at + i] == first) &
                        static_cast<unsigned>(data[at + i + last_at] == last);
        }
        if (candidates == 0) {
          at += kBlock;
          read_ += kBlock;
          continue;
        }
      }
      const std::size_t stop = std::min(end, at + kBlock);
      for (; at < stop; ++at) {
        if (data[at] != first || data[at + last_at] != last) continue;
        if (size <= 2) return at;
        const std::u16string_view inside = sought_.substr(1, size - 2);
        const auto differs = std::mismatch(inside.begin(), inside.end(), data + at + 1).first;
        if (differs == inside.end()) return at;
        compared_ += static_cast<std::size_t>(differs - inside.begin()) + 1;
        if (compared_ > kSlack + 2 * read_) {
          linear_.emplace(sought_.begin(), sought_.end());
          return Linear(text, at + 1);
        }
      }
      read_ += kBlock;
    }
    return kNone;
  }

 private:
  static constexpr std::size_t kBlock = 32;
  // Comparing allowed beyond twice the units read before Boyer-Moore takes over: enough that
  // near misses scattered through ordinary text never cost the building of its tables.
  static constexpr std::size_t kSlack = std::size_t{1} << 16;

  std::size_t Linear(std::u16string_view text, std::size_t from) const {
    const auto found =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), *linear_);
    return found == text.end() ? kNone : static_cast<std::size_t>(found - text.begin());
  }

  std::u16string_view sought_;
  std::optional<std::boyer_moore_searcher<std::u16string_view::const_iterator>> linear_;
  std::size_t read_ = 0;
  std::size_t compared_ = 0;
};

}  // namespace

std::int32_t FindFrom(std::int64_t start, std::u16string_view text, std::u16string_view sought) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (text.empty() || start < 1 || start > length) return 0;
  if (sought.empty()) return static_cast<std::int32_t>(start);
  const std::size_t found = Finder(sought).In(text, static_cast<std::size_t>(start - 1));
  if (found == kNone) return 0;
  return static_cast<std::int32_t>(found + 1);
}

namespace {

// How much of a piece is searched between two looks at the progress: a few milliseconds' worth.
constexpr std::size_t kSearchWindow = std::size_t{4} << 20;

}  // namespace

std::int32_t FindFrom(std::int64_t start, const PiecewiseText& text, std::u16string_view sought,
                      platform::WorkProgress* progress) {
  const auto length = static_cast<std::int64_t>(text.length);
  if (length == 0 || start < 1 || start > length) return 0;
  if (sought.empty()) return static_cast<std::int32_t>(start);
  Finder finder(sought);
  const std::size_t first = static_cast<std::size_t>(start - 1);
  const std::size_t reach = sought.size() - 1;  // how far a match runs past its first unit
  std::int64_t found = 0;
  // The last units before the piece, at most reach of them: a match may begin there and end in
  // the piece. Only they and the piece's first units are copied, never the piece itself.
  std::u16string carry;
  std::u16string seam;
  std::size_t at = 0;  // where the piece begins in the text
  bool stopped = false;
  if (progress != nullptr) progress->SetTotal(text.length);
  const auto search_piece = [&](std::u16string_view piece) {
    if (found != 0 || stopped || piece.empty()) {
      at += piece.size();
      return;
    }
    if (progress != nullptr) {
      progress->SetDone(at);
      if (progress->StopRequested()) {
        stopped = true;
        return;
      }
    }
    const std::size_t carry_at = at - carry.size();
    const std::size_t seam_from = first > carry_at ? first - carry_at : 0;
    if (seam_from < carry.size()) {
      seam.assign(carry);
      seam.append(piece.substr(0, std::min(piece.size(), reach)));
      // The first match in the seam; one beginning in the piece is the piece's own search's.
      const std::size_t hit = finder.In(seam, seam_from);
      if (hit < carry.size()) found = static_cast<std::int64_t>(carry_at + hit) + 1;
    }
    if (found == 0) {
      const std::size_t hit = finder.In(piece, first > at ? first - at : 0);
      if (hit != kNone) found = static_cast<std::int64_t>(at + hit) + 1;
    }
    if (piece.size() >= reach) {
      carry.assign(piece.substr(piece.size() - reach));
    } else {
      carry.append(piece);
      if (carry.size() > reach) carry.erase(0, carry.size() - reach);
    }
    at += piece.size();
  };
  text.pieces([&](std::u16string_view piece) {
    // A document loaded whole is one piece; searched a window at a time, it still shows how far
    // the search has come and stops when asked.
    for (std::size_t from = 0; from < piece.size(); from += kSearchWindow) {
      search_piece(piece.substr(from, kSearchWindow));
    }
  });
  return stopped ? 0 : static_cast<std::int32_t>(found);
}

FindStep NextFind(std::u16string_view text, std::u16string_view sought, std::int32_t find_pos) {
  const std::int32_t found = FindFrom(std::int64_t{find_pos} + 1, text, sought);
  if (found < 1) return FindStep{0, std::nullopt};
  return FindStep{found, FindStep::Selection{found - 1, static_cast<std::int32_t>(sought.size())}};
}

}  // namespace tambrel::commands
