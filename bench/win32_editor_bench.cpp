// The editor as the user feels it on Windows, in the process, on the real Win32 window and text
// view: opening a 100 MB document up to its first rows painted; a keystroke from its key messages
// to its rows painted into a memory DC, in a single line of 50 MB and in documents of 10 MB and
// 100 MB of lines; and the longest the window goes without answering while each action of the
// menu and the keyboard runs on a 10 MB document. It times itself: Google Benchmark has no build
// for the cross compiler. Medians and worst cases of a few runs, in milliseconds.
//   win32_editor_bench [--quick]      (--quick: one run of each, for a first look)
#include <windows.h>
#include <psapi.h>
#undef CreateWindow

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "main_window/form1.h"
#include "platform/application.h"
#include "platform/files/path_text.h"
#include "platform/menu_entry.h"
#include "platform/user_dialogs.h"
#include "platform/win32/text_view/text_view.h"
#include "platform/win32/text_view/win32_edit_box.h"
#include "platform/win32/window/message_loop.h"

namespace {

using tambrel::main_window::Environment;
using tambrel::main_window::Form1;
using tambrel::platform::win32::TextView;
using tambrel::platform::win32::Win32EditBox;

constexpr std::size_t kMegabyte = 1000 * 1000;

double Now() {
  static const double ticks_per_ms = [] {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticks_per_ms;
}

// Lines of mixed Chinese and ASCII of varied length, about `units` UTF-16 units in all, as the
// Linux editor_bench makes them.
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

// Whole lines of ManyLines as UTF-8, repeated to at most `bytes`; `last` ends the file.
void WriteDocument(const std::filesystem::path& path, std::size_t bytes, const std::string& last) {
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
  std::ofstream file(path, std::ios::binary);
  for (std::size_t written = 0; written + utf8.size() <= bytes; written += utf8.size()) {
    file.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
  }
  file << last;
}

double PeakMebibytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<double>(counters.PeakWorkingSetSize) / 1048576.0;
}

// Answers every question with Yes and every prompt with the word the document ends with, so that
// saving and finding run without a person.
class AnsweringDialogs final : public tambrel::platform::UserDialogs {
 public:
  tambrel::platform::MessageAnswer ShowMessage(const std::u16string&,
                                               tambrel::platform::MessageButtons buttons,
                                               tambrel::platform::MessageIcon,
                                               const std::u16string&) override {
    return buttons == tambrel::platform::MessageButtons::kOk
               ? tambrel::platform::MessageAnswer::kOk
               : tambrel::platform::MessageAnswer::kYes;
  }
  std::u16string AskText(const std::u16string&) override { return u"needle"; }
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

// The longest the thread went without handling a posted message while an action ran: a probe
// thread posts a message a millisecond after the last one was handled, so a gap between two is
// how long a key or a click would have waited. (A message that posted its successor itself would
// never let a loop that handles every waiting message run dry.)
class StallWatch {
 public:
  StallWatch() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"TambrelStallWatch";
    ::RegisterClassW(&window_class);
    window_ = ::CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, window_class.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    probe_ = std::thread([this] {
      while (!ending_) {
        ::Sleep(1);
        if (watching_ && !pending_.exchange(true)) ::PostMessageW(window_, kPing, 0, 0);
      }
    });
  }
  ~StallWatch() {
    ending_ = true;
    probe_.join();
    ::DestroyWindow(window_);
  }

  double Longest(const std::function<void()>& action) {
    longest_ = 0;
    turns_ = 0;
    since_ = Now();
    watching_ = true;
    action();
    // The turn that comes after the action closes its last gap.
    const int seen = turns_;
    MSG message;
    while (turns_ == seen && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
      tambrel::platform::win32::DispatchProgramMessage(message);
    }
    watching_ = false;
    tambrel::platform::win32::DispatchWaitingMessages();
    return longest_;
  }

 private:
  static constexpr UINT kPing = WM_APP + 1;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* watch = reinterpret_cast<StallWatch*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kPing && watch != nullptr) {
      watch->Turn();
      return 0;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
  }

  void Turn() {
    const double now = Now();
    longest_ = std::max(longest_, now - since_);
    since_ = now;
    ++turns_;
    pending_ = false;
  }

  HWND window_ = nullptr;
  std::thread probe_;
  std::atomic<bool> ending_{false};
  std::atomic<bool> watching_{false};
  std::atomic<bool> pending_{false};
  double since_ = 0;
  double longest_ = 0;
  int turns_ = 0;
};

// A 32-bit image the view paints into, as large as the view.
class MemoryImage {
 public:
  MemoryImage(int width, int height) : area_{0, 0, width, height} {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
  }
  ~MemoryImage() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  const RECT& Area() const { return area_; }

 private:
  RECT area_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The program's window, shown, with dialogs that answer themselves.
class Editor {
 public:
  explicit Editor(tambrel::platform::Application& application)
      : form_(Environment{std::filesystem::temp_directory_path(),
                          tambrel::platform::Application::ScreenWidth(),
                          tambrel::platform::Application::ScreenHeight(), u"", u'.', std::nullopt},
              application.Windows(), std::make_unique<AnsweringDialogs>()) {
    form_.Show();
    tambrel::platform::win32::DispatchWaitingMessages();
  }

  Form1& form() { return form_; }
  Win32EditBox& box() { return dynamic_cast<Win32EditBox&>(form_.Text1); }
  TextView& view() { return box().View(); }

  void LetCountingFinish() {
    MSG message;
    while (!view().Model().View().AllCounted() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
      tambrel::platform::win32::DispatchProgramMessage(message);
    }
  }

  // A key pressed and released on the view, with Control held or not, as the keyboard sends it.
  void Key(UINT key, bool control = false, wchar_t character = 0) {
    std::array<BYTE, 256> state{};
    ::GetKeyboardState(state.data());
    state[VK_CONTROL] = state[VK_LCONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(state.data());
    const HWND window = view().Hwnd();
    ::SendMessageW(window, WM_KEYDOWN, key, 1);
    if (character != 0) ::SendMessageW(window, WM_CHAR, character, 1);
    ::SendMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    state[VK_CONTROL] = state[VK_LCONTROL] = 0;
    ::SetKeyboardState(state.data());
  }

  // The view's rows as WM_PAINT draws them, into an image of the view's size.
  void Paint() {
    RECT client{};
    ::GetClientRect(view().Hwnd(), &client);
    if (!image_ || image_->Area().right != client.right || image_->Area().bottom != client.bottom) {
      image_ = std::make_unique<MemoryImage>(client.right, client.bottom);
    }
    view().PaintTo(image_->Dc(), image_->Area());
  }

 private:
  Form1 form_;
  std::unique_ptr<MemoryImage> image_;
};

struct Figures {
  std::vector<double> values;
  void Add(double value) { values.push_back(value); }
  double Median() {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
  }
  double Worst() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

void Report(const char* what, Figures figures, const char* unit = "ms") {
  const double median = figures.Median();
  std::printf("%-44s median %9.2f %s   worst %9.2f %s   (%zu runs)\n", what, median, unit,
              figures.Worst(), unit, figures.values.size());
  std::fflush(stdout);
}

// Opening a plain UTF-8 file through the program's own open path until its first rows are
// painted, and the most memory the process has held by then.
void Open(Editor& editor, std::size_t bytes, int runs) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tambrel-win32-bench-open.txt";
  WriteDocument(path, bytes, "");
  const double file_mib = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
  Figures first_text;
  for (int run = 0; run < runs; ++run) {
    editor.form().Text1.SetText(u"");
    tambrel::platform::win32::DispatchWaitingMessages();
    const double start = Now();
    editor.form().file_commands().LoadDocument(tambrel::platform::files::PathText(path));
    editor.Paint();
    first_text.Add(Now() - start);
  }
  char label[80];
  std::snprintf(label, sizeof label, "open %.0f MiB: first rows painted", file_mib);
  Report(label, first_text);
  std::printf("%-44s %9.0f MiB (%.1f times the file)\n", "  peak working set so far", PeakMebibytes(),
              PeakMebibytes() / file_mib);
  editor.form().Text1.SetText(u"");
  std::filesystem::remove(path);
}

// One key typed at the end of the text, from its messages to its rows painted.
void Keystroke(Editor& editor, const char* what, const std::u16string& text, int keys) {
  editor.form().Text1.SetText(std::u16string(text));
  editor.form().Text1.SetSelStart(editor.form().Text1.TextLength());
  editor.LetCountingFinish();
  editor.Paint();
  Figures figures;
  for (int key = 0; key < keys; ++key) {
    const double start = Now();
    editor.Key('X', false, L'x');
    editor.Paint();
    figures.Add(Now() - start);
    tambrel::platform::win32::DispatchWaitingMessages();
  }
  Report(what, figures);
  editor.form().Text1.SetText(u"");
}

// Every action on one 10 MB document with the longest the window went without answering.
void Stalls(Editor& editor, int runs) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tambrel-win32-bench-stalls.txt";
  WriteDocument(path, 10 * kMegabyte, "needle");
  Form1& form = editor.form();
  StallWatch watch;
  struct Action {
    const char* name;
    std::function<void()> run;
    Figures figures;
  };
  const std::u16string name = tambrel::platform::files::PathText(path);
  std::vector<Action> actions;
  actions.push_back({"10 MB: open", [&] { form.file_commands().LoadDocument(name); }, {}});
  actions.push_back({"10 MB: Ctrl+End", [&] { editor.Key(VK_END, true); editor.Paint(); }, {}});
  actions.push_back({"10 MB: typing a letter", [&] { editor.Key('A', false, L'a'); editor.Paint(); }, {}});
  actions.push_back({"10 MB: Ctrl+Home", [&] { editor.Key(VK_HOME, true); editor.Paint(); }, {}});
  actions.push_back({"10 MB: counting every row", [&] { editor.LetCountingFinish(); }, {}});
  actions.push_back({"10 MB: ten pages down, one after another", [&] {
                       for (int page = 0; page < 10; ++page) {
                         editor.Key(VK_NEXT);
                         editor.Paint();
                       }
                     }, {}});
  actions.push_back({"10 MB: a narrower window, counted again", [&] {
                       const HWND frame = ::GetAncestor(editor.view().Hwnd(), GA_ROOT);
                       RECT outer{};
                       ::GetWindowRect(frame, &outer);
                       ::SetWindowPos(frame, nullptr, 0, 0, (outer.right - outer.left) * 4 / 5,
                                      outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
                       editor.Paint();
                       editor.LetCountingFinish();
                       ::SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left,
                                      outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
                     }, {}});
  actions.push_back({"10 MB: a larger font, counted again", [&] {
                       form.Text1.SetFont(tambrel::platform::FontChoice{u"宋体", 16.0, false, false});
                       editor.Paint();
                       editor.LetCountingFinish();
                     }, {}});
  actions.push_back({"10 MB: find (F8) the last word", [&] {
                       form.window().Get<tambrel::platform::MenuEntry>("Cz").Click();
                     }, {}});
  actions.push_back({"10 MB: save (F2)", [&] { form.file_commands().Bc_Click(); }, {}});
  // What the window does after its own Open: F2 saves to the file it opened.
  const auto saved = [&path] {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const auto size = static_cast<std::streamoff>(file.tellg());
    std::string tail(5, '\0');
    file.seekg(size - 5);
    file.read(tail.data(), 5);
    return tail == "-RgPw";
  };
  for (int run = 0; run < runs; ++run) {
    form.Text1.SetText(u"");
    form.Text1.SetFont(tambrel::platform::FontChoice{u"宋体", 12.0, false, false});
    form.CommonDialog1.FileName = name;
    tambrel::platform::win32::DispatchWaitingMessages();
    for (Action& action : actions) action.figures.Add(watch.Longest(action.run));
    if (form.Text1.SelLength() != 6) std::printf("  (find did not select the last word)\n");
    if (!saved()) std::printf("  (F2 did not save the document)\n");
    // The save wrote the scrambled form over the document; the next run opens plain text again.
    WriteDocument(path, 10 * kMegabyte, "needle");
  }
  Figures worst;
  for (Action& action : actions) {
    Report(action.name, action.figures);
    worst.Add(action.figures.Worst());
  }
  std::printf("%-44s %9.2f ms\n", "10 MB: the longest stall of all", worst.Worst());
  form.Text1.SetText(u"");
  std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const int runs = quick ? 1 : 3;
  const int keys = quick ? 5 : 40;
  tambrel::platform::Application application(argc, argv);
  Editor editor(application);
  // First, so that the peak working set is the open's own.
  Open(editor, 100 * kMegabyte, runs);
  Keystroke(editor, "keystroke, one line of 50 MB", OneLine(50 * kMegabyte), keys);
  Keystroke(editor, "keystroke, 10 MB of lines", ManyLines(10 * kMegabyte), keys);
  Keystroke(editor, "keystroke, 100 MB of lines", ManyLines(100 * kMegabyte), keys);
  Stalls(editor, runs);
  return 0;
}
