// The editor as the user feels it, in the process, on the real widgets under the offscreen
// platform: a keystroke from its key event to its painted row, in documents of 10 MB, 100 MB and
// 1 GiB and in single lines of 5 MB and 50 MB; how soon the rows in view are numbered again after
// the width changes; and the memory a document takes from the file to the screen.
//   editor_bench [--benchmark_filter=...]   (1 GiB runs want some 4 GiB of memory)
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "main_window/form1.h"
#include "platform/application.h"
#include "platform/files/path_text.h"
#include "platform/qt/qt_edit_box.h"
#include "platform/qt/text_view.h"

namespace {

using tambrel::main_window::Environment;
using tambrel::main_window::Form1;
using tambrel::platform::qt::QtEditBox;
using tambrel::platform::qt::TextView;

constexpr std::size_t kMegabyte = 1000 * 1000;

// Lines of mixed Chinese and ASCII of varied length, about `units` UTF-16 units in all.
std::u16string ManyLines(std::size_t units) {
  const std::u16string words[] = {u"中文",  u"测试", u"编辑器", u"hello",
                                  u"world", u"行号", u"换行"};
  std::u16string text;
  text.reserve(units + 64);
  std::uint32_t seed = 936;
  while (text.size() < units) {
    seed = seed * 1103515245 + 12345;
    const std::size_t words_in_line = 1 + (seed >> 16) % 30;
    for (std::size_t w = 0; w < words_in_line; ++w) {
      seed = seed * 1103515245 + 12345;
      text += words[(seed >> 16) % 7];
      text += u' ';
    }
    text += u"\r\n";
  }
  text.resize(units);
  return text;
}

std::u16string OneLine(std::size_t units) {
  std::u16string text;
  text.reserve(units);
  const std::u16string pattern = u"一段很长的文字 without any line break, ";
  while (text.size() < units) text += pattern;
  text.resize(units);
  return text;
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  }
  return 0;
}

// The window as the program shows it.
class Editor {
 public:
  Editor() : form_(Environment{std::filesystem::temp_directory_path(), 0, 0, u"", u'.'}) {
    form_.Show();
    QCoreApplication::processEvents();
  }

  Form1& form() { return form_; }
  TextView& view() { return *dynamic_cast<QtEditBox&>(form_.Text1).view(); }

  void LetCountingFinish() {
    while (!view().Document().AllCounted()) QCoreApplication::processEvents();
  }

 private:
  Form1 form_;
};

// The one window of the run; main() makes it after the application and ends it before.
std::unique_ptr<Editor>& Window() {
  static std::unique_ptr<Editor> editor;
  return editor;
}

Editor& TheEditor() { return *Window(); }

// One key typed at the end of the document and its row painted, timed from the key event.
void Keystroke(benchmark::State& state, const std::u16string& text) {
  Editor& editor = TheEditor();
  editor.form().Text1.SetText(std::u16string(text));
  editor.form().Text1.SetSelStart(editor.form().Text1.TextLength());
  editor.LetCountingFinish();
  TextView& view = editor.view();
  double slowest_ms = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(&view, &press);
    view.viewport()->repaint();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(&view, &release);
    slowest_ms = std::max(slowest_ms, clock.nsecsElapsed() / 1e6);
  }
  state.counters["slowest_ms"] = slowest_ms;
  editor.form().Text1.SetText(u"");
}

// A narrower editor with the view at the end of the document: how long until the rows in view
// are numbered again, and until every row is; with the longest stall of the event loop.
void WidthChange(benchmark::State& state, std::size_t units) {
  Editor& editor = TheEditor();
  editor.form().Text1.SetText(ManyLines(units));
  editor.form().Text1.SetSelStart(editor.form().Text1.TextLength());
  editor.LetCountingFinish();
  TextView& view = editor.view();
  const int width = view.width();
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    view.resize(width * 4 / 5, view.height());
    double longest_stall_ms = 0;
    double in_view_ms = -1;
    QElapsedTimer turn;
    turn.start();
    while (!view.Document().AllCounted()) {
      QCoreApplication::processEvents();
      longest_stall_ms = std::max(longest_stall_ms, turn.nsecsElapsed() / 1e6);
      turn.restart();
      if (in_view_ms < 0 && view.TopRowNumber()) in_view_ms = clock.nsecsElapsed() / 1e6;
    }
    if (in_view_ms < 0) in_view_ms = clock.nsecsElapsed() / 1e6;
    state.counters["rows_in_view_exact_ms"] = in_view_ms;
    state.counters["all_rows_counted_ms"] = clock.nsecsElapsed() / 1e6;
    state.counters["longest_stall_ms"] = longest_stall_ms;
    view.resize(width, view.height());
    editor.LetCountingFinish();
  }
  editor.form().Text1.SetText(u"");
}

// Opening a plain UTF-8 file of this many bytes through the program's own open path, and the
// most memory the process held on the way: file bytes, text, indexes and all.
void OpenMemory(benchmark::State& state, std::size_t bytes) {
  Editor& editor = TheEditor();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tambrel-editor-bench.txt";
  {
    std::ofstream file(path, std::ios::binary);
    // Whole lines only, so that the file is UTF-8 to its last byte.
    std::u16string text = ManyLines(4 * kMegabyte);
    text.resize(text.rfind(u'\n') + 1);
    std::string utf8;
    for (const char16_t unit : text) {
      if (unit < 0x80) {
        utf8 += static_cast<char>(unit);
      } else {
        utf8 += static_cast<char>(0xE0 | (unit >> 12));
        utf8 += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (unit & 0x3F));
      }
    }
    for (std::size_t written = 0; written + utf8.size() <= bytes; written += utf8.size()) {
      file.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    }
  }
  // Written back to disk first, so that the open competes with no writing still going on.
  if (std::system("sync") != 0) state.SkipWithError("sync failed");
  const double file_mb = std::filesystem::file_size(path) / 1048576.0;
  for (auto _ : state) {
    editor.form().Text1.SetText(u"");
    QCoreApplication::processEvents();
    // The peak so far is forgotten, so that what follows is this open's own.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before_kb = StatusKilobytes("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    editor.form().file_commands().LoadDocument(tambrel::platform::files::PathText(path));
    editor.view().viewport()->repaint();
    state.counters["first_text_ms"] = clock.nsecsElapsed() / 1e6;
    state.counters["peak_mib"] = StatusKilobytes("VmHWM:") / 1024.0;
    state.counters["peak_over_file"] = StatusKilobytes("VmHWM:") / 1024.0 / file_mb;
    state.counters["held_mib"] = (StatusKilobytes("VmRSS:") - before_kb) / 1024.0;
  }
  state.counters["file_mib"] = file_mb;
  editor.form().Text1.SetText(u"");
  std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tambrel::platform::Application application(argc, argv);
  benchmark::Initialize(&argc, argv);

  for (const auto& [name, units] :
       {std::pair{"10MB", 10 * kMegabyte}, std::pair{"100MB", 100 * kMegabyte},
        std::pair{"1GiB", std::size_t{1} << 30}}) {
    benchmark::RegisterBenchmark(
        (std::string("Keystroke/lines/") + name).c_str(),
        [units = units](benchmark::State& state) { Keystroke(state, ManyLines(units)); })
        ->Iterations(200)
        ->Unit(benchmark::kMillisecond);
  }
  for (const auto& [name, units] :
       {std::pair{"5MB", 5 * kMegabyte}, std::pair{"50MB", 50 * kMegabyte}}) {
    benchmark::RegisterBenchmark(
        (std::string("Keystroke/one_line/") + name).c_str(),
        [units = units](benchmark::State& state) { Keystroke(state, OneLine(units)); })
        ->Iterations(200)
        ->Unit(benchmark::kMillisecond);
  }
  for (const auto& [name, units] :
       {std::pair{"10MB", 10 * kMegabyte}, std::pair{"100MB", 100 * kMegabyte}}) {
    benchmark::RegisterBenchmark(
        (std::string("WidthChange/") + name).c_str(),
        [units = units](benchmark::State& state) { WidthChange(state, units); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
  for (const auto& [name, bytes] :
       {std::pair{"100MB", 100 * kMegabyte}, std::pair{"1GiB", std::size_t{1} << 30}}) {
    benchmark::RegisterBenchmark(
        (std::string("OpenMemory/") + name).c_str(),
        [bytes = bytes](benchmark::State& state) { OpenMemory(state, bytes); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }

  Window() = std::make_unique<Editor>();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Window().reset();
  return 0;
}
