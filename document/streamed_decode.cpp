#include "document/streamed_decode.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/document_codec.h"
#include "platform/codepage/cp936.h"
#include "platform/codepage/utf8.h"
#include "platform/large_buffer.h"
#include "text/for_each_part.h"
#include "text/line_scan.h"

namespace tambrel::document {
namespace {

namespace cp936 = platform::cp936;
namespace utf8 = platform::utf8;
using platform::DecodeCount;

// One encoding's way through stretches that each start where a character starts.
class StretchCodec {
 public:
  virtual ~StretchCodec() = default;
  // How many bytes at the start of `bytes` hold whole characters: all of them at the end of a
  // part, otherwise all but a character cut by the end of the stretch, which waits for the next.
  virtual std::size_t Whole(std::string_view bytes, bool at_end) const = 0;
  // Decodes whole characters into `room` units, which must hold them; nothing when they turn out
  // not to be in this encoding after all.
  virtual std::optional<DecodeCount> Decode(std::string_view whole, char16_t* out,
                                            std::size_t room) const = 0;
  // The most units a byte can give.
  virtual std::size_t MostUnitsPerByte() const = 0;
};

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

// The most bytes a stretch leaves for the next: a UTF-8 sequence but its last byte.
constexpr std::size_t kMostCarried = 3;

struct Part {
  std::uint64_t from = 0;
  std::uint64_t to = 0;
};

// Where the parts meet: just after an ASCII byte near each even share, which ends a character in
// every form read here. A share with no ASCII byte nearby joins the next.
std::vector<Part> CutIntoParts(const ByteSource& source, std::uint64_t size, std::size_t parts) {
  constexpr std::size_t kLook = std::size_t{64} << 10;
  std::vector<Part> cut;
  std::uint64_t from = 0;
  std::string window;
  for (std::size_t k = 1; k < parts; ++k) {
    const std::uint64_t near = std::max(from + 1, size / parts * k);
    if (near >= size) break;
    window.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kLook, size - near + 1)));
    source.ReadAt(near - 1, window);
    for (std::size_t i = 0; i + 1 < window.size(); ++i) {
      if (static_cast<unsigned char>(window[i]) < 0x80) {
        cut.push_back({from, near + i});
        from = near + i;
        break;
      }
    }
  }
  cut.push_back({from, size});
  return cut;
}

// Reads a part a stretch at a time and hands `each` the whole characters read so far, carrying a
// character cut by a stretch's end over to the next. False as soon as `each` or the watch says to
// stop.
template <typename Each>
bool ThroughStretches(const ByteSource& source, const Part& part, const StretchCodec& codec,
                      std::size_t stretch_bytes, const StreamedWatch& watch, const Each& each) {
  // Only bytes read into it are ever looked at, so it is not cleared first.
  const std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(
      static_cast<std::size_t>(std::min<std::uint64_t>(stretch_bytes, part.to - part.from)) +
      kMostCarried);
  std::size_t carried = 0;
  for (std::uint64_t at = part.from; at < part.to;) {
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(stretch_bytes, part.to - at));
    source.ReadAt(at, std::span<char>(buffer.get() + carried, count));
    at += count;
    const std::string_view read(buffer.get(), carried + count);
    const std::size_t whole = codec.Whole(read, at == part.to);
    if (!each(read.substr(0, whole))) return false;
    carried = read.size() - whole;
    std::memmove(buffer.get(), buffer.get() + whole, carried);
    if (watch && !watch(count)) return false;
  }
  return true;
}

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

// How much of a stretch is told apart at a time as ASCII or not: small enough that a line of
// Chinese now and then leaves most of a log a byte a unit, large enough that the runs stay few.
constexpr std::size_t kBlockBytes = std::size_t{32} << 10;

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
  bool Take(std::string_view whole) {
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

  // Keeps only what was written, with the lines found in it.
  void Finish() {
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

  text::TextPart& BytesRoom() { return bytes_room_; }
  text::TextPart& WideRoom() { return wide_room_; }
  const std::vector<Run>& Runs() const { return runs_; }
  // Counted over each room's units as if they followed each other, which only runs next to each
  // other in the room do.
  const text::BreakCounts& Breaks() const { return breaks_; }
  std::size_t Undecodable() const { return undecodable_; }

 private:
  void TakeAscii(std::string_view block) {
    if (bytes_room_.ascii.empty()) bytes_room_.ascii = platform::AsciiForOverwrite(bytes_);
    std::copy(block.begin(), block.end(), bytes_room_.ascii.data() + ascii_at_);
    Scan(ascii_scanner_, std::string_view(bytes_room_.ascii.data() + ascii_at_, block.size()),
         block.size());
    AddRun(true, ascii_at_, block.size());
    ascii_at_ += block.size();
    bytes_done_ += block.size();
  }

  bool TakeWide(std::string_view block) {
    text::Units& text = wide_room_.text;
    if (text.empty()) text = platform::UnitsForOverwrite(bytes_);
    const std::size_t room = text.size() - wide_at_;
    const std::size_t most = block.size() * codec_.MostUnitsPerByte();
    std::optional<DecodeCount> done;
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

  // The first block a room takes tells about how many units it will give, which its list of line
  // starts is reserved for.
  template <class Span>
  void Scan(std::optional<text::LineScanner>& scanner, Span units, std::size_t read) {
    if (!scanner) {
      const double units_per_byte =
          static_cast<double>(units.size()) / static_cast<double>(std::max<std::size_t>(read, 1));
      scanner.emplace(
          static_cast<std::size_t>(units_per_byte * static_cast<double>(bytes_ - bytes_done_)));
    }
    scanner->Scan(units);
  }

  void AddRun(bool in_bytes, std::size_t start, std::size_t length) {
    if (length == 0) return;
    if (!runs_.empty() && runs_.back().in_bytes == in_bytes) {
      runs_.back().length += length;
    } else {
      runs_.push_back({in_bytes, start, length});
    }
  }

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

}  // namespace

StreamedDecode DecodeStreamed(const ByteSource& source, std::uint64_t size, StreamedForm form,
                              const StreamedWatch& watch, StreamedCuts cuts) {
  const StretchCodec& codec = CodecFor(form);
  const std::vector<Part> cut = CutIntoParts(
      source, size,
      cuts.parts != 0 ? cuts.parts : cp936::DecodePartsFor(static_cast<std::size_t>(size)));
  const std::size_t count = cut.size();

  // Each part is decoded into rooms of its own, on a processor of its own.
  const bool ascii_in_bytes = form != StreamedForm::kScrambled;
  std::vector<std::optional<PartRooms>> rooms(count);
  std::atomic<bool> stopped{false};
  std::atomic<bool> malformed{false};
  text::ForEachPart(count, [&](std::size_t k) {
    PartRooms& part =
        rooms[k].emplace(codec, static_cast<std::size_t>(cut[k].to - cut[k].from), ascii_in_bytes);
    const bool went_through = ThroughStretches(source, cut[k], codec, cuts.stretch_bytes, watch,
                                               [&](std::string_view whole) {
                                                 if (malformed) return false;
                                                 if (part.Take(whole)) return true;
                                                 malformed = true;
                                                 return false;
                                               });
    part.Finish();
    if (!went_through && !malformed) stopped = true;
  });
  if (malformed) return {StreamedOutcome::kNotUtf8, {}};
  if (stopped) return {StreamedOutcome::kStopped, {}};

  StreamedDecode result;
  DecodedText& decoded = result.decoded;
  // The breaks were counted over each room's units as if they followed each other. Where two runs
  // meet, in the text or in a room, a CR and an LF make a CR LF in the one and not the other.
  const auto crlf_between = [&decoded](const text::PartRun& before, const text::PartRun& after) {
    return decoded.parts[before.part].UnitAt(before.start + before.length - 1) == u'\r' &&
           decoded.parts[after.part].UnitAt(after.start) == u'\n';
  };
  std::size_t met_in_text = 0;
  std::size_t met_in_room = 0;
  std::size_t units = 0;
  for (std::size_t k = 0; k < count; ++k) {
    PartRooms& part = *rooms[k];
    decoded.undecodable += part.Undecodable();
    decoded.breaks += part.Breaks();
    std::optional<std::uint32_t> bytes_room;
    std::optional<std::uint32_t> wide_room;
    for (auto [room, index] :
         {std::pair{&part.BytesRoom(), &bytes_room}, std::pair{&part.WideRoom(), &wide_room}}) {
      if (room->Size() == 0) continue;
      *index = static_cast<std::uint32_t>(decoded.parts.size());
      units += room->Size();
      decoded.parts.push_back(std::move(*room));
    }
    std::optional<text::PartRun> last_in_bytes;
    std::optional<text::PartRun> last_wide;
    for (const PartRooms::Run& run : part.Runs()) {
      const text::PartRun placed{run.in_bytes ? *bytes_room : *wide_room, run.start, run.length};
      std::optional<text::PartRun>& last_in_room = run.in_bytes ? last_in_bytes : last_wide;
      if (last_in_room && crlf_between(*last_in_room, placed)) ++met_in_room;
      if (!decoded.runs.empty() && crlf_between(decoded.runs.back(), placed)) ++met_in_text;
      last_in_room = placed;
      decoded.runs.push_back(placed);
    }
  }
  // No pair meets both ways: runs next to each other in a room are apart in the text.
  decoded.breaks.crlf = decoded.breaks.crlf + met_in_text - met_in_room;
  decoded.breaks.cr = decoded.breaks.cr + met_in_room - met_in_text;
  decoded.breaks.lf = decoded.breaks.lf + met_in_room - met_in_text;
  decoded.encoding = form == StreamedForm::kScrambled               ? TextEncoding::kScrambled
                     : form == StreamedForm::kUtf8 && units != size ? TextEncoding::kUtf8
                                                                    : TextEncoding::kCodePage936;
  return result;
}

}  // namespace tambrel::document
