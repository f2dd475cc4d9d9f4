#include "platform/qt/qt_window_system.h"

#include <QApplication>
#include <QFile>
#include <QString>

#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/qt_window.h"

namespace tambrel::platform::qt {

std::unique_ptr<Window> QtWindowSystem::CreateWindow(const WindowDefinition& definition,
                                                     std::unique_ptr<UserDialogs> dialogs) {
  return std::make_unique<QtWindow>(definition, std::move(dialogs));
}

std::unique_ptr<Clock> QtWindowSystem::CreateSystemClock() const {
  return std::make_unique<QtClock>();
}

std::int32_t QtWindowSystem::SkinH_AttachEx(const std::filesystem::path& skin_file,
                                            const std::u16string& /*reserved*/) {
  QFile file(PathToQString(skin_file));
  if (!file.open(QIODevice::ReadOnly)) return 1;
  qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
  return 0;
}

}  // namespace tambrel::platform::qt
