#pragma once

#include <string>

namespace tambrel::platform {

// One reading of the clock, written the way the user's locale writes a date alone and a time
// of day alone.
struct DateTimeText {
  std::u16string date;  // the user's short date format
  std::u16string time;  // the user's long time format, without a time-zone name
};

// The system date and time as text. Tests give a clock of their own.
class Clock {
 public:
  virtual ~Clock() = default;
  // The date and the time come from the same instant, so a reading taken at midnight never
  // pairs one day's date with the next day's time.
  virtual DateTimeText Now() const = 0;
};

}  // namespace tambrel::platform
