#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "document/stretch_codec.h"
#include "text/line_scan.h"
#include "text/text_chunks.h"
#include "text/units.h"

namespace tambrel::document {

// Where a part's units go. ASCII, which every form but the scrambled one reads as itself, is kept
// a byte each in one room; everything else goes as UTF-16 to another. Each room is room for a
// unit per byte of the part, which is all any form but the scrambled one can give, left as the
// system gives it: room the decoder does not reach is never written, so it costs address space,
// not memory. Each room's lines are found block by block, while its units are still at hand, and
// the runs record which room holds each stretch of the text, in order.
class PartRooms {
 public:
  struct Run {
    bool in_bytes = false;
    std::size_t start = 0;
    std::size_t length = 0;
  };

  PartRooms(const StretchCodec& codec, std::size_t bytes, bool ascii_in_bytes)
      : codec_(codec), bytes_(bytes), ascii_in_bytes_(ascii_in_bytes) {}

  // Decodes whole characters, those after the ones taken so far; false when they are not in the
  // codec's encoding after all.
  bool Take(std::string_view whole);
  // Keeps only what was written, with the lines found in it.
  void Finish();

  text::TextPart& BytesRoom() { return bytes_room_; }
  text::TextPart& WideRoom() { return wide_room_; }
  const std::vector<Run>& Runs() const { return runs_; }
  // Counted over each room's units as if they followed each other, which only runs next to each
  // other in the room do.
  const text::BreakCounts& Breaks() const { return breaks_; }
  std::size_t Undecodable() const { return undecodable_; }

 private:
  void TakeAscii(std::string_view block);
  bool TakeWide(std::string_view block);
  // The first block a room takes tells about how many units it will give, which its list of line
  // starts is reserved for.
  template <class Span>
  void Scan(std::optional<text::LineScanner>& scanner, Span units, std::size_t read);
  void AddRun(bool in_bytes, std::size_t start, std::size_t length);

  const StretchCodec& codec_;
  const std::size_t bytes_;
  const bool ascii_in_bytes_;
  text::TextPart bytes_room_;
  text::TextPart wide_room_;
  std::size_t ascii_at_ = 0;
  std::size_t wide_at_ = 0;
  std::size_t bytes_done_ = 0;
  std::optional<text::LineScanner> ascii_scanner_;
  std::optional<text::LineScanner> wide_scanner_;
  std::vector<Run> runs_;
  text::BreakCounts breaks_;
  std::size_t undecodable_ = 0;
  text::Units aside_;
};

}  // namespace tambrel::document
