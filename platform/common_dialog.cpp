#include "platform/common_dialog.h"

namespace tambrel::platform {

bool CommonDialog::ShowOpen() {
  auto chosen = dialogs_.ChooseFileToOpen(FileName, Filter);
  if (!chosen) return false;
  FileName = std::move(*chosen);
  return true;
}

bool CommonDialog::ShowSave() {
  auto chosen = dialogs_.ChooseFileToSave(FileName, Filter);
  if (!chosen) return false;
  FileName = std::move(*chosen);
  return true;
}

bool CommonDialog::ShowFont() {
  const FontChoice start{FontName, FontSize, FontBold, FontItalic};
  auto chosen = dialogs_.ChooseFont(start);
  if (!chosen) return false;
  FontName = chosen->name;
  FontSize = static_cast<float>(chosen->size);
  FontBold = chosen->bold;
  FontItalic = chosen->italic;
  return true;
}

bool CommonDialog::ShowColor() {
  auto chosen = dialogs_.ChooseColor(Color);
  if (!chosen) return false;
  Color = *chosen;
  return true;
}

}  // namespace tambrel::platform
