#include "platform/qt/qt_clock.h"

#include <QList>

#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {

namespace {
enum class SegmentKind { kField, kQuoted, kSpace, kOther };

struct Segment {
  SegmentKind kind;
  QString text;
};

bool IsPatternLetter(QChar c) {
  return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
         (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Splits a date-time pattern into its fields (runs of one letter), quoted literals, spaces and
// single other characters.
QList<Segment> Split(const QString& pattern) {
  QList<Segment> segments;
  qsizetype i = 0;
  while (i < pattern.size()) {
    const QChar c = pattern[i];
    qsizetype end = i + 1;
    SegmentKind kind = SegmentKind::kOther;
    if (c == QLatin1Char('\'')) {
      kind = SegmentKind::kQuoted;
      // Up to the closing quote; a doubled quote inside stands for a quote.
      while (end < pattern.size()) {
        if (pattern[end] == QLatin1Char('\'')) {
          if (end + 1 < pattern.size() && pattern[end + 1] == QLatin1Char('\'')) {
            end += 2;
            continue;
          }
          ++end;
          break;
        }
        ++end;
      }
    } else if (IsPatternLetter(c)) {
      kind = SegmentKind::kField;
      while (end < pattern.size() && pattern[end] == c) ++end;
    } else if (c.isSpace()) {
      kind = SegmentKind::kSpace;
    }
    segments.append(Segment{kind, pattern.mid(i, end - i)});
    i = end;
  }
  return segments;
}

bool IsTimeZoneField(const Segment& segment) {
  return segment.kind == SegmentKind::kField && segment.text.startsWith(QLatin1Char('t'));
}

bool ClosesBracket(const Segment& open, const Segment& close) {
  if (open.kind != SegmentKind::kOther || close.kind != SegmentKind::kOther) return false;
  return (open.text == QLatin1String("[") && close.text == QLatin1String("]")) ||
         (open.text == QLatin1String("(") && close.text == QLatin1String(")")) ||
         (open.text == QLatin1String("{") && close.text == QLatin1String("}"));
}

void RemoveEmptyBrackets(QList<Segment>& segments) {
  for (qsizetype i = 0; i < segments.size();) {
    qsizetype next = i + 1;
    while (next < segments.size() && segments[next].kind == SegmentKind::kSpace) ++next;
    if (next < segments.size() && ClosesBracket(segments[i], segments[next])) {
      segments.remove(i, next - i + 1);
      i = 0;
    } else {
      ++i;
    }
  }
}

void TidySpaces(QList<Segment>& segments) {
  while (!segments.isEmpty() && segments.first().kind == SegmentKind::kSpace) {
    segments.removeFirst();
  }
  while (!segments.isEmpty() && segments.last().kind == SegmentKind::kSpace) {
    segments.removeLast();
  }
  for (qsizetype i = 1; i < segments.size();) {
    if (segments[i].kind == SegmentKind::kSpace && segments[i - 1].kind == SegmentKind::kSpace) {
      segments.remove(i);
    } else {
      ++i;
    }
  }
}
}  // namespace

QString TimeOfDayPattern(const QLocale& locale) {
  QList<Segment> segments = Split(locale.timeFormat(QLocale::LongFormat));
  segments.removeIf(IsTimeZoneField);
  RemoveEmptyBrackets(segments);
  TidySpaces(segments);
  QString pattern;
  for (const Segment& segment : segments) pattern += segment.text;
  return pattern;
}

DateTimeText FormatDateTime(const QLocale& locale, const QDateTime& moment) {
  return DateTimeText{ToU16(locale.toString(moment.date(), QLocale::ShortFormat)),
                      ToU16(locale.toString(moment.time(), TimeOfDayPattern(locale)))};
}

DateTimeText QtClock::Now() const {
  return FormatDateTime(QLocale::system(), QDateTime::currentDateTime());
}

}  // namespace tambrel::platform::qt
