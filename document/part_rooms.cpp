#include "document/part_rooms.h"

#include <algorithm>
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

// Room for `size` units that starts with the first `kept` of `text`.
text::Units Grown(const text::Units& text, std::size_t kept, std::size_t size) {
  text::Units grown = platform::UnitsForOverwrite(size);
  std::copy_n(text.data(), kept, grown.data());
  return grown;
}

}  // namespace

bool PartRooms::Take(std::string_view whole) {
  if (!ascii_in_bytes_) return TakeWide(whole);
  while (!whole.empty()) {
    std::string_view block = whole.substr(0, kBlockBytes);
    if (block.size() < whole.size()) {
      const std::size_t whole_characters = codec_.Whole(block, false);
      if (whole_characters > 0) block = block.substr(0, whole_characters);
    }
    if (AllAscii(block)) {
      TakeAscii(block);
    } else if (!TakeWide(block)) {
      return false;
    }
    whole.remove_prefix(block.size());
  }
  return true;
}

void PartRooms::Finish() {
  bytes_room_.ascii.Truncate(bytes_room_.ascii.empty() ? 0 : ascii_at_);
  wide_room_.text.Truncate(wide_room_.text.empty() ? 0 : wide_at_);
  for (auto [room, scanner] :
       {std::pair{&bytes_room_, &ascii_scanner_}, std::pair{&wide_room_, &wide_scanner_}}) {
    if (!*scanner) continue;
    text::ScannedLines lines = std::move(**scanner).Take();
    room->starts = std::move(lines.starts);
    breaks_ += lines.breaks;
  }
}

void PartRooms::TakeAscii(std::string_view block) {
  if (bytes_room_.ascii.empty()) bytes_room_.ascii = platform::AsciiForOverwrite(bytes_);
  std::copy(block.begin(), block.end(), bytes_room_.ascii.data() + ascii_at_);
  Scan(ascii_scanner_, std::string_view(bytes_room_.ascii.data() + ascii_at_, block.size()),
       block.size());
  AddRun(true, ascii_at_, block.size());
  ascii_at_ += block.size();
  bytes_done_ += block.size();
}

bool PartRooms::TakeWide(std::string_view block) {
  text::Units& text = wide_room_.text;
  if (text.empty()) text = platform::UnitsForOverwrite(bytes_);
  const std::size_t room = text.size() - wide_at_;
  const std::size_t most = block.size() * codec_.MostUnitsPerByte();
  std::optional<platform::DecodeCount> done;
  if (most <= room) {
    done = codec_.Decode(block, text.data() + wide_at_, room);
  } else {
    // A block that might not fit, the last of a scrambled part, is decoded aside; should its
    // wide bytes really outgrow the room, the part moves to more.
    if (aside_.size() < most) aside_ = text::Units::ForOverwrite(most);
    done = codec_.Decode(block, aside_.data(), most);
    if (done && done->written > room)
      text = Grown(text, wide_at_, wide_at_ + done->written + bytes_ / 64);
    if (done) std::copy_n(aside_.data(), done->written, text.data() + wide_at_);
  }
  if (!done) return false;
  Scan(wide_scanner_, std::u16string_view(text.data() + wide_at_, done->written), block.size());
  AddRun(false, wide_at_, done->written);
  wide_at_ += done->written;
  bytes_done_ += block.size();
  undecodable_ += done->undecodable;
  return true;
}

void PartRooms::AddRun(bool in_bytes, std::size_t start, std::size_t length) {
  if (length == 0) return;
  if (!runs_.empty() && runs_.back().in_bytes == in_bytes) {
    runs_.back().length += length;
  } else {
    runs_.push_back({in_bytes, start, length});
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
