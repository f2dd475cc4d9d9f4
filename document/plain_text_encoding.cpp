#include "document/plain_text_encoding.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/codepage/ansi_code_page.h"
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

bool HasByteOrderMark(std::string_view bytes) { return FindByteOrderMark(bytes).has_value(); }

// A GBK file that fails this is never given room it will not use.
bool LooksLikeUtf8(std::string_view bytes) {
  constexpr std::size_t kLook = std::size_t{64} << 10;
  std::size_t ascii = 0;
  while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
  const std::string_view start = bytes.substr(ascii, kLook);
  std::u16string scratch(start.size(), u'\0');
  const utf8::Progress progress = utf8::DecodeWellFormed(start, scratch.data());
  // A sequence cut by the end of the look is no verdict.
  return progress.read + 4 > start.size();
}

// Bytes known not to be UTF-8 and without a byte-order mark: code page 936 from the first byte,
// since the ASCII before anything else reads the same either way. On every processor at once,
// into exactly the room the text takes.
DecodedText DecodeCodePage936(std::string_view bytes, const cp936::DecodeWatch& watch) {
  DecodedText result;
  result.text =
      cp936::DecodeInParts(bytes, cp936::DecodePartsFor(bytes.size()), &result.undecodable, watch);
  result.encoding = TextEncoding::kCodePage936;
  return result;
}

namespace {

// The text of plain bytes in the encodings the program reads itself: a byte-order mark's, UTF-8,
// or code page 936.
DecodedText DecodeInOwnCodePages(std::string_view bytes, const cp936::DecodeWatch& watch) {
  const bool has_mark = FindByteOrderMark(bytes).has_value();
  // A file worth decoding in pieces that fails UTF-8 near its start is decoded as code page 936
  // straight away; the look costs a fraction of a millisecond.
  const bool split = !has_mark && cp936::DecodePartsFor(bytes.size()) > 1;
  if (split && !LooksLikeUtf8(bytes)) return DecodeCodePage936(bytes, watch);
  DecodedText result;
  text::Units& text = result.text;
  // Most of a large file's text is usually UTF-8, which needs fewer units than bytes; the room
  // every other encoding may need is only asked for when it turns out not to be. Memory a
  // document never uses is not even touched.
  const std::size_t most = MaxPlainTextLength(bytes);
  const bool large = bytes.size() >= (std::size_t{16} << 20);
  const bool plain_utf8 = large && !has_mark && LooksLikeUtf8(bytes);
  // The decoders widen ASCII sixteen bytes at a time, trusting that the room matches the bytes;
  // room for exactly the UTF-8 text needs one such block more at its end.
  text = platform::UnitsForOverwrite(
      plain_utf8 ? std::min(most, utf8::CountUnits(bytes) + cp936::kAsciiRunWidth) : most);
  if (plain_utf8) {
    const std::size_t ascii = WidenAsciiPrefix(bytes, text.data());
    const std::string_view rest = bytes.substr(ascii);
    const utf8::Progress progress = utf8::DecodeWellFormed(rest, text.data() + ascii);
    if (progress.read == rest.size()) {
      text.Truncate(ascii + progress.written);
      result.encoding = ascii == bytes.size() ? TextEncoding::kCodePage936 : TextEncoding::kUtf8;
      return result;
    }
    // Not UTF-8 after all: what was decoded is let go before the text in code page 936 is made,
    // so that the two are never held at once.
    text = text::Units();
    return DecodeCodePage936(bytes, watch);
  }
  const PlainTextSummary summary = DecodePlainTextInto(bytes, text.data());
  text.Truncate(summary.written);
  result.encoding = summary.encoding;
  result.undecodable = summary.undecodable;
  return result;
}

}  // namespace

DecodedText DecodePlainText(std::string_view bytes, const cp936::DecodeWatch& watch) {
  DecodedText result = DecodeInOwnCodePages(bytes, watch);
  // Plain text without a mark that is not UTF-8 is in the system's ANSI code page. Where that is
  // not 936 (only on a Windows of another language), the system converts it; ASCII reads the same
  // in every one.
  const unsigned system = platform::codepage::SystemAnsiCodePage();
  if (result.encoding != TextEncoding::kCodePage936 ||
      system == platform::codepage::kChineseCodePage ||
      std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; })) {
    return result;
  }
  result.text = text::Units();
  result.text = platform::codepage::DecodeSystemCodePage(bytes, system);
  result.encoding = TextEncoding::kSystemCodePage;
  result.undecodable = 0;
  return result;
}

std::size_t PlainTextCut(std::string_view bytes, std::size_t at) {
  if (at >= bytes.size()) return bytes.size();
  if (const std::optional<ByteOrderMark> mark = FindByteOrderMark(bytes)) {
    if (mark->two_bytes_per_unit) {
      // A high surrogate left last would stand alone; its pair follows the cut instead.
      std::size_t cut = std::max(at, mark->bytes.size());
      cut -= (cut - mark->bytes.size()) % 2;
      const bool little_endian = mark->encoding == TextEncoding::kUtf16Le;
      if (cut >= mark->bytes.size() + 2) {
        const auto high = static_cast<unsigned char>(bytes[cut - (little_endian ? 1 : 2)]);
        if ((high & 0xFC) == 0xD8) cut -= 2;
      }
      return cut;
    }
  }
  constexpr std::size_t kLook = std::size_t{64} << 10;
  const std::size_t end = std::min(bytes.size(), at + kLook);
  for (std::size_t p = at; p < end; ++p) {
    if (static_cast<unsigned char>(bytes[p]) < 0x80) return p + 1;
  }
  std::size_t cut = at;
  while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

}  // namespace tambrel::document
