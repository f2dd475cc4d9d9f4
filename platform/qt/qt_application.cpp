#include <QAccessible>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStringList>
#include <QTranslator>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/files/path_text.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/text_view_accessible.h"
#include "platform/qt/twips.h"
#include "platform/windows_command_line.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>  // last: its macros would rename declarations in the headers above
#endif

namespace tambrel::platform {

struct Application::Impl {
  // Qt sees the program's name alone: every argument is the document's, so a document named
  // "-reverse" or "-style" is opened rather than taken for one of Qt's own options.
  Impl(int argc, char** argv) : arguments(argv, argv + argc), qt_argv{argv[0], nullptr} {}
  std::vector<std::string> arguments;
  int qt_argc = 1;
  char* qt_argv[2];
  QApplication app{qt_argc, qt_argv};
  QTranslator qt_translations;
  qt::QtWindowSystem windows;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
  QApplication::setApplicationName(QStringLiteral("Tambrel"));
  // The interface is Chinese whatever the desktop's language, so the standard buttons are too.
  if (impl_->qt_translations.load(QStringLiteral("qtbase_zh_CN"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&impl_->qt_translations);
  }
  qt::RegisterFontSubstitutes();
  // Screen readers see the editor's own text view as an editable text.
  QAccessible::installFactory(&qt::TextViewAccessibleFactory);
}

Application::~Application() = default;

int Application::Run() { return QApplication::exec(); }

WindowSystem& Application::Windows() { return impl_->windows; }

std::filesystem::path Application::ExecutableDirectory() {
  return qt::QStringToPath(QApplication::applicationDirPath());
}

std::u16string Application::CommandLine() const {
#ifdef _WIN32
  // The arguments as typed: joining the parsed ones would drop quotes and runs of spaces.
  return std::u16string(
      ArgumentsAfterProgramName(reinterpret_cast<const char16_t*>(::GetCommandLineW())));
#else
  std::string joined;
  for (std::size_t i = 1; i < impl_->arguments.size(); ++i) {
    if (i > 1) joined += ' ';
    joined += impl_->arguments[i];
  }
  return files::FileNameText(joined);
#endif
}

float Application::ScreenWidth() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? qt::PixelsToTwipsX(screen->geometry().width()) : 0.0f;
}

float Application::ScreenHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? qt::PixelsToTwipsY(screen->geometry().height()) : 0.0f;
}

char16_t Application::DecimalSeparator() {
  const QString separator = QLocale::system().decimalPoint();
  return separator.isEmpty() ? u'.' : static_cast<char16_t>(separator.at(0).unicode());
}

}  // namespace tambrel::platform
