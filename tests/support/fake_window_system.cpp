#include "tests/support/fake_window_system.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace tambrel::testing {

namespace {

// Reads the time the test set, whenever asked.
class FakeClock final : public platform::Clock {
 public:
  explicit FakeClock(const platform::DateTimeText& now) : now_(now) {}
  platform::DateTimeText Now() const override { return now_; }

 private:
  const platform::DateTimeText& now_;
};

}  // namespace

std::optional<platform::ColorRef> FakeSystemColors::SystemColor(std::uint32_t index) const {
  switch (index) {
    case 5:  // a window's background
      return 0x00FFFFFF;
    case 8:  // a window's text
      return 0x00000000;
    case 15:  // a button's face
      return 0x00F0F0F0;
    case 16:  // a button's shadow
      return 0x00808080;
    default:
      return std::nullopt;
  }
}

std::unique_ptr<platform::Window> FakeWindowSystem::CreateWindow(
    const platform::WindowDefinition& definition, std::unique_ptr<platform::UserDialogs> dialogs) {
  return std::make_unique<FakeWindow>(definition, std::move(dialogs), events_, colors_, work_);
}

std::unique_ptr<platform::Clock> FakeWindowSystem::CreateSystemClock() const {
  return std::make_unique<FakeClock>(now_);
}

std::int32_t FakeWindowSystem::SkinH_AttachEx(const std::filesystem::path& skin_file,
                                              const std::u16string& /*reserved*/) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(skin_file, error)) return 1;
  std::ifstream in(skin_file, std::ios::binary);
  if (!in) return 1;
  applied_skin_ = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return 0;
}

}  // namespace tambrel::testing
