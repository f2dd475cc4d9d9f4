#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/background_work.h"
#include "platform/clock.h"
#include "platform/ole_color.h"
#include "platform/window_system.h"
#include "tests/support/fake_event_loop.h"
#include "tests/support/fake_window.h"

namespace tambrel::testing {

// A desktop of the classic Windows colours: white windows with black text, grey shadows.
class FakeSystemColors final : public platform::SystemColors {
 public:
  std::optional<platform::ColorRef> SystemColor(std::uint32_t index) const override;
};

// A window system without a screen: windows of fake controls (see FakeWindow), one event loop the
// test turns, a clock the test sets and a skin that is only checked and kept. Windows run their
// background work inline unless the test hands them other work.
class FakeWindowSystem final : public platform::WindowSystem {
 public:
  std::unique_ptr<platform::Window> CreateWindow(
      const platform::WindowDefinition& definition,
      std::unique_ptr<platform::UserDialogs> dialogs) override;
  // A clock that reads whatever the test last set with SetNow.
  std::unique_ptr<platform::Clock> CreateSystemClock() const override;
  const platform::SystemColors& Colors() const override { return colors_; }
  // Reads the skin file: 0 when it could be read, and its bytes are kept as the skin applied.
  std::int32_t SkinH_AttachEx(const std::filesystem::path& skin_file,
                              const std::u16string& reserved) override;

  FakeEventLoop& Events() { return events_; }
  // A turn of the loop: what the program posted runs.
  void ProcessEvents() { events_.ProcessEvents(); }
  // Windows created from now on run their background work there; it must outlive them.
  void SetWork(platform::BackgroundWork& work) { work_ = &work; }
  void SetNow(platform::DateTimeText now) { now_ = std::move(now); }
  // The skin's bytes, once one was applied.
  const std::optional<std::string>& AppliedSkin() const { return applied_skin_; }

 private:
  FakeEventLoop events_;
  FakeSystemColors colors_;
  platform::BackgroundWork* work_ = nullptr;
  platform::DateTimeText now_{u"2026/12/7", u"9:05:08"};
  std::optional<std::string> applied_skin_;
};

}  // namespace tambrel::testing
