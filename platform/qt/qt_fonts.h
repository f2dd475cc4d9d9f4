#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include "platform/font_choice.h"
#include "platform/ole_color.h"

namespace tambrel::platform::qt {

// Registers installed faces for the Windows font names the program uses ("宋体"), so that a
// Chinese face is found on a desktop that has no font of that name.
void RegisterFontSubstitutes();

QFont ToQFont(const FontChoice& choice);

// The extent of a text set as one row the way the editor stacks its rows: leading included, a
// negative leading pulling the next row up. Its height is the height of every editor row in that
// font, so that the gutter can measure the same rows without asking the editor.
QRect RowExtent(const QString& text, const QFont& font);

// A style-sheet fragment that pins a widget's font and colours. A widget's own style sheet
// wins over the skin's, so the editor keeps the font and colour the user chose.
QString PinnedLookStyleSheet(const QString& selector, const FontChoice& font, ColorRef text,
                             ColorRef background);

}  // namespace tambrel::platform::qt
