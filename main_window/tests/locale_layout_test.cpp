// The window lays out the same whatever the desktop's language: under a locale that writes a
// decimal comma, at a screen resolution where the layout record holds fractions, every control
// lands where it does under a locale with a decimal point. Runs at 110 dots per inch.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "platform/application.h"
#include "platform/qt/qt_window_system.h"
#include "tests/support/numeric_locale.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace tambrel::main_window {
namespace {

struct Placement {
  std::string name;
  float left, top, width, height;
  friend bool operator==(const Placement&, const Placement&) = default;
};

void PrintTo(const Placement& p, std::ostream* out) {
  *out << p.name << " " << p.left << "," << p.top << " " << p.width << "x" << p.height;
}

struct Started {
  std::vector<Placement> placements;
  std::u16string text1_tag;
};

// Starts the window under the named number locale, with the decimal separator that locale's
// desktop reports, grows it, and answers where every control ended up.
Started StartUnder(const char* locale, char16_t separator) {
  testing::ScopedNumericLocale numbers(locale);
  EXPECT_TRUE(numbers.active());
  testing::TempDir folder;
  std::ofstream(folder / kSkinFileName).flush();
  Environment environment{folder.path(), 1920 * 1440.0f / 110, 1080 * 1440.0f / 110, u"",
                          separator, std::nullopt};
  platform::qt::QtWindowSystem windows;
  Form1 form(std::move(environment), windows, std::make_unique<testing::ScriptedDialogs>());
  EXPECT_EQ(form.Form_Load(), LoadOutcome::kRunning);
  form.Show();
  form.window().SetWidth(16000.0f);
  form.window().SetHeight(11000.0f);
  QCoreApplication::processEvents();
  Started started;
  for (platform::Control* control : form.window().Controls()) {
    if (!control->Width()) continue;
    started.placements.push_back(Placement{control->Name(), *control->Left(), *control->Top(),
                                           *control->Width(), *control->Height()});
  }
  started.text1_tag = form.Text1.Tag();
  return started;
}

TEST(LayoutInEveryLocale, ACommaLocaleStartsUpExactlyLikeAPointLocale) {
  // A desktop set to 110 dots per inch, without the toolkit's scaling to whole pixels of 96.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qputenv("QT_FONT_DPI", "110");
  int argc = 1;
  char name[] = "tambrel";
  char* argv[] = {name, nullptr};
  platform::Application application(argc, argv);
  ASSERT_DOUBLE_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 110.0);
  const Started point = StartUnder("C", u'.');
  const Started comma = StartUnder(testing::ScopedNumericLocale::German(), u',');
  // At 110 dots per inch a pixel is no whole number of twips: the records hold fractions.
  EXPECT_NE(comma.text1_tag.find(u','), std::u16string::npos) << "no fraction to get wrong";
  ASSERT_EQ(point.placements.size(), 3u);
  EXPECT_EQ(comma.placements, point.placements);
  for (const Placement& placement : comma.placements) {
    EXPECT_GT(placement.width, 300.0f) << placement.name;
    EXPECT_GT(placement.height, 1000.0f) << placement.name;
  }
}

}  // namespace
}  // namespace tambrel::main_window
