#include "commands/find.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "text/for_each_part.h"

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

// The first match that begins in [from, before): the text is read from `from` up to where such a
// match could end, a window at a time, until the match or until `give_up` says to stop. The last
// units of each window, fewer than the sought text, are carried over, so a match that runs across
// windows is found where they meet; only they are copied, never the text itself.
template <typename GiveUp>
std::optional<std::size_t> FirstMatchIn(const PiecewiseText& text, std::u16string_view sought,
                                        std::size_t from, std::size_t before,
                                        platform::WorkProgress* progress, const GiveUp& give_up) {
  Finder finder(sought);
  const std::size_t reach = sought.size() - 1;  // how far a match runs past its first unit
  const std::size_t end = std::min(text.length, before + reach);
  std::optional<std::size_t> found;
  std::u16string carry;
  std::u16string seam;
  std::size_t at = from;  // where the window begins in the text
  const auto search_window = [&](std::u16string_view window) {
    if (give_up()) return false;
    if (!carry.empty()) {
      seam.assign(carry);
      seam.append(window.substr(0, std::min(window.size(), reach)));
      // The first match in the seam; one beginning in the window is the window's own search's.
      const std::size_t hit = finder.In(seam, 0);
      if (hit < carry.size()) found = at - carry.size() + hit;
    }
    if (!found) {
      const std::size_t hit = finder.In(window, 0);
      if (hit != kNone) found = at + hit;
    }
    if (window.size() >= reach) {
      carry.assign(window.substr(window.size() - reach));
    } else {
      carry.append(window);
      if (carry.size() > reach) carry.erase(0, carry.size() - reach);
    }
    at += window.size();
    if (progress != nullptr) progress->AddDone(window.size());
    return !found;
  };
  text.pieces(from, end - from, [&](std::u16string_view piece) {
    // A document loaded whole is one piece; searched a window at a time, it still shows how far
    // the search has come and stops when asked.
    for (std::size_t window = 0; window < piece.size(); window += kSearchWindow) {
      if (!search_window(piece.substr(window, kSearchWindow))) return false;
    }
    return true;
  });
  // Read no further than before + reach, a match it found begins before `before`.
  return found;
}

}  // namespace

std::int32_t FindFrom(std::int64_t start, const PiecewiseText& text, std::u16string_view sought,
                      platform::WorkProgress* progress, SearchShares shares) {
  const auto length = static_cast<std::int64_t>(text.length);
  if (length == 0 || start < 1 || start > length) return 0;
  if (sought.empty()) return static_cast<std::int32_t>(start);
  const auto first = static_cast<std::size_t>(start - 1);
  const std::size_t left = text.length - first;
  std::size_t count = 1;
  if (left >= shares.from_units) {
    count = shares.count != 0 ? shares.count
                              : std::max<std::size_t>(std::thread::hardware_concurrency(), 1);
  }
  count = std::min(count, left);
  if (progress != nullptr) progress->SetTotal(left);

  // Each share's first match; a share stops early once an earlier share has found one, since
  // that match comes first.
  std::vector<std::optional<std::size_t>> matches(count);
  std::atomic<std::size_t> earliest_match{count};
  std::atomic<bool> stopped{false};
  text::ForEachPart(count, [&](std::size_t k) {
    const auto give_up = [&] {
      if (earliest_match.load(std::memory_order_relaxed) < k) return true;
      if (progress == nullptr || !progress->StopRequested()) return false;
      stopped = true;
      return true;
    };
    matches[k] = FirstMatchIn(text, sought, first + left * k / count,
                              first + left * (k + 1) / count, progress, give_up);
    if (!matches[k]) return;
    std::size_t earliest = earliest_match.load();
    while (k < earliest && !earliest_match.compare_exchange_weak(earliest, k)) {
    }
  });
  if (stopped) return 0;
  for (const std::optional<std::size_t>& match : matches) {
    if (match) return static_cast<std::int32_t>(*match + 1);
  }
  return 0;
}

FindStep NextFind(std::u16string_view text, std::u16string_view sought, std::int32_t find_pos) {
  const std::int32_t found = FindFrom(std::int64_t{find_pos} + 1, text, sought);
  if (found < 1) return FindStep{0, std::nullopt};
  return FindStep{found, FindStep::Selection{found - 1, static_cast<std::int32_t>(sought.size())}};
}

}  // namespace tambrel::commands
