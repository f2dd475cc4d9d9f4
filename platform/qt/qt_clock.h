#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include "platform/clock.h"

namespace tambrel::platform::qt {

// The locale's long time pattern with its time-zone field and whatever only framed that field
// (the space before it, the brackets around it) taken out.
QString TimeOfDayPattern(const QLocale& locale);

// The date in the locale's short format and the time of day in its long format.
DateTimeText FormatDateTime(const QLocale& locale, const QDateTime& moment);

// The system clock, read in the system locale's formats.
class QtClock final : public Clock {
 public:
  DateTimeText Now() const override;
};

}  // namespace tambrel::platform::qt
