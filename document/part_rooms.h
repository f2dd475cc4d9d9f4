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
// a byte each in one room, ready to widen; everything else goes to another. There it is kept as
// the bytes it was read from, decoded again wherever it is read, where those bytes take no more
// memory than UTF-16 (code page 936: a byte or two for each unit); otherwise (UTF-8, three bytes
// for a Chinese character) as UTF-16. Each room is room for a unit, or a byte, per byte of the
// part, left as the system gives it: room the decoder does not reach is never written, so it costs
// address space, not memory. Each room's lines are found block by block, while its units are
// still at hand, and the runs record which room holds each stretch of the text, in order.
class PartRooms {
 public:
  struct Run {
    bool ascii = false;
    std::size_t start = 0;
    std::size_t length = 0;
  };

  // How a part keeps its units.
  struct Keeping {
    bool ascii_in_bytes = true;
    bool rest_as_read = true;
  };

  PartRooms(const StretchCodec& codec, std::size_t bytes, Keeping keeping)
      : codec_(codec), bytes_(bytes), keeping_(keeping) {}

  // Decodes whole characters, those after the ones taken so far; false when they are not in the
  // codec's encoding after all.
  bool Take(std::string_view whole);
  // Keeps only what was written, with the lines found in it.
  void Finish();

  text::TextPart& AsciiRoom() { return ascii_room_; }
  text::TextPart& RestRoom() { return rest_room_; }
  const std::vector<Run>& Runs() const { return runs_; }
  // Counted over each room's units as if they followed each other, which only runs next to each
  // other in the room do.
  const text::BreakCounts& Breaks() const { return breaks_; }
  std::size_t Undecodable() const { return undecodable_; }

 private:
  void TakeAscii(std::string_view block);
  bool TakeRest(std::string_view block);
  bool TakeWide(std::string_view block);
  // Keeps a block of at most CodedUnits::kMostBlockBytes as it was read.
  bool TakeAsRead(std::string_view block);
  // The first block a room takes tells about how many units it will give, which its list of line
  // starts is reserved for.
  template <class Span>
  void Scan(std::optional<text::LineScanner>& scanner, Span units, std::size_t read);
  void AddRun(bool ascii, std::size_t start, std::size_t length);

  const StretchCodec& codec_;
  const std::size_t bytes_;
  const Keeping keeping_;
  text::TextPart ascii_room_;
  text::TextPart rest_room_;
  std::size_t ascii_at_ = 0;
  std::size_t rest_at_ = 0;
  std::size_t bytes_done_ = 0;
  std::optional<text::LineScanner> ascii_scanner_;
  std::optional<text::LineScanner> rest_scanner_;
  std::vector<Run> runs_;
  text::BreakCounts breaks_;
  std::size_t undecodable_ = 0;
  // The units of a block kept as read, while its lines are found.
  text::Units block_units_;
};

}  // namespace tambrel::document
