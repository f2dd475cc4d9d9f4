#include "main_window/proportional_layout.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/inline_work.h"

namespace tambrel::main_window {
namespace {

// A control with geometry, kept in twips as given.
class FakeBox final : public platform::Control {
 public:
  FakeBox(std::string name, double left, double top, double width, double height)
      : Control(std::move(name)), left_(left), top_(top), width_(width), height_(height) {}

  std::optional<float> Left() const override { return static_cast<float>(left_); }
  std::optional<float> Top() const override { return static_cast<float>(top_); }
  std::optional<float> Width() const override { return static_cast<float>(width_); }
  std::optional<float> Height() const override { return static_cast<float>(height_); }
  bool Move(double left, double top, double width, double height) override {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ++moves;
    return true;
  }
  int moves = 0;

 private:
  double left_, top_, width_, height_;
};

// A timer or menu entry: no geometry, refuses to move.
class FakeInvisible final : public platform::Control {
 public:
  using Control::Control;
};

class FakeWindow final : public platform::Window {
 public:
  float outer_width = 11235 + 240;
  float outer_height = 8775 + 600;
  float scale_width = 11235;
  float scale_height = 8775;
  platform::WindowState state = platform::WindowState::kNormal;
  std::vector<std::unique_ptr<platform::Control>> owned;
  std::vector<platform::Control*> controls;
  int width_sets = 0;

  template <typename T, typename... Args>
  T& Add(Args&&... args) {
    auto control = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *control;
    controls.push_back(control.get());
    owned.push_back(std::move(control));
    return ref;
  }

  // Sets the client area; the frame stays as it was.
  void ResizeClient(float width, float height) {
    outer_width += width - scale_width;
    outer_height += height - scale_height;
    scale_width = width;
    scale_height = height;
  }

  float Width() const override { return outer_width; }
  void SetWidth(float twips) override {
    ++width_sets;
    ResizeClient(scale_width + (twips - outer_width), scale_height);
  }
  float Height() const override { return outer_height; }
  void SetHeight(float twips) override {
    ResizeClient(scale_width, scale_height + twips - outer_height);
  }
  float ScaleWidth() const override { return scale_width; }
  float ScaleHeight() const override { return scale_height; }
  platform::WindowState State() const override { return state; }
  void SetState(platform::WindowState s) override { state = s; }
  const std::vector<platform::Control*>& Controls() const override { return controls; }
  void OnResize(std::function<void()>) override {}
  void OnUnload(std::function<void(std::int16_t&)>) override {}
  void OnActivate(std::function<void()>) override {}
  void Show() override {}
  bool IsVisible() const override { return false; }
  void Close() override {}
  platform::UserDialogs& Dialogs() override { throw std::logic_error("no dialogs"); }
  platform::BackgroundWork& Work() override { return work; }

  testing::InlineWork work;
};

struct Geometry {
  float left, top, width, height;
  friend bool operator==(const Geometry&, const Geometry&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Geometry& g) {
    return out << g.left << ", " << g.top << ", " << g.width << " x " << g.height;
  }
};

Geometry Of(const platform::Control& control) {
  return {*control.Left(), *control.Top(), *control.Width(), *control.Height()};
}

// The design window: a container filling the client area, the gutter and the editor in it,
// and the controls that have no geometry.
class DesignWindow : public ::testing::Test {
 protected:
  DesignWindow()
      : timer2(window.Add<FakeInvisible>("Timer2")),
        container(window.Add<FakeBox>("Container", 0, 0, 11235, 8775)),
        pic_lines(window.Add<FakeBox>("picLines", 0, 0, 600, 8655)),
        text1(window.Add<FakeBox>("Text1", 600, 0, 10575, 8655)),
        menu(window.Add<FakeInvisible>("Open")) {}

  FakeWindow window;
  FakeInvisible& timer2;
  FakeBox& container;
  FakeBox& pic_lines;
  FakeBox& text1;
  FakeInvisible& menu;
  ProportionalLayout layout{u'.'};
};

TEST_F(DesignWindow, StoreRecordsTheBasesAndEveryMovableControl) {
  layout.StoreLayout(window);
  EXPECT_EQ(layout.BaseScaleWidth(), 11235);
  EXPECT_EQ(layout.BaseScaleHeight(), 8775);
  EXPECT_EQ(container.Tag(), u"0   0   11235   8775   ");
  EXPECT_EQ(text1.Tag(), u"600   0   10575   8655   ");
  // Controls without geometry keep the Tag they had.
  EXPECT_EQ(timer2.Tag(), u"");
  EXPECT_EQ(menu.Tag(), u"");
}

TEST_F(DesignWindow, BasesRoundHalvesToEven) {
  window.ResizeClient(11234.5f, 8775.5f);
  layout.StoreLayout(window);
  EXPECT_EQ(layout.BaseScaleWidth(), 11234);
  EXPECT_EQ(layout.BaseScaleHeight(), 8776);
}

TEST_F(DesignWindow, DoublingTheClientAreaDoublesEveryControl) {
  layout.StoreLayout(window);
  window.ResizeClient(22470, 17550);
  layout.ResizeControls(window);
  EXPECT_EQ(Of(container), (Geometry{0, 0, 22470, 17550}));
  EXPECT_EQ(Of(text1), (Geometry{1200, 0, 21150, 17310}));
  EXPECT_EQ(Of(pic_lines), (Geometry{0, 0, 1200, 17310}));
}

TEST_F(DesignWindow, HeightZeroFlattensAndTheRecordRestoresExactly) {
  layout.StoreLayout(window);
  window.ResizeClient(15000, 0);
  layout.ResizeControls(window);
  EXPECT_EQ(text1.Top(), 0.0f);
  EXPECT_EQ(text1.Height(), 0.0f);
  EXPECT_EQ(container.Height(), 0.0f);

  window.ResizeClient(11235, 8775);
  layout.ResizeControls(window);
  EXPECT_EQ(Of(container), (Geometry{0, 0, 11235, 8775}));
  EXPECT_EQ(Of(text1), (Geometry{600, 0, 10575, 8655}));
  EXPECT_EQ(Of(pic_lines), (Geometry{0, 0, 600, 8655}));
}

TEST_F(DesignWindow, ManyResizesAccumulateNoError) {
  layout.StoreLayout(window);
  for (int i = 0; i < 50; ++i) {
    window.ResizeClient(9000.0f + 37.0f * i, 5000.0f + 53.0f * i);
    layout.ResizeControls(window);
  }
  window.ResizeClient(11235, 8775);
  layout.ResizeControls(window);
  EXPECT_EQ(Of(text1), (Geometry{600, 0, 10575, 8655}));
}

TEST_F(DesignWindow, AControlWithAnEmptyRecordGoesToTheOriginWithNoSize) {
  layout.StoreLayout(window);
  text1.SetTag(u"");
  window.ResizeClient(22470, 17550);
  layout.ResizeControls(window);
  EXPECT_EQ(Of(text1), (Geometry{0, 0, 0, 0}));
  EXPECT_EQ(Of(container), (Geometry{0, 0, 22470, 17550}));  // the walk went on
}

TEST_F(DesignWindow, NothingIsLaidOutBeforeTheBasesAreRecorded) {
  window.ResizeClient(22470, 17550);
  layout.ResizeControls(window);
  EXPECT_EQ(text1.moves, 0);
  EXPECT_EQ(Of(text1), (Geometry{600, 0, 10575, 8655}));
}

TEST_F(DesignWindow, ResizeSnapsANarrowWindowBackToTheMinimumWidth) {
  layout.StoreLayout(window);
  window.outer_width = 8000;
  Form_Resize(window, layout);
  EXPECT_EQ(window.Width(), kMinimumOuterWidth);
  EXPECT_EQ(text1.moves, 0);  // the resize that the snap raises lays out
  Form_Resize(window, layout);
  EXPECT_EQ(window.width_sets, 1);
  EXPECT_EQ(text1.moves, 1);
}

TEST_F(DesignWindow, AWindowExactlyAtTheMinimumIsLaidOutAndLeftAlone) {
  layout.StoreLayout(window);
  window.outer_width = kMinimumOuterWidth;
  Form_Resize(window, layout);
  EXPECT_EQ(window.width_sets, 0);
  EXPECT_EQ(text1.moves, 1);
}

TEST_F(DesignWindow, AMinimisedWindowMovesNothing) {
  layout.StoreLayout(window);
  window.state = platform::WindowState::kMinimized;
  window.outer_width = 2000;
  Form_Resize(window, layout);
  EXPECT_EQ(window.width_sets, 0);
  EXPECT_EQ(text1.moves, 0);

  window.state = platform::WindowState::kMaximized;
  window.ResizeClient(22470, 17550);
  Form_Resize(window, layout);
  EXPECT_EQ(Of(text1), (Geometry{1200, 0, 21150, 17310}));
}

}  // namespace
}  // namespace tambrel::main_window
