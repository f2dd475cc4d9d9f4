#include "document/part_rooms.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/large_buffer.h"

namespace tambrel::document {
namespace {

// How much of a stretch is told apart at a time as ASCII or not: small enough that a line of
// Chinese now and then leaves most of a log a byte a unit, large enough that the runs stay few.
constexpr std::size_t kBlockBytes = std::size_t{32} << 10;

// Whether every byte is below 0x80.
bool AllAscii(std::string_view bytes) {
  std::uint64_t seen = 0;
  std::size_t i = 0;
  for (; i + sizeof(seen) <= bytes.size(); i += sizeof(seen)) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof(word));
    seen |= word;
  }
  for (; i < bytes.size(); ++i) seen |= static_cast<unsigned char>(bytes[i]);
  return (seen & 0x8080808080808080u) == 0;
}

}  // namespace

bool PartRooms::Take(std::string_view whole) {
  if (!keeping_.ascii_in_bytes) return TakeRest(whole);
  while (!whole.empty()) {
    std::string_view block = whole.substr(0, kBlockBytes);
    if (block.size() < whole.size()) {
      const std::size_t whole_characters = codec_.Whole(block, false);
      if (whole_characters > 0) block = block.substr(0, whole_characters);
    }
    if (AllAscii(block)) {
      TakeAscii(block);
    } else if (!TakeRest(block)) {
      return false;
    }
    whole.remove_prefix(block.size());
  }
  return true;
}

void PartRooms::Finish() {
  ascii_room_.ascii.Truncate(ascii_room_.ascii.empty() ? 0 : ascii_at_);
  rest_room_.text.Truncate(rest_room_.text.empty() ? 0 : rest_at_);
  for (auto [room, scanner] :
       {std::pair{&ascii_room_, &ascii_scanner_}, std::pair{&rest_room_, &rest_scanner_}}) {
    if (!*scanner) continue;
    text::ScannedLines lines = std::move(**scanner).Take();
    room->starts = std::move(lines.starts);
    breaks_ += lines.breaks;
  }
}

void PartRooms::TakeAscii(std::string_view block) {
  if (ascii_room_.ascii.empty()) ascii_room_.ascii = platform::AsciiForOverwrite(bytes_);
  std::copy(block.begin(), block.end(), ascii_room_.ascii.data() + ascii_at_);
  Scan(ascii_scanner_, std::string_view(ascii_room_.ascii.data() + ascii_at_, block.size()),
       block.size());
  AddRun(true, ascii_at_, block.size());
  ascii_at_ += block.size();
  bytes_done_ += block.size();
}

bool PartRooms::TakeRest(std::string_view block) {
  if (!keeping_.rest_as_read) return TakeWide(block);
  while (!block.empty()) {
    std::string_view kept = block.substr(0, text::CodedUnits::kMostBlockBytes);
    if (kept.size() < block.size()) {
      const std::size_t whole_characters = codec_.Whole(kept, false);
      if (whole_characters > 0) kept = kept.substr(0, whole_characters);
    }
    if (!TakeAsRead(kept)) return false;
    block.remove_prefix(kept.size());
  }
  return true;
}

bool PartRooms::TakeWide(std::string_view block) {
  // Only forms that give at most a unit a byte come here, so the room always has enough.
  assert(codec_.MostUnitsPerByte() == 1);
  text::Units& text = rest_room_.text;
  if (text.empty()) text = platform::UnitsForOverwrite(bytes_);
  const std::optional<platform::DecodeCount> done =
      codec_.Decode(block, text.data() + rest_at_, text.size() - rest_at_);
  if (!done) return false;
  Scan(rest_scanner_, std::u16string_view(text.data() + rest_at_, done->written), block.size());
  AddRun(false, rest_at_, done->written);
  rest_at_ += done->written;
  bytes_done_ += block.size();
  undecodable_ += done->undecodable;
  return true;
}

bool PartRooms::TakeAsRead(std::string_view block) {
  text::CodedUnits& coded = rest_room_.coded;
  if (coded.Room() == 0) coded = platform::CodedForOverwrite(bytes_, codec_);
  if (block_units_.empty()) {
    block_units_ =
        text::Units::ForOverwrite(text::CodedUnits::kMostBlockBytes * codec_.MostUnitsPerByte());
  }
  const std::optional<platform::DecodeCount> done =
      codec_.Decode(block, block_units_.data(), block_units_.size());
  if (!done) return false;
  std::copy(block.begin(), block.end(), coded.NextBlock());
  coded.AddBlock(block.size(), done->written);
  Scan(rest_scanner_, std::u16string_view(block_units_.data(), done->written), block.size());
  AddRun(false, rest_at_, done->written);
  rest_at_ += done->written;
  bytes_done_ += block.size();
  undecodable_ += done->undecodable;
  return true;
}

void PartRooms::AddRun(bool ascii, std::size_t start, std::size_t length) {
  if (length == 0) return;
  if (!runs_.empty() && runs_.back().ascii == ascii) {
    runs_.back().length += length;
  } else {
    runs_.push_back({ascii, start, length});
  }
}

template <class Span>
void PartRooms::Scan(std::optional<text::LineScanner>& scanner, Span units, std::size_t read) {
  if (!scanner) {
    const double units_per_byte =
        static_cast<double>(units.size()) / static_cast<double>(std::max<std::size_t>(read, 1));
    scanner.emplace(
        static_cast<std::size_t>(units_per_byte * static_cast<double>(bytes_ - bytes_done_)));
  }
  scanner->Scan(units);
}

}  // namespace tambrel::document
