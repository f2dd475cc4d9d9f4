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
  const auto append = [&whole](const text::TextPart& part, std::size_t start, std::size_t length) {
    const std::size_t at = whole.size();
    whole.resize(at + length);
    part.Read(start, length, whole.data() + at);
  };
  if (runs.empty()) {
    for (const text::TextPart& part : parts) append(part, 0, part.Size());
  }
  for (const text::PartRun& run : runs) append(parts[run.part], run.start, run.length);
  return whole;
}

LineBreak DominantLineBreak(const DecodedText& decoded) {
  return decoded.InParts() ? DominantLineBreak(decoded.breaks) : DominantLineBreak(decoded.text);
}

text::TextBuffer BufferOf(DecodedText&& decoded) {
  if (decoded.InParts()) {
    return text::TextBuffer(std::move(decoded.parts), std::move(decoded.runs));
  }
  return text::TextBuffer(std::move(decoded.text));
}

}  // namespace tambrel::document
