// Types the script of a seed into a journal as fast as it can, with no end, telling its parent
// after each edit how many it has made and when: the parent kills it at a moment of its choosing.
//   typing_until_killed <records-folder> <seed>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "recovery/recovery_journal.h"
#include "recovery/tests/typing_script.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  tambrel::recovery::RecoveryJournal journal(argv[1]);
  tambrel::recovery::testing::TypingScript script(static_cast<std::uint32_t>(std::atoi(argv[2])));
  journal.Start({});
  std::u16string text;
  for (long long step = 1;; ++step) {
    journal.Record(script.Next(text));
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    char line[64];
    const int length = std::snprintf(
        line, sizeof line, "%lld %lld\n", step,
        static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    if (::write(STDOUT_FILENO, line, static_cast<std::size_t>(length)) != length) return 1;
    // A typist's pace, fast: the record must keep up with it.
    ::usleep(200);
  }
}
