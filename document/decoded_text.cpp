#include "document/decoded_text.h"

#include <utility>

#include "document/line_breaks.h"

namespace tambrel::document {

std::size_t DecodedText::Length() const {
  std::size_t length = text.size();
  for (const text::TextPart& part : parts) length += part.text.size();
  return length;
}

std::u16string DecodedText::Whole() const {
  std::u16string whole;
  whole.reserve(Length());
  whole.append(text);
  for (const text::TextPart& part : parts) whole.append(part.text);
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
