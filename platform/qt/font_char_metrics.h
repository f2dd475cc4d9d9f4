#pragma once

#include <QFont>

#include "text/char_metrics.h"

namespace tambrel::platform::qt {

// Where a row may end around a character, from its Unicode properties.
text::CharClass CharClassOf(char32_t code_point);

// The table of advances and classes the editor wraps its rows with, for one font. Tab stops are
// `tab_stop` pixels apart.
text::CharMetrics FontCharMetrics(const QFont& font, float tab_stop);

}  // namespace tambrel::platform::qt
