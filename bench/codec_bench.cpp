// Reading and writing a 100 MB document of mixed Chinese and ASCII text, with a copy of the same
// bytes as the floor. Throughput is counted in the file's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "document/document_codec.h"
#include "document/document_file.h"
#include "platform/codepage/cp936.h"

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

void BM_CountLossyCharacters(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CountLossyCharacters(Data().text));
  CountBytes(state, Data().plain.size());
}

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

}  // namespace
}  // namespace tambrel::document
