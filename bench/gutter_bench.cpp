// The gutter on documents from 1 KB to 50 MB: the cost of one repaint at the top, middle and end,
// and the timeline of a 10 MB document from being set to every row counted, with the longest
// stall of the event loop meanwhile, after a width change too, and a jump to the end.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "gutter/draw_lines.h"
#include "main_window/form1.h"
#include "platform/application.h"
#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_window_system.h"

namespace {

using tambrel::main_window::Environment;
using tambrel::main_window::Form1;

constexpr std::size_t kKilobyte = 1024;
constexpr std::size_t kMegabyte = 1024 * 1024;

std::u16string Digits(std::size_t value) {
  const std::string narrow = std::to_string(value);
  return std::u16string(narrow.begin(), narrow.end());
}

// A document of about `units` UTF-16 units: mixed Chinese and ASCII lines of several lengths,
// blank lines, and now and then a line of thousands of characters.
std::u16string BuildDocument(std::size_t units) {
  std::u16string text;
  text.reserve(units + 8 * kKilobyte);
  const std::u16string chinese = u"这是一段用来测试行号的中文文字，包含标点符号。";
  const std::u16string ascii = u"The quick brown fox jumps over the lazy dog 0123456789. ";
  for (std::size_t line = 0; text.size() < units; ++line) {
    switch (line % 7) {
      case 0:
        text += u"第" + Digits(line) + u"行：" + chinese + u" mixed ASCII " + chinese;
        break;
      case 1:
        break;  // blank
      case 2:
        text += ascii + ascii;
        break;
      case 3:
        for (int i = 0; i < 4; ++i) text += chinese;
        break;
      case 4:
        text += ascii.substr(0, 20);
        break;
      case 5:
        text += chinese + ascii + chinese + ascii;
        break;
      case 6:
        text += u"短";
        break;
    }
    if (line % 4000 == 3999) {
      for (int i = 0; i < 60; ++i) text += (i % 2 == 0) ? chinese : ascii;  // about 3,000
    }
    text += u'\n';
  }
  text.resize(units);
  return text;
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

double Milliseconds(const QElapsedTimer& clock) { return clock.nsecsElapsed() / 1e6; }

// CPU time of the user-interface thread: on a shared machine, wall time also counts the others.
double ThreadCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The main window as the program shows it, without start-up's skin and screen sizing.
class GutterBench {
 public:
  GutterBench()
      : form_(Environment{std::filesystem::temp_directory_path(), 0, 0, u"", u'.', std::nullopt}, windows_) {
    form_.Show();
    QCoreApplication::processEvents();
  }

  Form1& form() { return form_; }
  tambrel::editor::ViewRows& rows() {
    return dynamic_cast<tambrel::platform::qt::QtEditBox&>(form_.Text1).Model().View();
  }

  // Sets the text unless it is already there.
  void UseDocument(std::size_t units) {
    if (units == current_units_) return;
    form_.Text1.SetText(u"");
    form_.Text1.SetText(BuildDocument(units));
    current_units_ = units;
  }

  // The text was replaced behind UseDocument's back.
  void ForgetDocument() { current_units_ = 0; }

  void Paint() { tambrel::gutter::DrawLines(form_.picLines, form_.Text1, windows_.Colors()); }

  // Runs the event loop until every row is counted; answers the longest gap between two turns
  // of the loop, which is the longest the user would have waited for a key or a click.
  double RunUntilCounted(double& elapsed_ms) {
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer since_turn;
    since_turn.start();
    double longest = 0;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      longest = std::max(longest, Milliseconds(since_turn));
      since_turn.restart();
    });
    probe.start();
    while (!rows().AllCounted()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    // The loop's turns in processEvents count too.
    elapsed_ms = Milliseconds(clock);
    return longest;
  }

 private:
  tambrel::platform::qt::QtWindowSystem windows_;
  Form1 form_;
  std::size_t current_units_ = 0;
};

void DrawLinesPerCall(benchmark::State& state, GutterBench& bench, std::size_t units, int where) {
  bench.UseDocument(units);
  const std::int32_t length = bench.form().Text1.TextLength();
  const std::int32_t caret = where == 0 ? 0 : where == 1 ? length / 2 : length;
  bench.form().Text1.SetSelStart(caret);
  bench.Paint();  // any counting above the view happens here, not in the timed loop
  for (auto _ : state) bench.Paint();
  state.counters["first_visible_row"] = bench.form().FirstVisibleLine();
}

// The editor questions one repaint asks, without the drawing.
void QueriesPerCall(benchmark::State& state, GutterBench& bench, std::size_t units, int where) {
  bench.UseDocument(units);
  tambrel::platform::EditBox& editor = bench.form().Text1;
  const std::int32_t length = editor.TextLength();
  editor.SetSelStart(where == 0 ? 0 : where == 1 ? length / 2 : length);
  bench.Paint();
  for (auto _ : state) {
    const std::int32_t first = editor.FirstVisibleLine();
    const std::int32_t limit = first + 30;
    benchmark::DoNotOptimize(editor.FirstVisibleLineTop());
    benchmark::DoNotOptimize(editor.LineCountUpTo(limit));
    benchmark::DoNotOptimize(editor.LineFromCharUpTo(editor.SelStart(), limit));
  }
}

// From setting 10 MB to the first repaint, then counting to the end; then a width change.
void TenMegabyteTimeline(benchmark::State& state, GutterBench& bench) {
  const std::u16string document = BuildDocument(10 * kMegabyte);
  Form1& form = bench.form();
  for (auto _ : state) {
    form.Text1.SetText(u"");
    QCoreApplication::processEvents();
    const long rss_before = ResidentKilobytes();

    QElapsedTimer clock;
    clock.start();
    const double cpu_start = ThreadCpuMilliseconds();
    form.Text1.SetText(document);  // its change event repaints the gutter
    state.counters["set_with_gutter_ms"] = Milliseconds(clock);
    QCoreApplication::processEvents();
    state.counters["set_to_first_paint_ms"] = Milliseconds(clock);
    state.counters["set_to_first_paint_cpu_ms"] = ThreadCpuMilliseconds() - cpu_start;
    const long rss_set = ResidentKilobytes();

    double counting_ms = 0;
    state.counters["longest_stall_ms"] = bench.RunUntilCounted(counting_ms);
    state.counters["set_to_all_exact_ms"] = Milliseconds(clock);
    state.counters["set_to_all_exact_cpu_ms"] = ThreadCpuMilliseconds() - cpu_start;
    state.counters["rss_text_mb"] = (rss_set - rss_before) / 1024.0;
    state.counters["rss_rows_mb"] = (ResidentKilobytes() - rss_set) / 1024.0;
    state.counters["rows"] = form.LineCount();
    state.counters["rss_total_mb"] = ResidentKilobytes() / 1024.0;

    // A narrower editor: every row is laid out again.
    tambrel::platform::EditBox& editor = form.Text1;
    const float left = *editor.Left(), top = *editor.Top();
    const float width = *editor.Width(), height = *editor.Height();
    clock.restart();
    const double width_cpu_start = ThreadCpuMilliseconds();
    editor.Move(left, top, width * 0.8f, height);
    bench.Paint();
    QCoreApplication::processEvents();
    state.counters["width_to_first_paint_ms"] = Milliseconds(clock);
    state.counters["width_longest_stall_ms"] = bench.RunUntilCounted(counting_ms);
    state.counters["width_to_all_exact_ms"] = Milliseconds(clock);
    state.counters["width_to_all_exact_cpu_ms"] = ThreadCpuMilliseconds() - width_cpu_start;
    editor.Move(left, top, width, height);
    double ignored = 0;
    bench.RunUntilCounted(ignored);
  }
  bench.ForgetDocument();
}

// A jump to the end straight after setting 10 MB: the rows above are counted on the spot.
void TenMegabyteJumpToEnd(benchmark::State& state, GutterBench& bench) {
  const std::u16string document = BuildDocument(10 * kMegabyte);
  Form1& form = bench.form();
  for (auto _ : state) {
    form.Text1.SetText(document);
    QElapsedTimer clock;
    clock.start();
    const double cpu_start = ThreadCpuMilliseconds();
    form.Text1.SetSelStart(form.Text1.TextLength());
    bench.Paint();
    state.counters["uncounted_jump_ms"] = Milliseconds(clock);
    state.counters["uncounted_jump_cpu_ms"] = ThreadCpuMilliseconds() - cpu_start;
    clock.restart();
    form.Text1.SetSelStart(0);
    bench.Paint();
    form.Text1.SetSelStart(form.Text1.TextLength());
    bench.Paint();
    state.counters["counted_jump_and_back_ms"] = Milliseconds(clock);
    form.Text1.SetText(u"");
  }
  bench.ForgetDocument();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tambrel::platform::Application application(argc, argv);
  benchmark::Initialize(&argc, argv);
  auto bench = std::make_unique<GutterBench>();

  const char* places[] = {"top", "middle", "end"};
  for (const auto& [name, units] :
       {std::pair{"1KB", kKilobyte}, std::pair{"50MB", 50 * kMegabyte}}) {
    for (int where = 0; where < 3; ++where) {
      benchmark::RegisterBenchmark((std::string("DrawLines/") + name + "/" + places[where]).c_str(),
                                   [&bench, units = units, where](benchmark::State& state) {
                                     DrawLinesPerCall(state, *bench, units, where);
                                   })
          ->Unit(benchmark::kMicrosecond);
    }
  }
  for (const auto& [name, units] :
       {std::pair{"1KB", kKilobyte}, std::pair{"50MB", 50 * kMegabyte}}) {
    for (int where = 0; where < 3; ++where) {
      benchmark::RegisterBenchmark((std::string("Queries/") + name + "/" + places[where]).c_str(),
                                   [&bench, units = units, where](benchmark::State& state) {
                                     QueriesPerCall(state, *bench, units, where);
                                   })
          ->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::RegisterBenchmark(
      "TenMegabyte/Timeline",
      [&bench](benchmark::State& state) { TenMegabyteTimeline(state, *bench); })
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(
      "TenMegabyte/JumpToEnd",
      [&bench](benchmark::State& state) { TenMegabyteJumpToEnd(state, *bench); })
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  bench.reset();
  return 0;
}
