// Types into the program's window (the main window over the fake window system, with the real
// editor and the real keeping of unsaved text) as fast as it can, with no end; before each edit
// it tells its parent what the text will be after it and when, so that the parent, killing it
// at a moment of its choosing, knows every text the record may hold.
//   typing_in_window_until_killed <state-folder> <seed>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "recovery/tests/text_hash.h"
#include "recovery/tests/typing_script.h"
#include "tests/support/fake_form.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  tambrel::main_window::Environment environment = tambrel::testing::FakeForm::DesignScreen();
  environment.state_folder = std::filesystem::path(argv[1]);
  tambrel::testing::FakeForm window(std::move(environment));
  window.Start();
  tambrel::platform::EditBox& text1 = window.form().Text1;
  tambrel::recovery::testing::TypingScript script(static_cast<std::uint32_t>(std::atoi(argv[2])));
  std::u16string text;
  for (long long step = 1;; ++step) {
    tambrel::recovery::JournalEdit edit = script.Choose(text.size(), /*lone_breaks=*/false);
    // The editor keeps the selection off the middle of a character: the edit is where it lands.
    text1.SetSelStart(static_cast<std::int32_t>(edit.position));
    text1.SetSelLength(static_cast<std::int32_t>(edit.removed));
    const std::size_t start = static_cast<std::size_t>(text1.SelStart());
    const std::size_t length = static_cast<std::size_t>(text1.SelLength());
    std::u16string expected = text;
    expected.replace(start, length, edit.inserted);
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    char line[96];
    const int size = std::snprintf(
        line, sizeof line, "%lld %lld %016llx\n", step,
        static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()),
        static_cast<unsigned long long>(tambrel::recovery::testing::TextHash(expected)));
    if (::write(STDOUT_FILENO, line, static_cast<std::size_t>(size)) != size) return 1;
    if (edit.inserted.empty()) {
      text1.SetSelText(u"");  // Delete
    } else {
      window.editor().Type(edit.inserted);
    }
    text = text1.Text();
    if (text != expected) {
      std::fprintf(stderr, "typing gave another text than foreseen at step %lld\n", step);
      return 3;
    }
    ::usleep(200);
  }
}
