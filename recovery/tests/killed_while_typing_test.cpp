// A program killed at any moment while it types: the next start finds exactly the text as of some
// moment of the last second before the kill, never another.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "recovery/recovered_text.h"
#include "recovery/tests/text_hash.h"
#include "recovery/tests/typing_script.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace tambrel::recovery {
namespace {

using Clock = std::chrono::steady_clock;

struct Report {
  long long steps = 0;
  Clock::time_point at;
  std::uint64_t hash = 0;  // of the text after the step, where the typist tells it
};

// Starts a typist, lets it type for `typing`, kills it and answers each report it made.
std::vector<Report> TypeAndKill(const char* typist, const std::filesystem::path& folder,
                                std::uint32_t seed, std::chrono::milliseconds typing,
                                Clock::time_point& killed_at) {
  int pipe_ends[2];
  EXPECT_EQ(::pipe2(pipe_ends, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  const std::string folder_text = folder.string();
  const std::string seed_text = std::to_string(seed);
  char* arguments[] = {const_cast<char*>(typist), const_cast<char*>(folder_text.c_str()),
                       const_cast<char*>(seed_text.c_str()), nullptr};
  pid_t child = 0;
  EXPECT_EQ(::posix_spawn(&child, typist, &actions, nullptr, arguments, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_ends[1]);

  std::string output;
  const Clock::time_point deadline = Clock::now() + typing;
  char buffer[4096];
  while (Clock::now() < deadline) {
    pollfd poll_for{pipe_ends[0], POLLIN, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (::poll(&poll_for, 1, static_cast<int>(std::max<long long>(left.count(), 0))) > 0) {
      const ssize_t count = ::read(pipe_ends[0], buffer, sizeof buffer);
      if (count <= 0) break;
      output.append(buffer, static_cast<std::size_t>(count));
    }
  }
  killed_at = Clock::now();
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  for (ssize_t count; (count = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
    output.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(pipe_ends[0]);

  std::vector<Report> reports;
  std::size_t start = 0;
  for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
    long long steps = 0, micros = 0;
    unsigned long long hash = 0;
    if (std::sscanf(output.c_str() + start, "%lld %lld %llx", &steps, &micros, &hash) >= 2) {
      reports.push_back({steps, Clock::time_point(std::chrono::microseconds(micros)), hash});
    }
  }
  return reports;
}

int KillCount(int otherwise) {
  const char* kills = std::getenv("TAMBREL_KILLS");
  return kills != nullptr ? std::max(1, std::atoi(kills)) : otherwise;
}

// Mostly short runs, some longer than the second the record may lag behind.
std::chrono::milliseconds TypingTime(int kill, std::mt19937& random) {
  return std::chrono::milliseconds(kill % 10 == 0 ? 1000 + random() % 400 : 5 + random() % 300);
}

// The last step told at least a second before the kill: its text must not be lost.
long long MustHave(const std::vector<Report>& reports, Clock::time_point killed_at) {
  long long must_have = 0;
  for (const Report& report : reports) {
    if (report.at <= killed_at - std::chrono::seconds(1)) must_have = report.steps;
  }
  return must_have;
}

TEST(KilledWhileTyping, EveryRestartFindsTheTextOfTheLastSecond) {
  std::mt19937 random(static_cast<std::uint32_t>(std::random_device{}()));
  const int kills = KillCount(50);
  int recovered_runs = 0;
  for (int kill = 0; kill < kills; ++kill) {
    tambrel::testing::TempDir folder;
    const std::uint32_t seed = random();
    const auto typing = TypingTime(kill, random);
    Clock::time_point killed_at;
    const std::vector<Report> reports =
        TypeAndKill(TYPING_UNTIL_KILLED, folder.path(), seed, typing, killed_at);
    SCOPED_TRACE("seed " + std::to_string(seed) + ", typing " + std::to_string(typing.count()) +
                 " ms");

    // The edits made more than a second before the kill must all be there.
    const long long must_have = MustHave(reports, killed_at);
    const long long made = reports.empty() ? 0 : reports.back().steps + 1;  // one may be unreported

    const std::vector<std::filesystem::path> left = AbandonedRecords(folder.path());
    ASSERT_LE(left.size(), 1u);
    if (left.empty()) {
      EXPECT_EQ(must_have, 0) << "edits of over a second ago were lost";
      continue;
    }
    const auto recovered = RecoverText(left.front());
    ASSERT_TRUE(recovered.ok());
    const long long steps = static_cast<long long>(recovered.value().edits.size());
    EXPECT_GE(steps, must_have);
    EXPECT_LE(steps, made);
    testing::TypingScript script(seed);
    std::u16string expected;
    for (long long step = 0; step < steps; ++step) script.Next(expected);
    ASSERT_EQ(recovered.value().text.Text(), expected) << "after " << steps << " edits";
    ++recovered_runs;
  }
  EXPECT_GT(recovered_runs, kills / 2) << "most runs type something before they die";
}

TEST(KilledWhileTyping, TheWindowKilledWhileTypingGivesBackATextItHad) {
  std::mt19937 random(static_cast<std::uint32_t>(std::random_device{}()));
  const int kills = KillCount(100);
  int recovered_runs = 0;
  for (int kill = 0; kill < kills; ++kill) {
    tambrel::testing::TempDir folder;
    const std::uint32_t seed = random();
    const auto typing = TypingTime(kill, random);
    Clock::time_point killed_at;
    const std::vector<Report> reports =
        TypeAndKill(TYPING_IN_WINDOW_UNTIL_KILLED, folder.path(), seed, typing, killed_at);
    SCOPED_TRACE("seed " + std::to_string(seed) + ", typing " + std::to_string(typing.count()) +
                 " ms, " + std::to_string(reports.size()) + " steps");
    const long long must_have = MustHave(reports, killed_at);

    const std::vector<std::filesystem::path> left = AbandonedRecords(folder / "recovery");
    ASSERT_LE(left.size(), 1u);
    if (left.empty()) {
      EXPECT_EQ(must_have, 0) << "edits of over a second ago were lost";
      continue;
    }
    const auto recovered = RecoverText(left.front());
    ASSERT_TRUE(recovered.ok());
    const std::uint64_t hash = testing::TextHash(recovered.value().text.Text());
    long long step = -1;
    for (const Report& report : reports) {
      if (report.hash == hash) step = report.steps;
    }
    ASSERT_GE(step, 0) << "a text the window never had";
    EXPECT_GE(step, must_have) << "edits of over a second ago were lost";
    ++recovered_runs;
  }
  EXPECT_GT(recovered_runs, kills / 2) << "most runs type something before they die";
}

}  // namespace
}  // namespace tambrel::recovery
