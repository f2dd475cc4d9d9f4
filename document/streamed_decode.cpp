#include "document/streamed_decode.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <numeric>
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
  // The units whole characters decode to.
  virtual std::size_t Measure(std::string_view whole) const = 0;
  // Decodes whole characters into `room` units, which must hold them; nothing when they turn out
  // not to be in this encoding after all.
  virtual std::optional<DecodeCount> Decode(std::string_view whole, char16_t* out,
                                            std::size_t room) const = 0;
  // The most units a byte can give: the room a stretch may need before it is measured.
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

  std::size_t Measure(std::string_view whole) const override {
    return map_ != nullptr ? cp936::DecodedLength(whole, *map_) : cp936::DecodedLength(whole);
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

  // Counted as if well formed: the decode that follows finds out whether it is.
  std::size_t Measure(std::string_view whole) const override { return utf8::CountUnits(whole); }

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

}  // namespace

StreamedDecode DecodeStreamed(const ByteSource& source, std::uint64_t size, StreamedForm form,
                              const StreamedWatch& watch, StreamedCuts cuts) {
  const StretchCodec& codec = CodecFor(form);
  const std::vector<Part> parts = CutIntoParts(
      source, size,
      cuts.parts != 0 ? cuts.parts : cp936::DecodePartsFor(static_cast<std::size_t>(size)));
  const std::size_t count = parts.size();

  // The first pass: each part's length in units, which places it in the text.
  std::vector<std::size_t> offsets(count + 1, 0);
  std::atomic<bool> stopped{false};
  text::ForEachPart(count, [&](std::size_t k) {
    if (!ThroughStretches(source, parts[k], codec, cuts.stretch_bytes, watch,
                          [&](std::string_view whole) {
                            offsets[k + 1] += codec.Measure(whole);
                            return true;
                          })) {
      stopped = true;
    }
  });
  if (stopped) return {StreamedOutcome::kStopped, {}};
  std::partial_sum(offsets.begin(), offsets.end(), offsets.begin());

  // The second pass: each part decoded into its place, which also tells whether UTF-8 holds. A
  // stretch that could give more than the room left (the last of a part, usually) is decoded
  // aside first, so that bytes changed since they were measured, or UTF-8 that is not well formed
  // and so was measured wrong, can never write into the next part's place.
  // The room is left as the system gives it: every unit of it is written below before the text is
  // answered, and a pass that falls short answers no text at all.
  StreamedDecode result;
  text::Units& text = result.decoded.text;
  text = platform::UnitsForOverwrite(offsets[count]);
  std::vector<std::size_t> undecodable(count, 0);
  // Each stretch's breaks are found as soon as it is decoded, while its units are still at hand,
  // rather than in another pass over the whole text. The first part's scan, which the others join,
  // has room for the whole text's starts, so that joining copies only theirs.
  std::vector<text::LineScanner> scanners;
  for (std::size_t k = 0; k < count; ++k) {
    scanners.emplace_back(offsets[k], (k == 0 ? offsets[count] : offsets[k + 1]) - offsets[k]);
  }
  std::atomic<bool> changed{false};
  std::atomic<bool> malformed{false};
  text::ForEachPart(count, [&](std::size_t k) {
    std::size_t at = offsets[k];
    text::Units aside;
    const bool went_through = ThroughStretches(
        source, parts[k], codec, cuts.stretch_bytes, watch, [&](std::string_view whole) {
          const std::size_t room = offsets[k + 1] - at;
          const std::size_t most = whole.size() * codec.MostUnitsPerByte();
          if (changed || malformed) return false;
          std::optional<DecodeCount> done;
          if (most <= room) {
            done = codec.Decode(whole, text.data() + at, room);
          } else {
            if (aside.size() < most) aside = text::Units::ForOverwrite(most);
            done = codec.Decode(whole, aside.data(), most);
            if (done && done->written > room) {
              changed = true;
              return false;
            }
            if (done) std::copy_n(aside.data(), done->written, text.data() + at);
          }
          if (!done) {
            malformed = true;
            return false;
          }
          scanners[k].Scan(std::u16string_view(text.data() + at, done->written));
          at += done->written;
          undecodable[k] += done->undecodable;
          return true;
        });
    if (went_through && at != offsets[k + 1]) changed = true;
    if (!went_through && !changed && !malformed) stopped = true;
  });
  if (malformed) return {StreamedOutcome::kNotUtf8, {}};
  if (changed) return {StreamedOutcome::kChanged, {}};
  if (stopped) return {StreamedOutcome::kStopped, {}};
  result.decoded.undecodable =
      std::accumulate(undecodable.begin(), undecodable.end(), std::size_t{0});
  for (std::size_t k = 1; k < count; ++k) scanners[0].Join(std::move(scanners[k]));
  result.decoded.lines = std::move(scanners[0]).Take();
  result.decoded.encoding = form == StreamedForm::kScrambled ? TextEncoding::kScrambled
                            : form == StreamedForm::kUtf8 && text.size() != size
                                ? TextEncoding::kUtf8
                                : TextEncoding::kCodePage936;
  return result;
}

}  // namespace tambrel::document
