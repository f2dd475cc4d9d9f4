#include "platform/win32/text_view/context_menu.h"

namespace tambrel::platform::win32 {
namespace {

void Append(HMENU menu, ContextCommand command, const wchar_t* text, bool enabled) {
  ::AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED),
                static_cast<UINT_PTR>(command), text);
}

}  // namespace

UniqueMenu BuildContextMenu(const ContextMenuState& state) {
  UniqueMenu menu(Checked(::CreatePopupMenu(), "CreatePopupMenu"));
  Append(menu.get(), ContextCommand::kUndo, L"撤消(&U)", state.can_undo);
  Append(menu.get(), ContextCommand::kRedo, L"重做(&R)", state.can_redo);
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  Append(menu.get(), ContextCommand::kCut, L"剪切(&T)", state.has_selection);
  Append(menu.get(), ContextCommand::kCopy, L"复制(&C)", state.has_selection);
  Append(menu.get(), ContextCommand::kPaste, L"粘贴(&P)", state.can_paste);
  Append(menu.get(), ContextCommand::kDelete, L"删除(&D)", state.has_selection);
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  Append(menu.get(), ContextCommand::kSelectAll, L"全选(&A)", state.has_text);
  return menu;
}

}  // namespace tambrel::platform::win32
