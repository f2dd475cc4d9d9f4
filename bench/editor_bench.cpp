// The editor as the user feels it, in the process, on the real widgets under the offscreen
// platform: a keystroke from its key event to its painted row, in documents of 10 MB, 100 MB and
// 1 GiB and in single lines of 5 MB and 50 MB; how soon the rows in view are numbered again after
// the width changes; and the memory a document takes from the file to the screen.
//   editor_bench [--benchmark_filter=...]   (1 GiB runs want some 4 GiB of memory)
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "document/document_codec.h"
#include "main_window/form1.h"
#include "platform/application.h"
#include "platform/codepage/cp936.h"
#include "platform/files/path_text.h"
#include "platform/menu_entry.h"
#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/text_view.h"
#include "platform/user_dialogs.h"

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

// Text a user sees as one character several units at a time: emoji families and flags, accented
// letters, Devanagari conjuncts, and Chinese between them; in lines, or in one line when
// `line_break` is empty.
std::u16string ClusterText(std::size_t units, std::u16string_view line_break) {
  const std::u16string pieces[] = {u"\U0001F468\u200D\U0001F469\u200D\U0001F467",
                                   u"\U0001F1E8\U0001F1F3",
                                   u"e\u0301",
                                   u"\u0915\u094D\u0937\u093F",
                                   u"中文",
                                   u" ",
                                   u"\U0001F44D\U0001F3FD",
                                   u"abc"};
  std::u16string text;
  text.reserve(units + 64);
  std::uint32_t seed = 2026;
  while (text.size() < units) {
    seed = seed * 1103515245 + 12345;
    text += pieces[(seed >> 16) % 8];
    if (!line_break.empty() && (seed >> 8) % 40 == 0) text += line_break;
  }
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

// Answers every question the program asks with Yes and every prompt with a word, so that saving
// and finding run without a person.
class AnsweringDialogs final : public tambrel::platform::UserDialogs {
 public:
  std::u16string sought = u"needle";
  tambrel::platform::MessageAnswer ShowMessage(const std::u16string&,
                                               tambrel::platform::MessageButtons buttons,
                                               tambrel::platform::MessageIcon,
                                               const std::u16string&) override {
    return buttons == tambrel::platform::MessageButtons::kOk
               ? tambrel::platform::MessageAnswer::kOk
               : tambrel::platform::MessageAnswer::kYes;
  }
  std::u16string AskText(const std::u16string&) override { return sought; }
  std::optional<std::u16string> ChooseFileToOpen(const std::u16string&,
                                                 const std::u16string&) override {
    return std::nullopt;
  }
  std::optional<std::u16string> ChooseFileToSave(const std::u16string&,
                                                 const std::u16string&) override {
    return std::nullopt;
  }
  std::optional<tambrel::platform::FontChoice> ChooseFont(
      const tambrel::platform::FontChoice&) override {
    return std::nullopt;
  }
  std::optional<tambrel::platform::OleColor> ChooseColor(tambrel::platform::OleColor) override {
    return std::nullopt;
  }
};

// The longest the event loop went without a turn while something ran: what the user waits for
// before a key or a click is answered.
class StallWatch {
 public:
  StallWatch() {
    probe_.setInterval(0);
    QObject::connect(&probe_, &QTimer::timeout, [this] { Turn(); });
  }
  template <typename Action>
  double Longest(Action&& action) {
    longest_ = 0;
    since_.start();
    probe_.start();
    action();
    Turn();
    probe_.stop();
    return longest_;
  }

 private:
  void Turn() {
    longest_ = std::max(longest_, since_.nsecsElapsed() / 1e6);
    since_.restart();
  }
  QTimer probe_;
  QElapsedTimer since_;
  double longest_ = 0;
};

// The window as the program shows it.
class Editor {
 public:
  Editor()
      : form_(Environment{std::filesystem::temp_directory_path(), 0, 0, u"", u'.', std::nullopt},
              windows_, std::make_unique<AnsweringDialogs>()) {
    form_.Show();
    QCoreApplication::processEvents();
  }

  Form1& form() { return form_; }
  TextView& view() { return *dynamic_cast<QtEditBox&>(form_.Text1).view(); }

  void LetCountingFinish() {
    while (!view().Model().View().AllCounted()) QCoreApplication::processEvents();
  }

 private:
  tambrel::platform::qt::QtWindowSystem windows_;
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

// Every way the caret moves from the keyboard, from the middle of the document: each key from its
// event to its painted view, the slowest of them.
void CaretMotions(benchmark::State& state, const std::u16string& text) {
  Editor& editor = TheEditor();
  editor.form().Text1.SetText(std::u16string(text));
  editor.form().Text1.SetSelStart(editor.form().Text1.TextLength() / 2);
  editor.LetCountingFinish();
  TextView& view = editor.view();
  const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
      {Qt::Key_Right, Qt::NoModifier},     {Qt::Key_Right, Qt::ShiftModifier},
      {Qt::Key_Left, Qt::NoModifier},      {Qt::Key_Right, Qt::ControlModifier},
      {Qt::Key_Left, Qt::ControlModifier}, {Qt::Key_Down, Qt::NoModifier},
      {Qt::Key_Up, Qt::NoModifier},        {Qt::Key_End, Qt::NoModifier},
      {Qt::Key_Home, Qt::NoModifier},      {Qt::Key_PageDown, Qt::NoModifier},
      {Qt::Key_PageUp, Qt::NoModifier},    {Qt::Key_Delete, Qt::NoModifier}};
  double slowest_ms = 0;
  std::size_t key = 0;
  for (auto _ : state) {
    const auto [code, modifiers] = keys[key++ % std::size(keys)];
    QElapsedTimer clock;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, code, modifiers);
    QCoreApplication::sendEvent(&view, &press);
    view.viewport()->repaint();
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
    while (!view.Model().View().AllCounted()) {
      QCoreApplication::processEvents();
      longest_stall_ms = std::max(longest_stall_ms, turn.nsecsElapsed() / 1e6);
      turn.restart();
      if (in_view_ms < 0 && view.Model().View().TopRowNumber())
        in_view_ms = clock.nsecsElapsed() / 1e6;
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

// A plain UTF-8 file of at most this many bytes of whole lines, so that it is UTF-8 to its last
// byte, written back to disk so that an open competes with no writing still going on.
void WriteUtf8File(const std::filesystem::path& path, std::size_t bytes, benchmark::State& state) {
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
    for (std::size_t written = 0; written < bytes; written += utf8.size()) {
      // The last block is cut after a line, so that a small file is not empty.
      std::string_view block = utf8;
      if (bytes - written < block.size())
        block = block.substr(0, block.rfind('\n', bytes - written) + 1);
      file.write(block.data(), static_cast<std::streamsize>(block.size()));
      if (block.size() < utf8.size()) break;
    }
  }
  if (std::system("sync") != 0) state.SkipWithError("sync failed");
}

// Opening a plain UTF-8 file of this many bytes through the program's own open path, and the
// most memory the process held on the way: file bytes, text, indexes and all.
void OpenMemory(benchmark::State& state, std::size_t bytes) {
  Editor& editor = TheEditor();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tambrel-editor-bench.txt";
  WriteUtf8File(path, bytes, state);
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

// A plain GBK file of this many bytes of lines, written back to disk so that an open competes
// with no writing still going on.
void WriteGbkFile(const std::filesystem::path& path, std::size_t bytes, benchmark::State& state) {
  {
    std::ofstream file(path, std::ios::binary);
    std::u16string text = ManyLines(std::min<std::size_t>(bytes, 4 * kMegabyte));
    text.resize(text.rfind(u'\n') + 1);
    const std::string gbk = tambrel::platform::cp936::Encode(text);
    for (std::size_t written = 0; written < bytes; written += gbk.size()) {
      file.write(gbk.data(), static_cast<std::streamsize>(std::min(gbk.size(), bytes - written)));
    }
  }
  if (std::system("sync") != 0) state.SkipWithError("sync failed");
}

// A plain ASCII file of whole lines, at most this many bytes, like a log: the text takes two
// bytes for each byte of the file, the most any form gives.
void WriteAsciiFile(const std::filesystem::path& path, std::size_t bytes, benchmark::State& state) {
  {
    std::ofstream file(path, std::ios::binary);
    std::u16string text = ManyLines(std::min<std::size_t>(bytes, 4 * kMegabyte));
    text.resize(text.rfind(u'\n') + 1);
    std::string ascii;
    for (const char16_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : 'x';
    for (std::size_t written = 0; written + ascii.size() <= bytes; written += ascii.size()) {
      file.write(ascii.data(), static_cast<std::streamsize>(ascii.size()));
    }
  }
  if (std::system("sync") != 0) state.SkipWithError("sync failed");
}

// A document in the program's own scrambled form, of about this many bytes of lines.
void WriteScrambledFile(const std::filesystem::path& path, std::size_t bytes,
                        benchmark::State& state) {
  {
    std::ofstream file(path, std::ios::binary);
    std::u16string text = ManyLines(std::min<std::size_t>(bytes, 4 * kMegabyte));
    text.resize(text.rfind(u'\n') + 1);
    std::string block = tambrel::document::EncodeDocument(text);
    // The marker ends the whole document only.
    block.resize(block.size() - tambrel::document::kMarker.size());
    const std::size_t body = bytes - tambrel::document::kMarker.size();
    std::size_t written = 0;
    for (; written + block.size() <= body; written += block.size()) {
      file.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    // The rest is cut where a character starts, well within the size.
    const std::size_t room = body - written;
    const std::size_t rest = tambrel::platform::cp936::CharacterStartFrom(
        block, room - std::min(room / 2, kMegabyte / 16));
    file.write(block.data(), static_cast<std::streamsize>(std::min(rest, room)));
    for (const char16_t unit : tambrel::document::kMarker) file.put(static_cast<char>(unit));
  }
  if (std::system("sync") != 0) state.SkipWithError("sync failed");
}

// From the start of an open to the first rows on the screen (the start of the document, shown
// while the rest is read, or the document itself), and on to the whole document in its place: a
// file of this many bytes, written by `write`. With the window's own background work, as the user
// opens it.
using FileWriter = void (*)(const std::filesystem::path&, std::size_t, benchmark::State&);
void FirstScreen(benchmark::State& state, std::size_t bytes, FileWriter write) {
  Editor& editor = TheEditor();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tambrel-first-screen.txt";
  write(path, bytes, state);
  QWidget* window = editor.view().window();
  for (auto _ : state) {
    editor.form().Text1.SetText(u"");
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    double first_ms = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (first_ms >= 0) return;
      auto* preview = window->findChild<QWidget*>(QStringLiteral("document_preview"));
      if (preview == nullptr || !preview->isVisible()) return;
      preview->repaint();
      first_ms = clock.nsecsElapsed() / 1e6;
    });
    watch.start(2);
    std::ofstream("/proc/self/clear_refs") << "5";
    clock.start();
    editor.form().file_commands().LoadDocument(tambrel::platform::files::PathText(path));
    editor.view().viewport()->repaint();
    const double complete_ms = clock.nsecsElapsed() / 1e6;
    if (editor.form().Text1.TextLength() == 0) state.SkipWithError("the document did not open");
    state.counters["first_screen_ms"] = first_ms >= 0 ? first_ms : complete_ms;
    state.counters["complete_ms"] = complete_ms;
    state.counters["peak_over_file"] = StatusKilobytes("VmHWM:") * 1024.0 / bytes;
    // The process's first open of the size meets memory the system has never handed it yet.
    if (!state.counters.count("first_open_complete_ms")) {
      state.counters["first_open_complete_ms"] = complete_ms;
    }
  }
  editor.form().Text1.SetText(u"");
  std::filesystem::remove(path);
}

// How soon Esc stops the open of a GBK file of this many bytes, pressed `after_ms` into it (while
// reading or while decoding), and whether the old text stayed.
void StopOpen(benchmark::State& state, std::size_t bytes, int after_ms) {
  Editor& editor = TheEditor();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tambrel-stop-open.txt";
  WriteGbkFile(path, bytes, state);
  QWindow* window = editor.view().window()->windowHandle();
  for (auto _ : state) {
    editor.form().Text1.SetText(u"old text");
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    QTimer::singleShot(after_ms, [&] {
      clock.start();
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QCoreApplication::sendEvent(window, &escape);
    });
    editor.form().file_commands().LoadDocument(tambrel::platform::files::PathText(path));
    state.counters["stop_ms"] = clock.isValid() ? clock.nsecsElapsed() / 1e6 : -1;
    state.counters["old_text_stayed"] = editor.form().Text1.Text() == u"old text";
  }
  editor.form().Text1.SetText(u"");
  std::filesystem::remove(path);
}

// Every action of the list on one document, each with the longest stall of the event loop it
// caused: opening, the ends of the document, typing, scrolling, a width and a font change, finding
// and saving.
void Stalls(benchmark::State& state, std::size_t bytes) {
  Editor& editor = TheEditor();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tambrel-editor-stalls.txt";
  WriteAsciiFile(path, bytes, state);
  std::ofstream(path, std::ios::binary | std::ios::app) << "needle";
  Form1& form = editor.form();
  TextView& view = editor.view();
  StallWatch watch;
  const auto key = [&view](Qt::Key code, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QCoreApplication::sendEvent(&view, &press);
    view.viewport()->repaint();
  };
  for (auto _ : state) {
    form.Text1.SetText(u"");
    QCoreApplication::processEvents();
    const std::u16string name = tambrel::platform::files::PathText(path);
    state.counters["open_ms"] = watch.Longest([&] { form.file_commands().LoadDocument(name); });
    state.counters["ctrl_end_ms"] =
        watch.Longest([&] { key(Qt::Key_End, Qt::ControlModifier, QString()); });
    state.counters["type_ms"] = watch.Longest([&] { key(Qt::Key_A, Qt::NoModifier, "a"); });
    state.counters["ctrl_home_ms"] =
        watch.Longest([&] { key(Qt::Key_Home, Qt::ControlModifier, QString()); });
    state.counters["counting_ms"] = watch.Longest([&] { editor.LetCountingFinish(); });
    state.counters["scroll_bar_drag_ms"] = watch.Longest([&] {
      QScrollBar* bar = view.verticalScrollBar();
      for (int step = 1; step <= 10; ++step) {
        bar->setValue(bar->maximum() / 10 * step);
        view.viewport()->repaint();
      }
    });
    state.counters["wheel_ms"] = watch.Longest([&] {
      QWheelEvent wheel(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, -120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(view.viewport(), &wheel);
      view.viewport()->repaint();
    });
    const int width = view.width();
    state.counters["resize_ms"] = watch.Longest([&] {
      view.resize(width * 4 / 5, view.height());
      view.viewport()->repaint();
      editor.LetCountingFinish();
    });
    state.counters["font_ms"] = watch.Longest([&] {
      form.Text1.SetFont(tambrel::platform::FontChoice{u"宋体", 16.0, false, false});
      view.viewport()->repaint();
      editor.LetCountingFinish();
    });
    form.CommonDialog1.FileName = name;
    form.Text1.SetSelStart(0);
    state.counters["find_ms"] = watch.Longest([&] {
      tambrel::platform::Window& window = form.window();
      window.Get<tambrel::platform::MenuEntry>("Cz").Click();
    });
    // The needle is the file's last word (the letter typed after it aside).
    state.counters["find_found_at_end"] =
        form.Text1.SelLength() == 6 && form.Text1.SelStart() + 7 == form.Text1.TextLength() ? 1 : 0;
    state.counters["save_ms"] = watch.Longest([&] { form.file_commands().Bc_Click(); });
    view.resize(width, view.height());
    form.Text1.SetFont(tambrel::platform::FontChoice{u"宋体", 12.0, false, false});
  }
  form.Text1.SetText(u"");
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
  benchmark::RegisterBenchmark(
      "Keystroke/clusters/10MB",
      [](benchmark::State& state) { Keystroke(state, ClusterText(10 * kMegabyte, u"\r\n")); })
      ->Iterations(200)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(
      "CaretMotions/lines/10MB",
      [](benchmark::State& state) { CaretMotions(state, ManyLines(10 * kMegabyte)); })
      ->Iterations(600)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(
      "CaretMotions/clusters/10MB",
      [](benchmark::State& state) { CaretMotions(state, ClusterText(10 * kMegabyte, u"\r\n")); })
      ->Iterations(600)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(
      "CaretMotions/clusters_one_line/5MB",
      [](benchmark::State& state) { CaretMotions(state, ClusterText(5 * kMegabyte, u"")); })
      ->Iterations(600)
      ->Unit(benchmark::kMillisecond);
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

  for (const auto& [name, bytes] :
       {std::pair{"1MB", kMegabyte}, std::pair{"100MB", 100 * kMegabyte},
        std::pair{"1GiB", std::size_t{1} << 30}}) {
    for (const auto& [encoding, writer] :
         {std::pair{"gbk", &WriteGbkFile}, std::pair{"utf8", &WriteUtf8File},
          std::pair{"scrambled", &WriteScrambledFile}, std::pair{"ascii", &WriteAsciiFile}}) {
      benchmark::RegisterBenchmark((std::string("FirstScreen/") + encoding + "/" + name).c_str(),
                                   [bytes = bytes, writer = writer](benchmark::State& state) {
                                     FirstScreen(state, bytes, writer);
                                   })
          ->Iterations(3)
          ->Unit(benchmark::kMillisecond);
    }
  }

  for (const int after_ms : {100, 1000}) {
    benchmark::RegisterBenchmark(
        ("StopOpen/1GiB/after_ms:" + std::to_string(after_ms)).c_str(),
        [after_ms](benchmark::State& state) { StopOpen(state, std::size_t{1} << 30, after_ms); })
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
  }

  for (const auto& [name, bytes] :
       {std::pair{"10MB", 10 * kMegabyte}, std::pair{"100MB", 100 * kMegabyte},
        std::pair{"1GiB", std::size_t{1} << 30}}) {
    benchmark::RegisterBenchmark((std::string("Stalls/") + name).c_str(),
                                 [bytes = bytes](benchmark::State& state) { Stalls(state, bytes); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
  Window() = std::make_unique<Editor>();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Window().reset();
  return 0;
}
