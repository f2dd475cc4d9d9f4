#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace tambrel::testing {

// Puts the C library's number format in the named locale for the life of the object, as a
// desktop in that language does, and back afterwards. scripts/install-deps.sh test generates
// de_DE.UTF-8, the locale with a decimal comma the tests use.
class ScopedNumericLocale {
 public:
  explicit ScopedNumericLocale(const char* name) : previous_(std::setlocale(LC_NUMERIC, nullptr)) {
    active_ = std::setlocale(LC_NUMERIC, name) != nullptr;
    EXPECT_TRUE(active_) << "the locale " << name << " is not installed";
  }
  ~ScopedNumericLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }

  // German, with its decimal comma, under the name this system knows it by.
  static const char* German() {
#ifdef _WIN32
    return "German_Germany.1252";
#else
    return "de_DE.UTF-8";
#endif
  }
  ScopedNumericLocale(const ScopedNumericLocale&) = delete;
  ScopedNumericLocale& operator=(const ScopedNumericLocale&) = delete;

  bool active() const { return active_; }
  char DecimalPoint() const { return *std::localeconv()->decimal_point; }

 private:
  std::string previous_;
  bool active_ = false;
};

}  // namespace tambrel::testing
