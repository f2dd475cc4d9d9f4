#pragma once

#include <charconv>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace tambrel::text {

// How far a random test goes, taken from the environment so that a failure can be replayed and
// an idle machine can run far more than CI does:
//   TAMBREL_SEED        the first seed; each test has its own by default
//   TAMBREL_ITERATIONS  how many sessions, one seed each from the first on (1 once a seed is given)
//   TAMBREL_OPERATIONS  steps in each session
// A failure is traced with its seed and step count (see Replay), which run that session again.
struct RandomSettings {
  unsigned first_seed = 0;
  unsigned iterations = 0;
  int operations = 0;

  unsigned Seed(unsigned iteration) const { return first_seed + iteration; }
  // What to set to run one session again, for a SCOPED_TRACE.
  std::string Replay(unsigned seed) const {
    return "seed " + std::to_string(seed) + " (replay with TAMBREL_SEED=" + std::to_string(seed) +
           " TAMBREL_OPERATIONS=" + std::to_string(operations) + ")";
  }
};

// A whole number from the environment, or `fallback` when the variable is not set. A value that
// is not a whole number up to `most` throws rather than quietly running something else.
inline unsigned long long EnvironmentNumber(const char* name, unsigned long long fallback,
                                            unsigned long long most) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return fallback;
  const std::string_view text(value);
  unsigned long long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number > most) {
    throw std::invalid_argument(std::string(name) + " is not a number up to " +
                                std::to_string(most) + ": \"" + value + "\"");
  }
  return number;
}

// The settings of a test whose own defaults are the given ones.
inline RandomSettings ReadRandomSettings(unsigned default_first_seed, unsigned default_iterations,
                                         int default_operations) {
  constexpr unsigned long long kMostSeed = std::numeric_limits<unsigned>::max() / 2;
  constexpr unsigned long long kMostCount = std::numeric_limits<int>::max();
  RandomSettings settings;
  settings.first_seed =
      static_cast<unsigned>(EnvironmentNumber("TAMBREL_SEED", default_first_seed, kMostSeed));
  const char* seed = std::getenv("TAMBREL_SEED");
  const bool seed_given = seed != nullptr && *seed != '\0';
  settings.iterations = static_cast<unsigned>(
      EnvironmentNumber("TAMBREL_ITERATIONS", seed_given ? 1 : default_iterations, kMostCount));
  settings.operations = static_cast<int>(EnvironmentNumber(
      "TAMBREL_OPERATIONS", static_cast<unsigned long long>(default_operations), kMostCount));
  return settings;
}

}  // namespace tambrel::text
