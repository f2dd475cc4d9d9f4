// Reading and writing a 100 MB document of mixed Chinese and ASCII text, with a copy of the same
// bytes as the floor, and reading the same kind of text as 100 MB plain files in GBK and UTF-8.
// Reading Chinese text from a GBK file and from a scrambled one of 1 MB, 100 MB and 1 GiB, the
// whole way from the file to the text. Throughput is counted in the file's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "document/document_codec.h"
#include "document/document_file.h"
#include "document/plain_text_encoding.h"
#include "platform/codepage/cp936.h"
#include "platform/codepage/utf8.h"

namespace tambrel::document {
namespace {

namespace cp936 = platform::cp936;
constexpr std::size_t kDocumentBytes = 100 * 1000 * 1000;

// Lines of common GB 2312 characters with ASCII words and numbers between them, about as many
// bytes of each.
std::string MixedPlainBytes() {
  std::mt19937 random(936);
  std::uniform_int_distribution<int> lead(0xB0, 0xD7);
  std::uniform_int_distribution<int> trail(0xA1, 0xFE);
  std::uniform_int_distribution<int> letter('a', 'z');
  std::uniform_int_distribution<int> run(1, 12);
  std::string bytes;
  bytes.reserve(kDocumentBytes + 64);
  while (bytes.size() < kDocumentBytes) {
    for (int n = run(random); n > 0; --n) {
      bytes += static_cast<char>(lead(random));
      bytes += static_cast<char>(trail(random));
    }
    bytes += ' ';
    for (int n = run(random); n > 0; --n) bytes += static_cast<char>(letter(random));
    bytes += run(random) == 1 ? "\r\n" : " ";
  }
  bytes.resize(kDocumentBytes);
  return bytes;
}

struct Fixture {
  std::string plain = MixedPlainBytes();
  std::u16string text = cp936::Decode(plain);
  std::string scrambled = EncodeDocument(text);
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "tambrel-codec-bench";
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

std::string Utf8Of(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    // The text is GB 2312 and ASCII: no surrogates.
    if (unit < 0x80) {
      bytes += static_cast<char>(unit);
    } else if (unit < 0x800) {
      bytes += static_cast<char>(0xC0 | unit >> 6);
      bytes += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      bytes += static_cast<char>(0xE0 | unit >> 12);
      bytes += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
      bytes += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return bytes;
}

// The same kind of text in UTF-8, cut to the same size where a character ends; and that file with
// a broken last byte, which UTF-8 rejects only at the very end.
struct Utf8Fixture {
  std::string utf8 = Utf8Cut(Utf8Of(Data().text));
  std::string broken_at_end = utf8.substr(0, utf8.size() - 1) + '\xFF';

  static std::string Utf8Cut(std::string bytes) {
    if (bytes.size() <= kDocumentBytes) return bytes;
    std::size_t end = kDocumentBytes;
    while ((static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
    bytes.resize(end);
    return bytes;
  }
};

Utf8Fixture& Utf8Data() {
  static Utf8Fixture fixture;
  return fixture;
}

void CountBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_MemcpyFloor(benchmark::State& state) {
  const std::string& source = Data().plain;
  std::string target(source.size(), '\0');
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  CountBytes(state, source.size());
}

// The conversion alone, into a buffer that is already there.
void BM_Cp936DecodeInto(benchmark::State& state) {
  std::u16string buffer(Data().plain.size(), u'\0');
  for (auto _ : state) benchmark::DoNotOptimize(cp936::DecodeInto(Data().plain, buffer.data()));
  CountBytes(state, Data().plain.size());
}

// The same, with a fresh string to return: the kernel zeroes its pages first.
void BM_Cp936Decode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(cp936::Decode(Data().plain));
  CountBytes(state, Data().plain.size());
}

void BM_Cp936Encode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(cp936::Encode(Data().text));
  CountBytes(state, Data().plain.size());
}

void BM_DecodeText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodeText(Data().text));
  CountBytes(state, Data().plain.size());
}

void BM_DecodeDocument(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodeDocument(Data().scrambled));
  CountBytes(state, Data().scrambled.size());
}

void BM_EncodeDocument(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(EncodeDocument(Data().text));
  CountBytes(state, Data().scrambled.size());
}

void BM_ReadDocumentFile(benchmark::State& state) {
  std::filesystem::create_directories(Data().folder);
  const std::filesystem::path path = Data().folder / "read.txt";
  std::ofstream(path, std::ios::binary) << Data().scrambled;
  for (auto _ : state) {
    auto text = ReadDocumentFile(path);
    if (!text.ok()) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(text);
  }
  CountBytes(state, Data().scrambled.size());
  std::filesystem::remove_all(Data().folder);
}

void BM_WriteDocumentFile(benchmark::State& state) {
  std::filesystem::create_directories(Data().folder);
  const std::filesystem::path path = Data().folder / "write.txt";
  for (auto _ : state) {
    if (!WriteDocumentFile(path, Data().text).ok()) state.SkipWithError("write failed");
  }
  CountBytes(state, Data().scrambled.size());
  std::filesystem::remove_all(Data().folder);
}

// Plain text through the reader's entry point, into a fresh string.
void BM_DecodePlainTextGbk(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodePlainText(Data().plain));
  CountBytes(state, Data().plain.size());
}

void BM_DecodePlainTextUtf8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodePlainText(Utf8Data().utf8));
  CountBytes(state, Utf8Data().utf8.size());
}

// The same into a buffer that is already there, to set against the copy and the bare decoders.
void DecodeIntoBuffer(benchmark::State& state, const std::string& bytes, TextEncoding expected) {
  std::u16string buffer(bytes.size(), u'\0');
  for (auto _ : state) {
    const PlainTextSummary summary = DecodePlainTextInto(bytes, buffer.data());
    if (summary.encoding != expected) state.SkipWithError("read in another encoding");
    benchmark::DoNotOptimize(summary);
  }
  CountBytes(state, bytes.size());
}

void BM_DecodePlainTextIntoGbk(benchmark::State& state) {
  DecodeIntoBuffer(state, Data().plain, TextEncoding::kCodePage936);
}

void BM_DecodePlainTextIntoUtf8(benchmark::State& state) {
  DecodeIntoBuffer(state, Utf8Data().utf8, TextEncoding::kUtf8);
}

// The worst case for the choice: UTF-8 up to the last byte, then everything again as GBK.
void BM_DecodePlainTextIntoUtf8BrokenAtEnd(benchmark::State& state) {
  DecodeIntoBuffer(state, Utf8Data().broken_at_end, TextEncoding::kCodePage936);
}

// The GBK decode without the choice in front of it: what detection adds to a GBK file.
void BM_Cp936DecodeCountingInto(benchmark::State& state) {
  std::u16string buffer(Data().plain.size(), u'\0');
  for (auto _ : state) {
    benchmark::DoNotOptimize(cp936::DecodeCountingInto(Data().plain, buffer.data()));
  }
  CountBytes(state, Data().plain.size());
}

// Detection alone on the GBK file: how long UTF-8 takes to give up.
// The measuring pass of a large open, plain and scrambled: how many units the text will take.
void BM_Cp936DecodedLength(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(cp936::DecodedLength(Data().plain));
  CountBytes(state, Data().plain.size());
}

void BM_Cp936DecodedLengthScrambled(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(cp936::DecodedLength(Data().scrambled, ScrambledDecodeMap()));
  }
  CountBytes(state, Data().scrambled.size());
}

void BM_Utf8RejectsGbk(benchmark::State& state) {
  std::u16string buffer(Data().plain.size(), u'\0');
  for (auto _ : state) {
    const auto progress = platform::utf8::DecodeWellFormed(Data().plain, buffer.data());
    if (progress.read == Data().plain.size()) state.SkipWithError("GBK taken for UTF-8");
    benchmark::DoNotOptimize(progress);
  }
}

void ReadPlainFile(benchmark::State& state, const std::string& bytes) {
  std::filesystem::create_directories(Data().folder);
  const std::filesystem::path path = Data().folder / "plain.txt";
  std::ofstream(path, std::ios::binary) << bytes;
  for (auto _ : state) {
    auto read = ReadDocumentFile(path);
    if (!read.ok()) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(read);
  }
  CountBytes(state, bytes.size());
  std::filesystem::remove_all(Data().folder);
}

void BM_ReadPlainGbkFile(benchmark::State& state) { ReadPlainFile(state, Data().plain); }

void BM_ReadPlainUtf8File(benchmark::State& state) { ReadPlainFile(state, Utf8Data().utf8); }

void BM_CountLossyCharacters(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CountLossyCharacters(Data().text));
  CountBytes(state, Data().plain.size());
}

// Lines of ten to sixty common Chinese characters, a full stop and CR LF: what a long Chinese
// document is made of, about one unit of text for every two bytes.
std::string ChineseGbkBytes(std::size_t size) {
  std::mt19937 random(936);
  std::uniform_int_distribution<int> lead(0xB0, 0xD7);
  std::uniform_int_distribution<int> trail(0xA1, 0xFE);
  std::uniform_int_distribution<int> line(10, 60);
  std::string bytes;
  bytes.reserve(size + 128);
  while (bytes.size() < size) {
    for (int n = line(random); n > 0; --n) {
      bytes += static_cast<char>(lead(random));
      bytes += static_cast<char>(trail(random));
    }
    bytes += "\xA1\xA3\r\n";
  }
  bytes.resize(size);
  return bytes;
}

// Opens a file of state.range(0) bytes of Chinese text, plain GBK or scrambled. The bytes are
// written and let go before the first read, so that a run under /usr/bin/time -v shows the
// reader's own peak memory.
void ReadChineseFile(benchmark::State& state, bool scrambled) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "tambrel-codec-bench-chinese";
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / "chinese.txt";
  {
    std::string bytes = ChineseGbkBytes(size);
    if (scrambled) {
      // The text moved up by K. A line break before the marker keeps a lead byte cut off at
      // the end from swallowing the marker's first byte.
      bytes.resize(size - kMarker.size() - 1);
      bytes += '\n';
      bytes.append(kMarker.begin(), kMarker.end());
    }
    std::ofstream(path, std::ios::binary) << bytes;
  }
  const TextEncoding expected = scrambled ? TextEncoding::kScrambled : TextEncoding::kCodePage936;
  for (auto _ : state) {
    auto read = ReadDocumentFile(path);
    if (!read.ok() || read.value().encoding != expected) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(read);
  }
  CountBytes(state, size);
  std::filesystem::remove_all(folder);
}

void BM_ReadAndDecodeDocument(benchmark::State& state) { ReadChineseFile(state, false); }

void BM_ReadAndDecodeScrambledDocument(benchmark::State& state) { ReadChineseFile(state, true); }

constexpr std::int64_t kMegabyte = 1000 * 1000;
constexpr std::int64_t kGibibyte = std::int64_t{1} << 30;
BENCHMARK(BM_ReadAndDecodeDocument)
    ->Arg(kMegabyte)
    ->Arg(100 * kMegabyte)
    ->Arg(kGibibyte)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndDecodeScrambledDocument)
    ->Arg(kMegabyte)
    ->Arg(100 * kMegabyte)
    ->Arg(kGibibyte)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp936DecodeInto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp936Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp936Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDocumentFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDocumentFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountLossyCharacters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePlainTextGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePlainTextUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePlainTextIntoGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePlainTextIntoUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePlainTextIntoUtf8BrokenAtEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp936DecodeCountingInto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp936DecodedLength)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp936DecodedLengthScrambled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8RejectsGbk);
BENCHMARK(BM_ReadPlainGbkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlainUtf8File)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tambrel::document
