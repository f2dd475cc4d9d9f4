#include "platform/qt/font_char_metrics.h"

#include <QFontMetricsF>
#include <QString>
#include <memory>

namespace tambrel::platform::qt {

text::CharMetrics FontCharMetrics(const QFont& font, float tab_stop) {
  // One QFontMetricsF for the table's life, shared by both measures: building one per character
  // would cost more than the measuring.
  auto metrics = std::make_shared<QFontMetricsF>(font);
  return text::CharMetrics(
      [metrics](char32_t code_point) {
        return static_cast<float>(metrics->horizontalAdvance(QString::fromUcs4(&code_point, 1)));
      },
      [metrics](std::u16string_view cluster) {
        const QString text(reinterpret_cast<const QChar*>(cluster.data()),
                           static_cast<qsizetype>(cluster.size()));
        return static_cast<float>(metrics->horizontalAdvance(text));
      },
      tab_stop);
}

}  // namespace tambrel::platform::qt
