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

#include "document/part_rooms.h"
#include "document/stretch_codec.h"
#include "platform/codepage/cp936.h"
#include "text/for_each_part.h"

namespace tambrel::document {
namespace {

namespace cp936 = platform::cp936;

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

// The parts' rooms and runs gathered, in order, into one text, with the breaks counted over it.
DecodedText Gathered(std::vector<std::optional<PartRooms>>& rooms) {
  DecodedText decoded;
  // The breaks were counted over each room's units as if they followed each other. Where two runs
  // meet, in the text or in a room, a CR and an LF make a CR LF in the one and not the other.
  const auto crlf_between = [&decoded](const text::PartRun& before, const text::PartRun& after) {
    return decoded.parts[before.part].UnitAt(before.start + before.length - 1) == u'\r' &&
           decoded.parts[after.part].UnitAt(after.start) == u'\n';
  };
  std::size_t met_in_text = 0;
  std::size_t met_in_room = 0;
  for (std::optional<PartRooms>& of_part : rooms) {
    PartRooms& part = *of_part;
    decoded.undecodable += part.Undecodable();
    decoded.breaks += part.Breaks();
    std::optional<std::uint32_t> ascii_room;
    std::optional<std::uint32_t> rest_room;
    for (auto [room, index] :
         {std::pair{&part.AsciiRoom(), &ascii_room}, std::pair{&part.RestRoom(), &rest_room}}) {
      if (room->Size() == 0) continue;
      *index = static_cast<std::uint32_t>(decoded.parts.size());
      decoded.parts.push_back(std::move(*room));
    }
    std::optional<text::PartRun> last_ascii;
    std::optional<text::PartRun> last_rest;
    for (const PartRooms::Run& run : part.Runs()) {
      const text::PartRun placed{run.ascii ? *ascii_room : *rest_room, run.start, run.length};
      std::optional<text::PartRun>& last_in_room = run.ascii ? last_ascii : last_rest;
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
  return decoded;
}

}  // namespace

StreamedDecode DecodeStreamed(const ByteSource& source, std::uint64_t size, StreamedForm form,
                              const StreamedWatch& watch, StreamedCuts cuts) {
  const StretchCodec& codec = CodecFor(form);
  const std::vector<Part> cut = CutIntoParts(
      source, size,
      cuts.parts != 0 ? cuts.parts : cp936::DecodePartsFor(static_cast<std::size_t>(size)));
  const std::size_t count = cut.size();

  // Each part is decoded into rooms of its own, on a processor of its own.
  const PartRooms::Keeping keeping{.ascii_in_bytes = form != StreamedForm::kScrambled,
                                   .rest_as_read = form != StreamedForm::kUtf8};
  std::vector<std::optional<PartRooms>> rooms(count);
  std::atomic<bool> stopped{false};
  std::atomic<bool> malformed{false};
  text::ForEachPart(count, [&](std::size_t k) {
    PartRooms& part =
        rooms[k].emplace(codec, static_cast<std::size_t>(cut[k].to - cut[k].from), keeping);
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

  StreamedDecode result{StreamedOutcome::kDecoded, Gathered(rooms)};
  DecodedText& decoded = result.decoded;
  decoded.encoding = form == StreamedForm::kScrambled ? TextEncoding::kScrambled
                     : form == StreamedForm::kUtf8 && decoded.Length() != size
                         ? TextEncoding::kUtf8
                         : TextEncoding::kCodePage936;
  return result;
}

}  // namespace tambrel::document
