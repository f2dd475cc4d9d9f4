#include "text/buffer_line.h"

#include "text/row_breaker.h"

namespace tambrel::text {

LineSource LineOfBuffer(const TextBuffer& buffer, std::size_t line) {
  const std::size_t start = buffer.LineStart(line);
  const std::size_t length = buffer.LineLength(line);
  return [&buffer, start, length](std::size_t from,
                                  const std::function<bool(std::u16string_view)>& consume) {
    if (from < length) buffer.ForEachPiece(start + from, length - from, consume);
  };
}

void CountLineRows(const TextBuffer& buffer, std::size_t first_line, CharMetrics& metrics,
                   float width,
                   const std::function<bool(std::size_t line, std::size_t rows)>& counted) {
  const std::size_t start = buffer.LineStart(first_line);
  std::size_t line = first_line;
  RowBreaker breaker(metrics, width, start);
  breaker.OnLineEnd([&](std::size_t rows) { return counted(line++, rows); });
  buffer.ForEachPiece(start, buffer.Length() - start,
                     [&breaker](std::u16string_view span) { return breaker.Feed(span); });
  breaker.Finish();
}

}  // namespace tambrel::text
