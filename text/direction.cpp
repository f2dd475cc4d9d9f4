#include "text/direction.h"

#include <algorithm>
#include <string_view>

#include "text/unicode_properties.h"
#include "text/utf16.h"

namespace tambrel::text {
namespace {

constexpr char32_t kLeftToRightIsolate = 0x2066;
constexpr char32_t kRightToLeftIsolate = 0x2067;
constexpr char32_t kFirstStrongIsolate = 0x2068;
constexpr char32_t kPopDirectionalIsolate = 0x2069;

// Looks for the first strong character outside isolates, code point by code point.
class FirstStrong {
 public:
  // Answers false once found.
  bool Take(char32_t code_point) {
    if (code_point == kLeftToRightIsolate || code_point == kRightToLeftIsolate ||
        code_point == kFirstStrongIsolate) {
      ++isolates_;
    } else if (code_point == kPopDirectionalIsolate) {
      if (isolates_ > 0) --isolates_;
    } else if (isolates_ == 0) {
      const StrongDirection strong = PropertiesOf(code_point).Direction();
      if (strong != StrongDirection::kNone) found_ = strong;
    }
    return found_ == StrongDirection::kNone;
  }
  Direction Found() const {
    return found_ == StrongDirection::kRightToLeft ? Direction::kRightToLeft
                                                   : Direction::kLeftToRight;
  }

 private:
  std::size_t isolates_ = 0;
  StrongDirection found_ = StrongDirection::kNone;
};

}  // namespace

Direction ParagraphDirection(const TextBuffer& text, std::size_t line) {
  const std::size_t length = std::min(text.LineLength(line), kMaxDirectionUnits);
  FirstStrong first;
  char16_t pending_high = 0;  // the last unit of the span before, when it began a pair
  bool going = true;
  text.ForEachPiece(text.LineStart(line), length, [&](std::u16string_view span) {
    std::size_t i = 0;
    if (pending_high != 0) {
      const bool paired = IsLowSurrogate(span[0]);
      going = first.Take(paired ? CombineSurrogates(pending_high, span[0]) : pending_high);
      pending_high = 0;
      i = paired ? 1 : 0;
    }
    for (; going && i < span.size(); ++i) {
      if (IsHighSurrogate(span[i]) && i + 1 == span.size()) {
        pending_high = span[i];
        break;
      }
      const CodePointAt code_point = DecodeAt(span, i);
      going = first.Take(code_point.value);
      i += code_point.length - 1;
    }
    return going;
  });
  if (going && pending_high != 0) first.Take(pending_high);
  return first.Found();
}

}  // namespace tambrel::text
