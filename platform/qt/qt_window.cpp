#include "platform/qt/qt_window.h"
#include "platform/qt/qt_color.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QMetaObject>
#include <QMenuBar>
#include <QScreen>

#include "platform/common_dialog.h"
#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_picture_box.h"
#include "platform/qt/qt_simple_controls.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/qt_user_dialogs.h"
#include "platform/qt/twips.h"

namespace tambrel::platform::qt {

void MainWindowWidget::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (resized) resized();
}

void MainWindowWidget::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Minimising and restoring count as resizes too, as the layout expects.
  if (event->type() == QEvent::WindowStateChange && resized) resized();
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && activated) activated();
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
  if (closing) {
    closing(event);
  } else {
    event->accept();
  }
}

QtWindow::QtWindow(const WindowDefinition& definition, std::unique_ptr<UserDialogs> dialogs)
    : name_(definition.name),
      dialogs_(std::move(dialogs)),
      main_(std::make_unique<MainWindowWidget>()) {
  main_->setWindowTitle(ToQString(definition.caption));
  work_.SetWindow(main_.get());
  QIcon icon;
  for (const std::string& image : definition.icon_images)
    icon.addFile(QString::fromStdString(image));
  if (!icon.isNull()) main_->setWindowIcon(icon);

  auto* client = new QWidget(main_.get());
  client->setObjectName(QString::fromStdString(definition.name));
  main_->setCentralWidget(client);
  widgets_[definition.name] = client;
  if (!dialogs_) dialogs_ = std::make_unique<QtUserDialogs>(main_.get());

  BuildControls(definition);
  BuildMenus(definition);
  SizeClientArea(definition);

  main_->resized = [this] {
    if (resize_) resize_();
  };
  main_->activated = [this] {
    // Not inside the activation itself: the handler may open a dialog, which takes the
    // activation away again. The widget is the context, so nothing runs once it has gone.
    QMetaObject::invokeMethod(
        main_.get(),
        [this] {
          if (activate_) activate_();
        },
        Qt::QueuedConnection);
  };
  main_->closing = [this](QCloseEvent* event) {
    std::int16_t cancel = 0;
    if (unload_) unload_(cancel);
    if (cancel != 0) {
      event->ignore();
    } else {
      event->accept();
    }
  };
}

QtWindow::~QtWindow() {
  // Nothing of the program may run while the widgets go away.
  main_->resized = nullptr;
  main_->activated = nullptr;
  main_->closing = nullptr;
  activate_ = nullptr;
  for (Control* control : controls_) {
    if (auto* edit = dynamic_cast<QtEditBox*>(control)) edit->DetachHandlers();
    if (auto* timer = dynamic_cast<QtTimer*>(control)) {
      timer->SetEnabled(false);
      timer->OnTimer(nullptr);
    }
  }
  main_.reset();
}

QWidget* QtWindow::ContainerWidget(const std::string& name) const {
  const auto found = widgets_.find(name);
  return found != widgets_.end() ? found->second : widgets_.at(name_);
}

void QtWindow::BuildControls(const WindowDefinition& definition) {
  std::vector<std::pair<int, QWidget*>> tab_order;
  for (const ControlDefinition& control : definition.controls) {
    QWidget* parent = ContainerWidget(control.container);
    QWidget* widget = nullptr;
    std::unique_ptr<Control> made;
    switch (control.kind) {
      case ControlKind::kTimer: {
        auto timer = std::make_unique<QtTimer>(control.name);
        timer->SetInterval(control.interval);
        timer->SetEnabled(control.enabled);
        made = std::move(timer);
        break;
      }
      case ControlKind::kCommonDialog:
        made = std::make_unique<CommonDialog>(control.name, *dialogs_);
        break;
      case ControlKind::kContainer: {
        auto* box = new QWidget(parent);
        box->setAutoFillBackground(true);
        QPalette palette = box->palette();
        const ColorRef background = TranslateColor(control.back_color);
        if (background != kUntranslatableColor) {
          palette.setColor(QPalette::Window, ToQColor(background));
        }
        box->setPalette(palette);
        widget = box;
        made = std::make_unique<QtContainer>(control.name, box);
        break;
      }
      case ControlKind::kPictureBox: {
        auto* picture = new PictureWidget(parent);
        widget = picture;
        made =
            std::make_unique<QtPictureBox>(control.name, picture, control.back_color,
                                           control.fore_color, control.font.value_or(FontChoice{}));
        break;
      }
      case ControlKind::kEditBox: {
        auto edit_box = std::make_unique<QtEditBox>(control.name, parent, control.back_color,
                                                    control.fore_color,
                                                    control.font.value_or(FontChoice{}));
        TextView* view = edit_box->view();
        view->setAcceptDrops(control.accepts_drops);
        view->viewport()->setAcceptDrops(control.accepts_drops);
        widget = view;
        made = std::move(edit_box);
        break;
      }
    }
    if (widget != nullptr) {
      widget->setObjectName(QString::fromStdString(control.name));
      widget->setGeometry(TwipsToPixelsX(control.left), TwipsToPixelsY(control.top),
                          TwipsToPixelsX(control.width), TwipsToPixelsY(control.height));
      widgets_[control.name] = widget;
      if (control.tab_index >= 0 && widget->focusPolicy() != Qt::NoFocus) {
        tab_order.emplace_back(control.tab_index, widget);
      }
    }
    controls_.push_back(made.get());
    owned_.push_back(std::move(made));
  }
  std::sort(tab_order.begin(), tab_order.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < tab_order.size(); ++i) {
    QWidget::setTabOrder(tab_order[i - 1].second, tab_order[i].second);
  }
}

void QtWindow::BuildMenus(const WindowDefinition& definition) {
  QMenuBar* bar = main_->menuBar();
  bar->setNativeMenuBar(false);
  std::map<std::string, QMenu*> menus;
  for (const MenuDefinition& entry : definition.menus) {
    QAction* action = nullptr;
    if (entry.parent.empty()) {
      QMenu* menu = bar->addMenu(ToQString(entry.caption));
      menu->setObjectName(QString::fromStdString(entry.name));
      menus[entry.name] = menu;
      action = menu->menuAction();
    } else {
      action = menus.at(entry.parent)->addAction(ToQString(entry.caption));
      if (!entry.shortcut.empty()) {
        action->setShortcut(QKeySequence(QString::fromStdString(entry.shortcut)));
        action->setShortcutContext(Qt::WindowShortcut);
      }
      if (entry.click) QObject::connect(action, &QAction::triggered, action, entry.click);
    }
    action->setObjectName(QString::fromStdString(entry.name));
    auto made = std::make_unique<QtMenuEntry>(entry.name, action);
    controls_.push_back(made.get());
    owned_.push_back(std::move(made));
  }
}

void QtWindow::SizeClientArea(const WindowDefinition& definition) {
  // The design size is that of the client area below the menu bar; the window grows around it.
  const QSize client(TwipsToPixelsX(definition.client_width),
                     TwipsToPixelsY(definition.client_height));
  main_->resize(client.width(), client.height() + main_->menuBar()->sizeHint().height());
  main_->layout()->activate();
  const QSize actual = main_->centralWidget()->size();
  main_->resize(main_->size() + (client - actual));
  main_->layout()->activate();
}

float QtWindow::Width() const { return PixelsToTwipsX(main_->frameGeometry().width()); }
float QtWindow::Height() const { return PixelsToTwipsY(main_->frameGeometry().height()); }

void QtWindow::SetWidth(float twips) {
  const int frame = main_->frameGeometry().width() - main_->width();
  main_->resize(std::max(1, TwipsToPixelsX(twips) - frame), main_->height());
}

void QtWindow::SetHeight(float twips) {
  const int frame = main_->frameGeometry().height() - main_->height();
  main_->resize(main_->width(), std::max(1, TwipsToPixelsY(twips) - frame));
}

float QtWindow::ScaleWidth() const { return PixelsToTwipsX(main_->centralWidget()->width()); }
float QtWindow::ScaleHeight() const { return PixelsToTwipsY(main_->centralWidget()->height()); }

WindowState QtWindow::State() const {
  if (main_->isMinimized()) return WindowState::kMinimized;
  if (main_->isMaximized()) return WindowState::kMaximized;
  return WindowState::kNormal;
}

void QtWindow::SetState(WindowState state) {
  switch (state) {
    case WindowState::kNormal:
      main_->showNormal();
      break;
    case WindowState::kMinimized:
      main_->showMinimized();
      break;
    case WindowState::kMaximized:
      main_->showMaximized();
      break;
  }
}

void QtWindow::Show() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = main_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    main_->move(frame.topLeft());
  }
  main_->show();
}

bool QtWindow::IsVisible() const { return main_->isVisible(); }

void QtWindow::Close() { main_->close(); }

}  // namespace tambrel::platform::qt
