#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace tambrel::platform::qt {

// QString and std::u16string hold the same UTF-16 units, so crossing the door is one copy.
inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
}

// On Windows a path crosses as UTF-16: a narrow one would go through the ANSI code page there.
inline QString PathToQString(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.native());
#else
  return QString::fromStdString(path.string());
#endif
}

inline std::filesystem::path QStringToPath(const QString& text) {
#ifdef _WIN32
  return std::filesystem::path(text.toStdWString());
#else
  return std::filesystem::path(text.toStdString());
#endif
}

}  // namespace tambrel::platform::qt
