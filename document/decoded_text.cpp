#include "document/decoded_text.h"

#include <utility>

#include "document/line_breaks.h"

namespace tambrel::document {

std::size_t DecodedText::Length() const {
  std::size_t length = text.size();
  for (const text::TextPart& part : parts) length += part.Size();
  return length;
}

std::u16string DecodedText::Whole() const {
  std::u16string whole;
  whole.reserve(Length());
  whole.append(text);
  for (const text::TextPart& part : parts) {
    whole.append(part.text);
    const std::size_t at = whole.size();
    whole.resize(at + part.ascii.size());
    part.ascii.Widen(0, part.ascii.size(), whole.data() + at);
  }
  return whole;
}

LineBreak DominantLineBreak(const DecodedText& decoded) {
  return decoded.InParts() ? DominantLineBreak(decoded.breaks) : DominantLineBreak(decoded.text);
}

text::TextBuffer BufferOf(DecodedText&& decoded) {
  if (decoded.InParts()) return text::TextBuffer(std::move(decoded.parts));
  return text::TextBuffer(std::move(decoded.text));
}

}  // namespace tambrel::document
