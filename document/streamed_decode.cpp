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

}  // namespace

StreamedDecode DecodeStreamed(const ByteSource& source, std::uint64_t size, StreamedForm form,
                              const StreamedWatch& watch, StreamedCuts cuts) {
  const StretchCodec& codec = CodecFor(form);
  const std::vector<Part> cut = CutIntoParts(
      source, size,
      cuts.parts != 0 ? cuts.parts : cp936::DecodePartsFor(static_cast<std::size_t>(size)));
  const std::size_t count = cut.size();

  // Each part is decoded into room of its own for a unit per byte, which is all any form but the
  // scrambled one can give; room the decoder does not reach is never written, so it costs address
  // space, not memory. The room is left as the system gives it, and only what the decoder wrote
  // is kept. While a part reads as nothing but ASCII, which every form but the scrambled one reads
  // as itself, its units are kept a byte each; from its first stretch with more, the rest of it
  // goes to room for UTF-16. So a part is kept in at most two pieces.
  StreamedDecode result;
  const bool ascii_as_is = form != StreamedForm::kScrambled;
  std::vector<std::vector<text::TextPart>> pieces(count);
  std::vector<text::BreakCounts> breaks(count);
  std::vector<std::size_t> undecodable(count, 0);
  std::atomic<bool> stopped{false};
  std::atomic<bool> malformed{false};
  text::ForEachPart(count, [&](std::size_t k) {
    const auto bytes = static_cast<std::size_t>(cut[k].to - cut[k].from);
    pieces[k].reserve(2);
    text::TextPart* piece = &pieces[k].emplace_back();
    bool in_bytes = ascii_as_is;
    if (in_bytes) {
      piece->ascii = platform::AsciiForOverwrite(bytes);
    } else {
      piece->text = platform::UnitsForOverwrite(bytes);
    }
    std::size_t at = 0;
    std::size_t bytes_done = 0;
    text::Units aside;
    // A piece's line starts are found stretch by stretch, as soon as each is decoded, while its
    // units are still at hand, rather than in another pass over the whole text. The first
    // stretch tells about how many units the piece gives, which its list is reserved for.
    std::optional<text::LineScanner> scanner;
    const auto scan = [&](auto units, std::size_t read) {
      if (!scanner) {
        const double units_per_byte =
            static_cast<double>(units.size()) / static_cast<double>(std::max<std::size_t>(read, 1));
        scanner.emplace(
            static_cast<std::size_t>(units_per_byte * static_cast<double>(bytes - bytes_done)));
      }
      scanner->Scan(units);
    };
    const auto finish_piece = [&] {
      if (in_bytes) {
        piece->ascii.Truncate(at);
      } else {
        piece->text.Truncate(at);
      }
      if (!scanner) return;
      text::ScannedLines lines = std::move(*scanner).Take();
      piece->starts = std::move(lines.starts);
      breaks[k] += lines.breaks;
      scanner.reset();
    };
    const bool went_through = ThroughStretches(
        source, cut[k], codec, cuts.stretch_bytes, watch, [&](std::string_view whole) {
          if (malformed) return false;
          if (in_bytes && AllAscii(whole)) {
            std::copy(whole.begin(), whole.end(), piece->ascii.data() + at);
            scan(std::string_view(piece->ascii.data() + at, whole.size()), whole.size());
            at += whole.size();
            bytes_done += whole.size();
            return true;
          }
          if (in_bytes) {
            finish_piece();
            in_bytes = false;
            piece = &pieces[k].emplace_back();
            piece->text = platform::UnitsForOverwrite(bytes - bytes_done);
            at = 0;
          }
          text::Units& text = piece->text;
          const std::size_t room = text.size() - at;
          const std::size_t most = whole.size() * codec.MostUnitsPerByte();
          std::optional<DecodeCount> done;
          if (most <= room) {
            done = codec.Decode(whole, text.data() + at, room);
          } else {
            // A stretch that might not fit, the last of a scrambled part, is decoded aside;
            // should its wide bytes really outgrow the room, the part moves to more.
            if (aside.size() < most) aside = text::Units::ForOverwrite(most);
            done = codec.Decode(whole, aside.data(), most);
            if (done && done->written > room)
              text = Grown(text, at, at + done->written + bytes / 64);
            if (done) std::copy_n(aside.data(), done->written, text.data() + at);
          }
          if (!done) {
            malformed = true;
            return false;
          }
          scan(std::u16string_view(text.data() + at, done->written), whole.size());
          at += done->written;
          bytes_done += whole.size();
          undecodable[k] += done->undecodable;
          return true;
        });
    finish_piece();
    if (!went_through && !malformed) stopped = true;
  });
  if (malformed) return {StreamedOutcome::kNotUtf8, {}};
  if (stopped) return {StreamedOutcome::kStopped, {}};
  std::vector<text::TextPart>& parts = result.decoded.parts;
  std::size_t units = 0;
  for (std::size_t k = 0; k < count; ++k) {
    result.decoded.undecodable += undecodable[k];
    result.decoded.breaks += breaks[k];
    for (text::TextPart& piece : pieces[k]) {
      if (piece.Size() == 0) continue;
      // A CR that ends a piece and the LF that starts the next were counted as two breaks.
      if (!parts.empty() && parts.back().UnitAt(parts.back().Size() - 1) == u'\r' &&
          piece.UnitAt(0) == u'\n') {
        --result.decoded.breaks.cr;
        --result.decoded.breaks.lf;
        ++result.decoded.breaks.crlf;
      }
      units += piece.Size();
      parts.push_back(std::move(piece));
    }
  }
  result.decoded.encoding = form == StreamedForm::kScrambled ? TextEncoding::kScrambled
                            : form == StreamedForm::kUtf8 && units != size
                                ? TextEncoding::kUtf8
                                : TextEncoding::kCodePage936;
  return result;
}

}  // namespace tambrel::document
