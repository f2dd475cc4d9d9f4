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

inline QString PathToQString(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace tambrel::platform::qt
