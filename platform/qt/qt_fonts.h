#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include "platform/font_choice.h"

namespace tambrel::platform::qt {

// Registers installed faces for the Windows font names the program uses ("宋体"), so that a
// Chinese face is found on a desktop that has no font of that name.
void RegisterFontSubstitutes();

QFont ToQFont(const FontChoice& choice);

// The extent of a text set as one row the way the editor stacks its rows: leading included, a
// negative leading pulling the next row up. Its height is the height of every editor row in that
// font, so that the gutter can measure the same rows without asking the editor.
QRect RowExtent(const QString& text, const QFont& font);

}  // namespace tambrel::platform::qt
