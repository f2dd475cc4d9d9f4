#pragma once

#include <QFont>

#include "text/char_metrics.h"

namespace tambrel::platform::qt {

// The advances the editor wraps its rows with, for one font, measured by QFontMetricsF: of each
// code point alone, and of each cluster that the font may draw unlike its parts (an emoji
// sequence, a flag, a conjunct) as a whole string. The text core decides classes and clusters.
// Tab stops are `tab_stop` pixels apart.
text::CharMetrics FontCharMetrics(const QFont& font, float tab_stop);

}  // namespace tambrel::platform::qt
