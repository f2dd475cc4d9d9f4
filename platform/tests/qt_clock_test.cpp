#include "platform/qt/qt_clock.h"

#include <gtest/gtest.h>

namespace tambrel::platform::qt {
namespace {

const QDateTime kMorning(QDate(2026, 12, 7), QTime(9, 5, 8));

TEST(TimeOfDayPattern, DropsTheTimeZoneAndTheSpaceBeforeIt) {
  EXPECT_EQ(TimeOfDayPattern(QLocale(QStringLiteral("en_US"))), QStringLiteral("h:mm:ss AP"));
  EXPECT_EQ(TimeOfDayPattern(QLocale(QStringLiteral("de_DE"))), QStringLiteral("HH:mm:ss"));
}

TEST(TimeOfDayPattern, DropsALeadingTimeZoneAndTheSpaceAfterIt) {
  EXPECT_EQ(TimeOfDayPattern(QLocale(QStringLiteral("zh_CN"))), QStringLiteral("HH:mm:ss"));
}

TEST(TimeOfDayPattern, KeepsQuotedLiteralsAndTheirPunctuation) {
  EXPECT_EQ(TimeOfDayPattern(QLocale(QStringLiteral("bg_BG"))), QStringLiteral("H:mm:ss 'ч'."));
  EXPECT_EQ(TimeOfDayPattern(QLocale(QStringLiteral("fr_CA"))),
            QStringLiteral("HH 'h' mm 'min' ss 's'"));
}

TEST(TimeOfDayPattern, DropsBracketsThatOnlyHeldTheTimeZone) {
  const QString pattern = TimeOfDayPattern(QLocale(QStringLiteral("zh_TW")));
  EXPECT_FALSE(pattern.contains(QLatin1Char('['))) << pattern.toStdString();
  EXPECT_FALSE(pattern.endsWith(QLatin1Char(' '))) << pattern.toStdString();
  EXPECT_TRUE(pattern.endsWith(QStringLiteral("mm:ss"))) << pattern.toStdString();
}

TEST(FormatDateTime, WritesTheShortDateAndTheTimeOfDay) {
  const DateTimeText us = FormatDateTime(QLocale(QStringLiteral("en_US")), kMorning);
  EXPECT_EQ(us.date, u"12/7/26");
  EXPECT_EQ(us.time, u"9:05:08 AM");
  const DateTimeText cn = FormatDateTime(QLocale(QStringLiteral("zh_CN")), kMorning);
  EXPECT_EQ(cn.date, u"2026/12/7");
  EXPECT_EQ(cn.time, u"09:05:08");
}

TEST(SystemClock, ReadsATimeOfDayWithoutATimeZone) {
  const DateTimeText now = QtClock().Now();
  EXPECT_FALSE(now.date.empty());
  EXPECT_FALSE(now.time.empty());
  const QString time = QString::fromStdU16String(now.time);
  EXPECT_FALSE(time.contains(QDateTime::currentDateTime().timeZoneAbbreviation()))
      << time.toStdString();
}

}  // namespace
}  // namespace tambrel::platform::qt
