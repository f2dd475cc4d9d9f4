#include "document/stretch_codec.h"

#include <algorithm>
#include <cstdint>

#include "document/document_codec.h"
#include "platform/codepage/cp936.h"
#include "platform/codepage/utf8.h"

namespace tambrel::document {
namespace {

namespace cp936 = platform::cp936;
namespace utf8 = platform::utf8;
using platform::DecodeCount;

class CodePage936Codec : public StretchCodec {
 public:
  explicit CodePage936Codec(const cp936::DecodeMap* map) : map_(map) {}

  std::size_t Whole(std::string_view bytes, bool at_end) const override {
    if (at_end) return bytes.size();
    // A byte that never leads ends a character; the lead bytes after the last such byte pair up
    // from there, so an odd run of them ends in a lead byte whose trail is still to come.
    std::size_t run = 0;
    while (run < bytes.size() &&
           cp936::IsLeadByte(static_cast<std::uint8_t>(bytes[bytes.size() - 1 - run]))) {
      ++run;
    }
    return bytes.size() - run % 2;
  }

  std::optional<DecodeCount> Decode(std::string_view whole, char16_t* out,
                                    std::size_t room) const override {
    return map_ != nullptr ? cp936::DecodeCountingInto(whole, *map_, out, room)
                           : cp936::DecodeCountingInto(whole, out, room);
  }

  // The shift can turn one byte into a character of two units.
  std::size_t MostUnitsPerByte() const override { return map_ != nullptr ? 2 : 1; }

 private:
  const cp936::DecodeMap* map_;
};

class Utf8Codec : public StretchCodec {
 public:
  std::size_t Whole(std::string_view bytes, bool at_end) const override {
    if (at_end) return bytes.size();
    // The last lead byte within a sequence's length of the end, if its sequence runs past it.
    const std::size_t look = std::min<std::size_t>(bytes.size(), 3);
    for (std::size_t back = 1; back <= look; ++back) {
      const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
      if ((byte & 0xC0) == 0x80) continue;
      const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
  }

  std::optional<DecodeCount> Decode(std::string_view whole, char16_t* out,
                                    std::size_t room) const override {
    const utf8::Progress progress = utf8::DecodeWellFormed(whole, out, room);
    if (progress.read != whole.size()) return std::nullopt;
    return DecodeCount{progress.written, 0};
  }

  std::size_t MostUnitsPerByte() const override { return 1; }
};

}  // namespace

const StretchCodec& CodecFor(StreamedForm form) {
  static const Utf8Codec utf8_codec;
  static const CodePage936Codec plain(nullptr);
  static const CodePage936Codec scrambled(&ScrambledDecodeMap());
  switch (form) {
    case StreamedForm::kUtf8:
      return utf8_codec;
    case StreamedForm::kScrambled:
      return scrambled;
    case StreamedForm::kCodePage936:
      break;
  }
  return plain;
}

}  // namespace tambrel::document
