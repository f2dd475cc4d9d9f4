#pragma once

#include <QFont>
#include <QTextLayout>

// How the text view sets one row of text, shared by its painting and its hit-testing.
namespace tambrel::platform::qt {

// Room between the viewport's edges and the text, as a plain-text edit leaves it.
inline constexpr int kTextMargin = 4;
inline constexpr float kTabStopDistance = 80;

// Lays the layout's text out as one row that never wraps: rows were found by the text core.
void LayOutRow(QTextLayout& layout, const QFont& font);

}  // namespace tambrel::platform::qt
