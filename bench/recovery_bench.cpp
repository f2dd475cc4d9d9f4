// What keeping unsaved text against the program's death costs: a keystroke's share on the
// program's thread (the inserted text read back and queued for the journal's thread) at every
// document size, and the recovery of a large document with many edits.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "document/document_file.h"
#include "platform/files/file_identity.h"
#include "platform/files/path_text.h"
#include "recovery/recovered_text.h"
#include "recovery/recovery_journal.h"
#include "text/text_buffer.h"

namespace {

namespace fs = std::filesystem;
using tambrel::recovery::JournalEdit;
using tambrel::recovery::RecoveryJournal;

// A folder under the system's temporary folder, gone afterwards.
struct ScratchFolder {
  ScratchFolder()
      : path(fs::temp_directory_path() /
             ("tambrel-bench-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

std::u16string Lines(std::size_t units) {
  std::u16string text;
  text.reserve(units);
  const std::u16string line =
      u"春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。 The quick brown fox\r\n";
  while (text.size() + line.size() <= units) text += line;
  text.resize(units, u'x');
  return text;
}

// Per keystroke: the editor reads back what came in (as it does for every edit) and the journal
// queues it. The keystroke itself is not timed: it is the same with or without the journal.
void BM_JournalPerKeystroke(benchmark::State& state) {
  const std::size_t units = static_cast<std::size_t>(state.range(0));
  tambrel::text::TextBuffer text(Lines(units));
  ScratchFolder folder;
  RecoveryJournal journal(folder.path);
  journal.Start({});
  std::size_t position = text.Length() / 2;
  double slowest = 0;
  for (auto _ : state) {
    text.Replace(position, 0, u"字");
    const auto start = std::chrono::steady_clock::now();
    journal.Record(JournalEdit{position, 0, text.Substring(position, 1), 0});
    const auto end = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(end - start).count();
    slowest = std::max(slowest, seconds);
    state.SetIterationTime(seconds);
    ++position;
  }
  journal.WaitUntilWritten();
  state.counters["slowest_us"] = slowest * 1e6;
}
BENCHMARK(BM_JournalPerKeystroke)
    ->Arg(512)                      // 1 KB
    ->Arg(50 << 20)                 // 100 MB
    ->Arg(std::int64_t{512} << 20)  // 1 GiB
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// A 100 MB document with 10,000 edits spread over it, read back from its record and the file.
void BM_RecoverLargeDocument(benchmark::State& state) {
  ScratchFolder folder;
  const fs::path document = folder.path / "large.txt";
  const std::u16string original = Lines(50 << 20);
  if (!tambrel::document::WriteDocumentFile(document, original)) {
    state.SkipWithError("cannot write the document");
    return;
  }
  fs::path record;
  {
    RecoveryJournal journal(folder.path / "records");
    tambrel::recovery::JournalBase base{tambrel::platform::files::PathText(document),
                                        tambrel::platform::files::IdentityOf(document).value()};
    journal.Start(base);
    std::mt19937 random(1);
    std::size_t length = original.size();
    for (int edit = 0; edit < 10'000; ++edit) {
      const std::size_t position = random() % length;
      journal.Record(JournalEdit{position, 0, u"改", 0});
      ++length;
    }
    journal.WaitUntilWritten();
    record = *journal.RecordPath();
  }
  for (auto _ : state) {
    auto recovered = tambrel::recovery::RecoverText(record);
    if (!recovered) state.SkipWithError("recovery failed");
    benchmark::DoNotOptimize(recovered);
  }
}
BENCHMARK(BM_RecoverLargeDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
