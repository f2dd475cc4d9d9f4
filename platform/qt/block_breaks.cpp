#include "platform/qt/block_breaks.h"

#include <algorithm>

namespace tambrel::platform::qt {

std::u16string_view BlockBreaks::KindText(Kind kind) {
  switch (kind) {
    case Kind::kLf:
      return u"\n";
    case Kind::kCr:
      return u"\r";
    case Kind::kParagraphSeparator:
      return u"\u2029";
    case Kind::kFrameStart:
      return u"\uFDD0";
    case Kind::kFrameEnd:
      return u"\uFDD1";
    case Kind::kCrLf:
      break;
  }
  return u"\r\n";
}

void BlockBreaks::Assign(std::u16string_view text) {
  breaks_ = Parse(text);
  counts_stale_ = true;
}

std::vector<BlockBreaks::Kind> BlockBreaks::Parse(std::u16string_view text) {
  std::vector<Kind> found;
  // The same characters end a paragraph as when the editor takes plain text.
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case u'\r':
        if (i + 1 < text.size() && text[i + 1] == u'\n') {
          found.push_back(Kind::kCrLf);
          ++i;
        } else {
          found.push_back(Kind::kCr);
        }
        break;
      case u'\n':
        found.push_back(Kind::kLf);
        break;
      case u'\u2029':
        found.push_back(Kind::kParagraphSeparator);
        break;
      case u'\uFDD0':
        found.push_back(Kind::kFrameStart);
        break;
      case u'\uFDD1':
        found.push_back(Kind::kFrameEnd);
        break;
      default:
        break;
    }
  }
  return found;
}

void BlockBreaks::Splice(std::size_t first, std::size_t removed, std::size_t inserted,
                         std::u16string_view inserted_text) {
  first = std::min(first, breaks_.size());
  removed = std::min(removed, breaks_.size() - first);
  const auto at = breaks_.begin() + static_cast<std::ptrdiff_t>(first);
  breaks_.erase(at, at + static_cast<std::ptrdiff_t>(removed));
  const auto where = breaks_.begin() + static_cast<std::ptrdiff_t>(first);
  const std::vector<Kind> given = Parse(inserted_text);
  if (given.size() == inserted) {
    breaks_.insert(where, given.begin(), given.end());
  } else {
    breaks_.insert(where, inserted, new_line_);
  }
  counts_stale_ = true;
}

std::u16string_view BlockBreaks::Text(std::size_t index) const {
  return index < breaks_.size() ? KindText(breaks_[index]) : std::u16string_view();
}

std::int64_t BlockBreaks::ExtraUnitsBefore(std::size_t index) const {
  if (counts_stale_) {
    crlf_before_.resize(breaks_.size() + 1);
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < breaks_.size(); ++i) {
      crlf_before_[i] = count;
      count += breaks_[i] == Kind::kCrLf ? 1 : 0;
    }
    crlf_before_[breaks_.size()] = count;
    counts_stale_ = false;
  }
  return crlf_before_[std::min(index, breaks_.size())];
}

void BlockBreaks::SetNewLine(std::u16string_view line_break) {
  if (line_break == u"\n") {
    new_line_ = Kind::kLf;
  } else if (line_break == u"\r") {
    new_line_ = Kind::kCr;
  } else {
    new_line_ = Kind::kCrLf;
  }
}

std::u16string_view BlockBreaks::NewLine() const { return KindText(new_line_); }

}  // namespace tambrel::platform::qt
