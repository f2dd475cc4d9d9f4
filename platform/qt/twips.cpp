#include "platform/qt/twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace tambrel::platform::qt {

namespace {
constexpr double kTwipsPerInch = 1440.0;

double LogicalDpi(bool horizontal) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 96.0;
  const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
  return dpi > 0 ? dpi : 96.0;
}
}  // namespace

double TwipsPerPixelX() { return kTwipsPerInch / LogicalDpi(true); }
double TwipsPerPixelY() { return kTwipsPerInch / LogicalDpi(false); }

}  // namespace tambrel::platform::qt
