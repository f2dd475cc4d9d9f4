#include "document/streamed_decode.h"

#include <algorithm>
#include <atomic>
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
  // is kept.
  StreamedDecode result;
  std::vector<text::TextPart>& parts = result.decoded.parts;
  parts.resize(count);
  std::vector<std::size_t> undecodable(count, 0);
  std::vector<std::optional<text::LineScanner>> scanners(count);
  std::atomic<bool> stopped{false};
  std::atomic<bool> malformed{false};
  text::ForEachPart(count, [&](std::size_t k) {
    const auto bytes = static_cast<std::size_t>(cut[k].to - cut[k].from);
    text::Units& text = parts[k].text;
    text = platform::UnitsForOverwrite(bytes);
    std::size_t at = 0;
    text::Units aside;
    std::optional<text::LineScanner>& scanner = scanners[k];
    const bool went_through = ThroughStretches(
        source, cut[k], codec, cuts.stretch_bytes, watch, [&](std::string_view whole) {
          if (malformed) return false;
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
          const std::u16string_view decoded(text.data() + at, done->written);
          // Each stretch's breaks are found as soon as it is decoded, while its units are still
          // at hand, rather than in another pass over the whole text. The first stretch tells
          // about how many units the part gives, which its list of line starts is reserved for.
          if (!scanner) {
            const double units_per_byte =
                static_cast<double>(done->written) /
                static_cast<double>(std::max<std::size_t>(whole.size(), 1));
            scanner.emplace(static_cast<std::size_t>(units_per_byte * static_cast<double>(bytes)));
          }
          scanner->Scan(decoded);
          at += done->written;
          undecodable[k] += done->undecodable;
          return true;
        });
    text.Truncate(at);
    if (!went_through && !malformed) stopped = true;
  });
  if (malformed) return {StreamedOutcome::kNotUtf8, {}};
  if (stopped) return {StreamedOutcome::kStopped, {}};
  std::size_t units = 0;
  for (std::size_t k = 0; k < count; ++k) {
    units += parts[k].text.size();
    result.decoded.undecodable += undecodable[k];
    if (!scanners[k]) continue;
    text::ScannedLines lines = std::move(*scanners[k]).Take();
    parts[k].starts = std::move(lines.starts);
    result.decoded.breaks += lines.breaks;
    // A CR that ends a part and the LF that starts the next were counted as two breaks.
    if (k + 1 < count && parts[k].text.size() > 0 && parts[k].text.back() == u'\r' &&
        parts[k + 1].text.size() > 0 && parts[k + 1].text[0] == u'\n') {
      --result.decoded.breaks.cr;
      --result.decoded.breaks.lf;
      ++result.decoded.breaks.crlf;
    }
  }
  result.decoded.encoding = form == StreamedForm::kScrambled ? TextEncoding::kScrambled
                            : form == StreamedForm::kUtf8 && units != size
                                ? TextEncoding::kUtf8
                                : TextEncoding::kCodePage936;
  return result;
}

}  // namespace tambrel::document
