#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/qt/qt_background_work.h"
#include "platform/window.h"

namespace tambrel::platform::qt {

// The top-level widget; it hands its resize, state-change, activation and close events to the
// window.
class MainWindowWidget final : public QMainWindow {
 public:
  std::function<void()> resized;
  std::function<void()> activated;
  std::function<void(QCloseEvent*)> closing;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};

class QtWindow final : public Window {
 public:
  QtWindow(const WindowDefinition& definition, std::unique_ptr<UserDialogs> dialogs);
  ~QtWindow() override;

  float Width() const override;
  void SetWidth(float twips) override;
  float Height() const override;
  void SetHeight(float twips) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  WindowState State() const override;
  void SetState(WindowState state) override;

  const std::vector<Control*>& Controls() const override { return controls_; }

  void OnResize(std::function<void()> handler) override { resize_ = std::move(handler); }
  void OnUnload(std::function<void(std::int16_t&)> handler) override {
    unload_ = std::move(handler);
  }
  void OnActivate(std::function<void()> handler) override { activate_ = std::move(handler); }

  void Show() override;
  bool IsVisible() const override;
  void Close() override;

  UserDialogs& Dialogs() override { return *dialogs_; }
  BackgroundWork& Work() override { return work_; }

  QMainWindow* widget() const { return main_.get(); }

 private:
  void BuildControls(const WindowDefinition& definition);
  void BuildMenus(const WindowDefinition& definition);
  void SizeClientArea(const WindowDefinition& definition);
  QWidget* ContainerWidget(const std::string& name) const;

  std::vector<std::unique_ptr<Control>> owned_;
  std::vector<Control*> controls_;
  std::map<std::string, QWidget*> widgets_;
  std::string name_;
  std::function<void()> resize_;
  std::function<void(std::int16_t&)> unload_;
  std::function<void()> activate_;
  std::unique_ptr<UserDialogs> dialogs_;
  QtBackgroundWork work_;
  // Declared last so it is destroyed first, while the controls that point into it still exist.
  std::unique_ptr<MainWindowWidget> main_;
};

}  // namespace tambrel::platform::qt
