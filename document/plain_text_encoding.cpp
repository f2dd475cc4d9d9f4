#include "document/plain_text_encoding.h"

#include <optional>
#include <string_view>

#include "platform/codepage/ascii_run.h"
#include "platform/codepage/cp936.h"
#include "platform/codepage/utf16.h"
#include "platform/codepage/utf8.h"
#include "platform/large_buffer.h"

namespace tambrel::document {
namespace {

namespace cp936 = platform::cp936;
namespace utf8 = platform::utf8;
namespace utf16 = platform::utf16;
using platform::DecodeCount;

struct ByteOrderMark {
  std::string_view bytes;
  TextEncoding encoding;
  DecodeCount (*decode)(std::string_view, char16_t*);
  // Whether each unit takes two bytes, which halves the room the text needs.
  bool two_bytes_per_unit;
};

constexpr ByteOrderMark kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", TextEncoding::kUtf8WithBom, utf8::DecodeReplacing, false},
    {"\xFF\xFE", TextEncoding::kUtf16Le,
     [](std::string_view bytes, char16_t* out) {
       return utf16::DecodeReplacing(bytes, utf16::ByteOrder::kLittleEndian, out);
     },
     true},
    {"\xFE\xFF", TextEncoding::kUtf16Be,
     [](std::string_view bytes, char16_t* out) {
       return utf16::DecodeReplacing(bytes, utf16::ByteOrder::kBigEndian, out);
     },
     true},
};

std::optional<ByteOrderMark> FindByteOrderMark(std::string_view bytes) {
  for (const ByteOrderMark& mark : kByteOrderMarks) {
    if (bytes.starts_with(mark.bytes)) return mark;
  }
  return std::nullopt;
}

// Widens the ASCII bytes at the start into out and answers how many there are. They read the
// same as UTF-8 and as code page 936, so neither decoder need look at them again.
std::size_t WidenAsciiPrefix(std::string_view bytes, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i + cp936::kAsciiRunWidth <= size) {
    const std::size_t run = cp936::AsciiRun(in + i, out + i, 0x80, 0);
    i += run;
    if (run < cp936::kAsciiRunWidth) return i;
  }
  while (i < size && in[i] < 0x80) {
    out[i] = in[i];
    ++i;
  }
  return i;
}

}  // namespace

std::size_t MaxPlainTextLength(std::string_view bytes) {
  const std::optional<ByteOrderMark> mark = FindByteOrderMark(bytes);
  if (!mark) return bytes.size();
  const std::size_t rest = bytes.size() - mark->bytes.size();
  // An odd last byte of UTF-16 takes a unit of its own.
  return mark->two_bytes_per_unit ? (rest + 1) / 2 : rest;
}

PlainTextSummary DecodePlainTextInto(std::string_view bytes, char16_t* out) {
  if (const std::optional<ByteOrderMark> mark = FindByteOrderMark(bytes)) {
    const DecodeCount count = mark->decode(bytes.substr(mark->bytes.size()), out);
    return {count.written, mark->encoding, count.undecodable};
  }
  const std::size_t ascii = WidenAsciiPrefix(bytes, out);
  if (ascii == bytes.size()) return {ascii, TextEncoding::kCodePage936, 0};
  // UTF-8 is tried in the same pass that decodes it. At the first sequence that is not well
  // formed it gives up, and code page 936 starts again where the ASCII ended.
  const std::string_view rest = bytes.substr(ascii);
  const utf8::Progress progress = utf8::DecodeWellFormed(rest, out + ascii);
  if (progress.read == rest.size()) return {ascii + progress.written, TextEncoding::kUtf8, 0};
  const DecodeCount count = cp936::DecodeCountingInto(rest, out + ascii);
  return {ascii + count.written, TextEncoding::kCodePage936, count.undecodable};
}

DecodedText DecodePlainText(std::string_view bytes) {
  DecodedText result;
  platform::ResizeLarge(result.text, MaxPlainTextLength(bytes));
  const PlainTextSummary summary = DecodePlainTextInto(bytes, result.text.data());
  result.text.resize(summary.written);
  result.encoding = summary.encoding;
  result.undecodable = summary.undecodable;
  return result;
}

}  // namespace tambrel::document
