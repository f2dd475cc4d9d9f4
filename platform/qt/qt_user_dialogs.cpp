#include "platform/qt/qt_user_dialogs.h"
#include "platform/qt/qt_color.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>
#include <cstdlib>
#include <limits>

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {

QStringList NameFiltersFromPipes(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'));
    // "*.*" means every file, as on Windows; to Qt it would mean only names with a dot.
    for (QString& pattern : patterns) {
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    }
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
  }
  return filters;
}

MessageAnswer QtUserDialogs::ShowMessage(const std::u16string& text, MessageButtons buttons,
                                         MessageIcon icon, const std::u16string& title) {
  QMessageBox box(parent_);
  box.setWindowTitle(ToQString(title));
  box.setText(ToQString(text));
  switch (icon) {
    case MessageIcon::kNone:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MessageIcon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::kExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
  }
  if (buttons == MessageButtons::kOk) {
    box.setStandardButtons(QMessageBox::Ok);
  } else {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(buttons == MessageButtons::kYesNo ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
  }
  // A box as narrow as a short text ("保存成功") would leave no room for its own title beside the
  // title bar's buttons.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const int title_width = QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle());
    grid->addItem(new QSpacerItem(std::max(260, title_width + 180), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  const int pressed = box.exec();
  if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  return pressed == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

std::u16string QtUserDialogs::AskText(const std::u16string& prompt) {
  bool confirmed = false;
  const QString text =
      QInputDialog::getText(parent_, QApplication::applicationName(), ToQString(prompt),
                            QLineEdit::Normal, QString(), &confirmed);
  return confirmed ? ToU16(text) : std::u16string();
}

namespace {
std::optional<std::u16string> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                            const std::u16string& start,
                                            const std::u16string& filter) {
  QFileDialog dialog(parent);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  // Like the classic dialog with no options set: a name that names no file yet goes through.
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = NameFiltersFromPipes(ToQString(filter));
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
  }
  if (!start.empty()) dialog.selectFile(ToQString(start));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToU16(dialog.selectedFiles().constFirst());
}
}  // namespace

std::optional<std::u16string> QtUserDialogs::ChooseFileToOpen(const std::u16string& start,
                                                              const std::u16string& filter) {
  return RunFileDialog(parent_, QFileDialog::AcceptOpen, start, filter);
}

std::optional<std::u16string> QtUserDialogs::ChooseFileToSave(const std::u16string& start,
                                                              const std::u16string& filter) {
  return RunFileDialog(parent_, QFileDialog::AcceptSave, start, filter);
}

namespace {
// The face's own name for the style nearest to the weight and slant asked for. The dialog
// matches its style list by name, and without one it would compare the face's names with
// translated ones ("粗体") and open on Regular, so that OK would drop bold.
QString NearestStyleName(const QString& family, bool bold, bool italic) {
  const int wanted_weight = bold ? QFont::Bold : QFont::Normal;
  QString nearest;
  int nearest_distance = std::numeric_limits<int>::max();
  for (const QString& style : QFontDatabase::styles(family)) {
    const int distance = std::abs(QFontDatabase::weight(family, style) - wanted_weight) +
                         (QFontDatabase::italic(family, style) == italic ? 0 : 10000);
    if (distance < nearest_distance) {
      nearest = style;
      nearest_distance = distance;
    }
  }
  return nearest;
}
}  // namespace

std::optional<FontChoice> QtUserDialogs::ChooseFont(const FontChoice& start) {
  // A name the dialog does not list ("宋体" is a substitute here) would open it on some other
  // face, and OK would then change the editor's face. Open it on the face actually shown.
  QFont initial = ToQFont(start);
  const QString shown_family = QFontInfo(initial).family();
  initial.setFamily(shown_family);
  initial.setStyleName(NearestStyleName(shown_family, start.bold, start.italic));
  bool confirmed = false;
  const QFont chosen = QFontDialog::getFont(&confirmed, initial, parent_);
  if (!confirmed) return std::nullopt;
  // The face left as it was keeps the name it was asked by.
  const std::u16string name = chosen.family() == shown_family ? start.name : ToU16(chosen.family());
  const double size = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : start.size;
  return FontChoice{name, size, chosen.bold(), chosen.italic()};
}

std::optional<OleColor> QtUserDialogs::ChooseColor(OleColor start) {
  const ColorRef translated = TranslateColor(start);
  const QColor initial = ToQColor(translated == kUntranslatableColor ? 0 : translated);
  const QColor chosen = QColorDialog::getColor(initial, parent_);
  if (!chosen.isValid()) return std::nullopt;
  return static_cast<OleColor>(ToColorRef(chosen));
}

}  // namespace tambrel::platform::qt
