#pragma once

#include "platform/qt/qt_color.h"
#include "platform/window_system.h"

namespace tambrel::platform::qt {

// Qt's windows, clock, palette and style sheets. Needs the running Application.
class QtWindowSystem final : public WindowSystem {
 public:
  std::unique_ptr<Window> CreateWindow(const WindowDefinition& definition,
                                       std::unique_ptr<UserDialogs> dialogs) override;
  std::unique_ptr<Clock> CreateSystemClock() const override;
  const SystemColors& Colors() const override { return colors_; }
  // The skin is a Qt style sheet in UTF-8.
  std::int32_t SkinH_AttachEx(const std::filesystem::path& skin_file,
                              const std::u16string& reserved) override;

 private:
  QtSystemColors colors_;
};

}  // namespace tambrel::platform::qt
