#include "document/document_codec.h"

#include <vector>

#include "document/plain_text_encoding.h"
#include "platform/codepage/cp936.h"
#include "platform/large_buffer.h"
#include "text/utf16.h"

namespace tambrel::document {
namespace cp936 = platform::cp936;
namespace {

constexpr std::size_t kUnitCount = 0x10000;

// The shift of one unit, the definition every table below is built from.
std::u16string Shift(char16_t unit, int delta) {
  // The codes of code page 936 run from 0x8140 (-32448) to 0xFF; a one-digit shift never leaves
  // the signed 16-bit range.
  return AnsiChar(static_cast<std::int16_t>(AnsiCode(unit) + delta));
}

std::vector<cp936::Expansion> BuildUnitTable(int delta) {
  std::vector<cp936::Expansion> table(kUnitCount);
  for (std::size_t unit = 0; unit < kUnitCount; ++unit) {
    const std::u16string shifted = Shift(static_cast<char16_t>(unit), delta);
    const char16_t second = shifted.size() == 2 ? shifted[1] : cp936::kNoSecondUnit;
    table[unit] = static_cast<cp936::Expansion>(shifted[0]) | static_cast<cp936::Expansion>(second)
                                                                  << 16;
  }
  return table;
}

// Everything derived from K, built once: per-unit results of the two shifts, the same fused
// with the code page conversion for whole files, and which units a save loses.
struct ShiftTables {
  std::vector<cp936::Expansion> down = BuildUnitTable(-K);
  std::vector<cp936::Expansion> up = BuildUnitTable(K);
  cp936::DecodeMap read = cp936::MakeDecodeMap([](char16_t unit) { return Shift(unit, K); });
  cp936::EncodeMap write =
      cp936::MakeEncodeMap([](char16_t unit) { return cp936::Encode(Shift(unit, -K)); });
  std::vector<std::uint8_t> lossy = BuildLossy();

  static std::vector<std::uint8_t> BuildLossy() {
    std::vector<std::uint8_t> result(kUnitCount);
    for (std::size_t unit = 0; unit < kUnitCount; ++unit) {
      const std::u16string original(1, static_cast<char16_t>(unit));
      const std::string bytes = cp936::Encode(Shift(static_cast<char16_t>(unit), -K));
      std::u16string back;
      for (const char16_t decoded : cp936::Decode(bytes)) back += Shift(decoded, K);
      result[unit] = back != original;
    }
    return result;
  }
};

const ShiftTables& Tables() {
  static const ShiftTables tables;
  return tables;
}

std::u16string ApplyUnitTable(std::u16string_view text,
                              const std::vector<cp936::Expansion>& table) {
  // One unit may become two.
  std::u16string result;
  platform::ResizeLarge(result, 2 * text.size());
  char16_t* out = result.data();
  std::size_t o = 0;
  for (const char16_t unit : text) cp936::AppendExpansion(out, o, table[unit]);
  result.resize(o);
  return result;
}

std::string AsciiBytes(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// Whether the text of these bytes ends in the marker. The marker's bytes must be last and must
// start a character: a lead byte just before them would swallow the "-". Bytes from 0x81 to 0xFE
// pair up from the last byte outside that range, so an odd run of them right before the marker
// ends in a lead byte.
bool EndsWithMarker(std::string_view bytes) {
  const std::string marker = AsciiBytes(kMarker);
  if (bytes.size() < marker.size() || bytes.substr(bytes.size() - marker.size()) != marker) {
    return false;
  }
  std::size_t run = 0;
  for (std::size_t i = bytes.size() - marker.size(); i > 0; --i) {
    if (!cp936::IsLeadByte(static_cast<unsigned char>(bytes[i - 1]))) break;
    ++run;
  }
  return run % 2 == 0;
}

}  // namespace

std::int16_t AnsiCode(char16_t character) {
  return static_cast<std::int16_t>(cp936::EncodeUnit(character));
}

std::u16string AnsiChar(std::int16_t code) {
  const auto value = static_cast<std::uint16_t>(code);
  if (code >= 0 && code <= 0xFF) return cp936::Decode(std::string(1, static_cast<char>(value)));
  const char bytes[] = {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
  return cp936::Decode(std::string_view(bytes, 2));
}

const cp936::DecodeMap& ScrambledDecodeMap() { return Tables().read; }

std::u16string EncodeText(std::u16string_view text) { return ApplyUnitTable(text, Tables().down); }

std::u16string DecodeText(std::u16string_view text) { return ApplyUnitTable(text, Tables().up); }

std::string EncodeDocument(std::u16string_view text) {
  return EncodeDocument([text](const auto& visit) { visit(text); });
}

std::string EncodeDocument(const TextPieces& text) {
  std::string bytes;
  text([&bytes](std::u16string_view piece) {
    // In slices, so that the room a slice needs before it shrinks stays small.
    constexpr std::size_t kSlice = std::size_t{1} << 20;
    for (std::size_t at = 0; at < piece.size(); at += kSlice) {
      cp936::EncodeAppend(piece.substr(at, kSlice), Tables().write, bytes);
    }
  });
  bytes += AsciiBytes(kMarker);
  return bytes;
}

DecodedText DecodeDocument(std::string_view bytes, const cp936::DecodeWatch& watch) {
  if (!EndsWithMarker(bytes)) return DecodePlainText(bytes, watch);
  // The marker's characters each decode to one character, so dropping the decoded marker is
  // dropping the marker's bytes.
  DecodedText decoded;
  decoded.encoding = TextEncoding::kScrambled;
  const std::string_view body = bytes.substr(0, bytes.size() - kMarker.size());
  const std::size_t parts = cp936::DecodePartsFor(body.size());
  decoded.text = parts > 1 || watch
                     ? cp936::DecodeInParts(body, Tables().read, parts, &decoded.undecodable, watch)
                     : cp936::Decode(body, Tables().read, &decoded.undecodable);
  return decoded;
}

std::u16string DecodeDocumentStart(std::string_view bytes, std::size_t most) {
  if (bytes.size() <= most) return std::move(DecodeDocument(bytes).text).TakeString();
  return DecodeDocumentStart(bytes, EndsWithMarker(bytes), most);
}

std::u16string DecodeDocumentStart(std::string_view start, bool scrambled, std::size_t most) {
  if (scrambled) {
    return cp936::Decode(start.substr(0, cp936::CharacterStartFrom(start, most)), Tables().read);
  }
  return std::move(DecodePlainText(start.substr(0, PlainTextCut(start, most))).text).TakeString();
}

std::optional<bool> IsScrambledByItsEnd(std::string_view last_bytes) {
  const std::string marker = AsciiBytes(kMarker);
  if (!last_bytes.ends_with(marker)) return false;
  const std::size_t before = last_bytes.size() - marker.size();
  std::size_t run = 0;
  while (run < before &&
         cp936::IsLeadByte(static_cast<unsigned char>(last_bytes[before - run - 1]))) {
    ++run;
  }
  if (run == before) return std::nullopt;
  return run % 2 == 0;
}

bool IsLossy(char16_t unit) { return Tables().lossy[unit] != 0; }

std::size_t CountLossyCharacters(std::u16string_view text) {
  return CountLossyCharacters([text](const auto& visit) { visit(text); });
}

std::size_t CountLossyCharacters(const TextPieces& text) {
  const std::uint8_t* lossy = Tables().lossy.data();
  std::size_t count = 0;
  // Both halves of a surrogate pair are lost, but the user sees one character; a pair may be
  // split between two pieces.
  bool after_high_surrogate = false;
  text([&](std::u16string_view piece) {
    for (const char16_t unit : piece) {
      if (!(after_high_surrogate && text::IsLowSurrogate(unit))) count += lossy[unit];
      after_high_surrogate = !after_high_surrogate && text::IsHighSurrogate(unit);
    }
  });
  return count;
}

}  // namespace tambrel::document
