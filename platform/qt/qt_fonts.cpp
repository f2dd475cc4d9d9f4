#include "platform/qt/qt_fonts.h"

#include <QColor>
#include <QStringList>
#include <QTextLayout>
#include <cmath>
#include <limits>

#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {

void RegisterFontSubstitutes() {
  // Song faces first, so "宋体" keeps its serif look; sans CJK faces as a fallback.
  const QStringList song_faces{"Noto Serif CJK SC",   "AR PL UMing CN",   "AR PL SungtiL GB",
                               "WenQuanYi Micro Hei", "Noto Sans CJK SC", "WenQuanYi Zen Hei"};
  QFont::insertSubstitutions(QStringLiteral("宋体"), song_faces);
  QFont::insertSubstitutions(QStringLiteral("SimSun"), song_faces);
  QFont::insertSubstitutions(QStringLiteral("新宋体"), song_faces);
  QFont::insertSubstitutions(QStringLiteral("NSimSun"), song_faces);
}

QRect RowExtent(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (!line.isValid()) {
    layout.endLayout();
    return QRect();
  }
  line.setLeadingIncluded(true);
  line.setLineWidth(std::numeric_limits<int>::max() / 2);
  layout.endLayout();
  int height = static_cast<int>(line.height());
  if (line.leading() < 0) height += static_cast<int>(std::ceil(line.leading()));
  return QRect(0, 0, static_cast<int>(std::ceil(line.naturalTextWidth())), height);
}

QFont ToQFont(const FontChoice& choice) {
  QFont font(ToQString(choice.name));
  if (choice.size > 0) font.setPointSizeF(choice.size);
  font.setBold(choice.bold);
  font.setItalic(choice.italic);
  return font;
}

}  // namespace tambrel::platform::qt
