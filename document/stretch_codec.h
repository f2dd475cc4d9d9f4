#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "document/streamed_decode.h"
#include "platform/codepage/decode_count.h"
#include "text/units.h"

namespace tambrel::document {

// One encoding's way through stretches that each start where a character starts; it also reads
// again the bytes a document keeps as they were.
class StretchCodec : public text::UnitDecoder {
 public:
  // How many bytes at the start of `bytes` hold whole characters: all of them at the end of a
  // part, otherwise all but a character cut by the end of the stretch, which waits for the next.
  virtual std::size_t Whole(std::string_view bytes, bool at_end) const = 0;
  // Decodes whole characters into `room` units, which must hold them; nothing when they turn out
  // not to be in this encoding after all.
  virtual std::optional<platform::DecodeCount> Decode(std::string_view whole, char16_t* out,
                                                      std::size_t room) const = 0;
  // Bytes kept were decoded once already, so they decode again, to the same units.
  std::size_t DecodeUnits(std::string_view whole, char16_t* out, std::size_t room) const final {
    const std::optional<platform::DecodeCount> done = Decode(whole, out, room);
    return done ? done->written : 0;
  }
};

// The codec that reads a form.
const StretchCodec& CodecFor(StreamedForm form);

}  // namespace tambrel::document
