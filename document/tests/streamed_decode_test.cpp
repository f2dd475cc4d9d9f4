// A document decoded from stretches read by place must come out exactly as the whole bytes decode,
// wherever the stretches and the parts happen to end, its lines included, and must never write
// outside its room, even when the bytes change while they are read.
#include "document/streamed_decode.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <string>

#include "document/document_codec.h"
#include "document/plain_text_encoding.h"
#include "platform/codepage/cp936.h"
#include "tests/support/reference_unicode.h"
#include "text/line_scan.h"

namespace tambrel::document {
namespace {

namespace cp936 = platform::cp936;

// Bytes held in memory, read by place like a file; optionally different from the n-th read on,
// as a file another program rewrites.
class BytesSource : public ByteSource {
 public:
  explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}

  void ChangeAfterReads(std::size_t reads, std::string changed) {
    change_after_ = reads;
    changed_ = std::move(changed);
  }

  void ReadAt(std::uint64_t offset, std::span<char> into) const override {
    const std::string& bytes = reads_++ >= change_after_ ? changed_ : bytes_;
    if (offset + into.size() > bytes.size()) throw SourceFailure{{u"文件变短了"}};
    std::memcpy(into.data(), bytes.data() + offset, into.size());
  }

  std::size_t Reads() const { return reads_; }

 private:
  std::string bytes_;
  std::string changed_;
  std::size_t change_after_ = SIZE_MAX;
  mutable std::atomic<std::size_t> reads_{0};
};

// Chinese, ASCII, every kind of line break, a character beyond the basic plane and lines with no
// ASCII at all.
std::u16string MixedText(std::size_t lines) {
  std::u16string text;
  for (std::size_t line = 0; line < lines; ++line) {
    text += line % 3 == 0 ? u"中文一行没有任何半角字符，只有汉字与全角标点。"
                          : u"第" + std::u16string(1, static_cast<char16_t>(u'0' + line % 10)) +
                                u"行 mixed 中文，" + (line % 4 == 1 ? u"😀" : u"") +
                                (line % 5 == 2   ? u"\n"
                                 : line % 7 == 4 ? u"\r"
                                                 : u"\r\n");
  }
  return text;
}

std::string Utf8(const std::u16string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    bytes += testing::Utf8Of(c);
  }
  return bytes;
}

// A part's units, however it keeps them.
std::u16string UnitsOf(const text::TextPart& part) {
  std::u16string units(part.Size(), u'\0');
  for (std::size_t k = 0; k < units.size(); ++k) units[k] = part.UnitAt(k);
  return units;
}

// Where a decode differs from the expected one, for a readable failure.
::testing::AssertionResult SameDecode(const StreamedDecode& streamed, const DecodedText& whole) {
  if (streamed.outcome != StreamedOutcome::kDecoded) {
    return ::testing::AssertionFailure() << "outcome " << static_cast<int>(streamed.outcome);
  }
  const DecodedText& got = streamed.decoded;
  if (got.encoding != whole.encoding) {
    return ::testing::AssertionFailure() << "encoding " << static_cast<int>(got.encoding)
                                         << " instead of " << static_cast<int>(whole.encoding);
  }
  if (got.undecodable != whole.undecodable) {
    return ::testing::AssertionFailure()
           << got.undecodable << " undecodable instead of " << whole.undecodable;
  }
  const std::u16string text = got.Whole();
  if (text != whole.text) {
    std::size_t differ = 0;
    while (differ < text.size() && differ < whole.text.size() &&
           text[differ] == whole.text[differ]) {
      ++differ;
    }
    return ::testing::AssertionFailure() << text.size() << " units instead of " << whole.text.size()
                                         << ", first differing at " << differ;
  }
  // The lines found part by part, stretch by stretch, are those of the whole text: each part's
  // own starts, and the breaks counted across the parts.
  if (!got.InParts()) return ::testing::AssertionFailure() << "not decoded in parts";
  for (std::size_t k = 0; k < got.parts.size(); ++k) {
    text::PositionList starts;
    text::ListLineStarts(UnitsOf(got.parts[k]), starts);
    const text::PositionList& found = got.parts[k].starts;
    for (std::size_t i = 0; i < std::max(starts.Size(), found.Size()); ++i) {
      if (i >= starts.Size() || i >= found.Size() || found[i] != starts[i]) {
        return ::testing::AssertionFailure()
               << "part " << k << ": line start " << i << " found at "
               << (i < found.Size() ? std::to_string(found[i]) : "none") << " instead of "
               << (i < starts.Size() ? std::to_string(starts[i]) : "none");
      }
    }
  }
  const text::BreakCounts breaks = text::CountBreaks(whole.text);
  if (got.breaks.crlf != breaks.crlf || got.breaks.lf != breaks.lf || got.breaks.cr != breaks.cr) {
    return ::testing::AssertionFailure()
           << "breaks counted as " << got.breaks.crlf << " CR LF, " << got.breaks.lf << " LF, "
           << got.breaks.cr << " CR instead of " << breaks.crlf << ", " << breaks.lf << ", "
           << breaks.cr;
  }
  return ::testing::AssertionSuccess();
}

// All of the bytes, decoded from a source that holds them.
StreamedDecode Streamed(const std::string& bytes, StreamedForm form, StreamedCuts cuts) {
  return DecodeStreamed(BytesSource(bytes), bytes.size(), form, {}, cuts);
}

// Every stretch size from one byte up, each with one to four parts.
template <typename Check>
void AtEveryCut(std::size_t most_stretch, const Check& check) {
  for (std::size_t stretch = 1; stretch <= most_stretch; ++stretch) {
    for (std::size_t parts = 1; parts <= 4; ++parts) {
      SCOPED_TRACE("stretch " + std::to_string(stretch) + ", parts " + std::to_string(parts));
      check(StreamedCuts{stretch, parts});
    }
  }
}

TEST(StreamedDecode, EachFormReadsAsItsWholeBytesWhereverTheStretchesEnd) {
  const std::u16string text = MixedText(30);
  // Code page 936 with broken bytes among it: an undefined pair, a lead byte before a NUL, and a
  // lead byte last of all.
  const std::string gbk = cp936::Encode(text) + "\x81\x7F|\xFE" + std::string(1, '\0') + "x\xB0";
  const std::string utf8 = Utf8(text);
  const std::string scrambled = EncodeDocument(text + u"（）～€");
  const std::string scrambled_body = scrambled.substr(0, scrambled.size() - kMarker.size());
  AtEveryCut(40, [&](StreamedCuts cuts) {
    EXPECT_TRUE(SameDecode(Streamed(gbk, StreamedForm::kCodePage936, cuts), DecodePlainText(gbk)));
    EXPECT_TRUE(SameDecode(Streamed(utf8, StreamedForm::kUtf8, cuts), DecodePlainText(utf8)));
    EXPECT_TRUE(SameDecode(DecodeStreamed(BytesSource(scrambled), scrambled_body.size(),
                                          StreamedForm::kScrambled, {}, cuts),
                           DecodeDocument(scrambled)));
  });
}

TEST(StreamedDecode, TextWithoutAnyAsciiIsStillCutOnlyBetweenCharacters) {
  // Every byte of these characters is a possible lead byte, so nothing but counting from the
  // start tells where one ends.
  const std::u16string text(500, u'中');
  const std::string gbk = cp936::Encode(text + u"啊") + "\xB0";
  const std::string utf8 = Utf8(std::u16string(300, u'文') + u"😀😀");
  AtEveryCut(9, [&](StreamedCuts cuts) {
    EXPECT_TRUE(SameDecode(Streamed(gbk, StreamedForm::kCodePage936, cuts), DecodePlainText(gbk)));
    EXPECT_TRUE(SameDecode(Streamed(utf8, StreamedForm::kUtf8, cuts), DecodePlainText(utf8)));
  });
}

TEST(StreamedDecode, Utf8ThatBreaksAnywhereIsNotTakenForUtf8) {
  const std::string good = Utf8(MixedText(20));
  std::mt19937 random(7);
  for (int trial = 0; trial < 40; ++trial) {
    std::string bytes = good;
    // A GBK character, a lone continuation byte or a cut sequence at the very end.
    const std::size_t at = random() % bytes.size();
    const std::string breaks[] = {"\xD6\xD0", "\x80", "\xE4\xB8"};
    if (trial % 4 == 3) {
      bytes += breaks[2];
    } else {
      bytes.insert(at, breaks[trial % 2]);
    }
    SCOPED_TRACE("trial " + std::to_string(trial));
    const StreamedCuts cuts{1 + random() % 64, 1 + random() % 3};
    EXPECT_EQ(Streamed(bytes, StreamedForm::kUtf8, cuts).outcome, StreamedOutcome::kNotUtf8);
  }
}

TEST(StreamedDecode, AsciiOnlyIsCodePage936AsInTheWholeDecode) {
  const std::string ascii(1000, 'a');
  const StreamedDecode streamed = Streamed(ascii, StreamedForm::kUtf8, {64, 2});
  EXPECT_TRUE(SameDecode(streamed, DecodePlainText(ascii)));
  EXPECT_EQ(streamed.decoded.encoding, TextEncoding::kCodePage936);
}

// ASCII takes a byte a unit, each part's in a room of its own, and the rest goes to another room:
// as read in code page 936, as UTF-16 from UTF-8, whichever takes less. Runs of the two rooms make
// the text.
TEST(StreamedDecode, AsciiIsKeptAByteEachAndTheRestInItsSmallerForm) {
  std::string ascii;
  for (int k = 0; k < 200; ++k) ascii += "line " + std::to_string(k) + "\r\n";
  for (const StreamedForm form : {StreamedForm::kUtf8, StreamedForm::kCodePage936}) {
    const StreamedDecode all_ascii = Streamed(ascii, form, {64, 2});
    ASSERT_EQ(all_ascii.decoded.parts.size(), 2u);
    for (const text::TextPart& part : all_ascii.decoded.parts) {
      EXPECT_TRUE(part.text.empty());
      EXPECT_FALSE(part.ascii.empty());
    }
  }
  const std::string mixed = ascii + cp936::Encode(u"中文\r\n") + ascii;
  const StreamedDecode decoded = Streamed(mixed, StreamedForm::kCodePage936, {64, 1});
  ASSERT_TRUE(SameDecode(decoded, DecodePlainText(mixed)));
  const std::vector<text::TextPart>& parts = decoded.decoded.parts;
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_FALSE(parts[0].ascii.empty());
  EXPECT_FALSE(parts[1].coded.empty());
  // Only the stretches that hold the Chinese are kept as read, and only they are decoded again.
  EXPECT_LE(parts[1].Size(), 2 * 64u);
  EXPECT_LE(parts[1].coded.MemoryBytes(), 2 * 64u + 16 * 16u);
  const std::vector<text::PartRun>& runs = decoded.decoded.runs;
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].part, 0u);
  EXPECT_EQ(runs[1].part, 1u);
  EXPECT_EQ(runs[2].part, 0u);
  const std::string mixed_utf8 = ascii + "\xE4\xB8\xAD\r\n" + ascii;
  const StreamedDecode from_utf8 = Streamed(mixed_utf8, StreamedForm::kUtf8, {64, 1});
  ASSERT_EQ(from_utf8.decoded.parts.size(), 2u);
  EXPECT_FALSE(from_utf8.decoded.parts[1].text.empty());
  EXPECT_EQ(from_utf8.decoded.Whole(), cp936::Decode(ascii) + u"中\r\n" + cp936::Decode(ascii));
  // A CR and an LF that meet in the room for ASCII are apart in the text, and the other way round.
  const std::u16string apart = u"a\r中\nb\r文\r\n\r\n字\nc";
  const std::string apart_bytes = cp936::Encode(apart);
  AtEveryCut(4, [&](StreamedCuts cuts) {
    StreamedDecode streamed = Streamed(apart_bytes, StreamedForm::kCodePage936, cuts);
    ASSERT_TRUE(SameDecode(streamed, DecodePlainText(apart_bytes)));
    const text::TextBuffer buffer = BufferOf(std::move(streamed.decoded));
    EXPECT_EQ(buffer.Text(), apart);
    EXPECT_EQ(buffer.LineCount(), 7u);
  });
  // The scrambled form shifts ASCII too, so it never keeps a byte a unit; it keeps every byte as
  // read.
  const std::string scrambled = EncodeDocument(u"plain ASCII\r\n");
  const StreamedDecode shifted =
      DecodeStreamed(BytesSource(scrambled), scrambled.size() - kMarker.size(),
                     StreamedForm::kScrambled, {}, {4, 2});
  for (const text::TextPart& part : shifted.decoded.parts) {
    EXPECT_TRUE(part.ascii.empty());
    EXPECT_TRUE(part.text.empty());
  }
  EXPECT_EQ(shifted.decoded.Whole(), u"plain ASCII\r\n");
}

TEST(StreamedDecode, TheWatchSeesEveryByteOnceAndCanStopTheDecodeAnywhere) {
  const std::string gbk = cp936::Encode(MixedText(200));
  std::atomic<std::size_t> seen{0};
  const StreamedDecode whole =
      DecodeStreamed(BytesSource(gbk), gbk.size(), StreamedForm::kCodePage936,
                     [&](std::size_t bytes) {
                       seen += bytes;
                       return true;
                     },
                     {256, 2});
  EXPECT_EQ(whole.outcome, StreamedOutcome::kDecoded);
  EXPECT_EQ(seen, gbk.size());

  // Stopped at the first stretch, in the middle, and at the last.
  for (const std::size_t stop_at : {std::size_t{1}, gbk.size() / 2, gbk.size()}) {
    std::atomic<std::size_t> done{0};
    const StreamedDecode stopped =
        DecodeStreamed(BytesSource(gbk), gbk.size(), StreamedForm::kCodePage936,
                       [&](std::size_t bytes) { return (done += bytes) < stop_at; }, {256, 2});
    EXPECT_EQ(stopped.outcome, StreamedOutcome::kStopped);
    EXPECT_EQ(stopped.decoded.Length(), 0u);
    EXPECT_LE(done, gbk.size());
  }
}

TEST(StreamedDecode, BytesChangedWhileReadDecodeAsTheyWereReadWithinTheirRoom) {
  const std::string gbk = cp936::Encode(std::u16string(400, u'中'));
  // As many units per byte as code page 936 can give, where Chinese gave half as many.
  const std::string ascii_instead(gbk.size(), 'a');
  for (const std::size_t stretch : {7u, 64u, 100000u}) {
    SCOPED_TRACE("stretch " + std::to_string(stretch));
    const std::size_t reads = (gbk.size() / stretch) / 2;
    BytesSource changing(gbk);
    changing.ChangeAfterReads(reads, ascii_instead);
    const StreamedDecode streamed =
        DecodeStreamed(changing, gbk.size(), StreamedForm::kCodePage936, {}, {stretch, 1});
    ASSERT_EQ(streamed.outcome, StreamedOutcome::kDecoded);
    const std::string seen = gbk.substr(0, reads * stretch) + ascii_instead.substr(reads * stretch);
    EXPECT_EQ(streamed.decoded.Whole(), cp936::Decode(seen));
  }
}

TEST(StreamedDecode, ScrambledBytesThatEachGiveTwoUnitsReadBackWhole) {
  // Under the shift a lone 0xFF is the one byte that decodes to two units; a run of them needs
  // twice the room of their bytes.
  const std::string body = std::string(300, '\xFF') + "a\r\nb" + std::string(100, '\xFF') + "\r";
  const std::string bytes = body + std::string(kMarker.begin(), kMarker.end());
  AtEveryCut(70, [&](StreamedCuts cuts) {
    const StreamedDecode streamed =
        DecodeStreamed(BytesSource(bytes), body.size(), StreamedForm::kScrambled, {}, cuts);
    EXPECT_TRUE(SameDecode(streamed, DecodeDocument(bytes)));
  });
}

TEST(StreamedDecode, ASourceThatCannotReadGivesItsReason) {
  const std::string gbk = cp936::Encode(MixedText(10));
  // Asked for more than there is: the file grew shorter since its size was taken.
  try {
    (void)DecodeStreamed(BytesSource(gbk), gbk.size() + 100, StreamedForm::kCodePage936, {},
                         {64, 2});
    ADD_FAILURE() << "a short read went unnoticed";
  } catch (const SourceFailure& failed) {
    EXPECT_EQ(failed.failure.reason, u"文件变短了");
  }
}

}  // namespace
}  // namespace tambrel::document
