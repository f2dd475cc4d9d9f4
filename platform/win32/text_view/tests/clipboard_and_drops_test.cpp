// Text crosses to other programs and back: the clipboard with Windows' line breaks, files dropped
// from the shell, text dropped with OLE, and the context menu's commands.
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/text_view/clipboard_text.h"
#include "platform/win32/text_view/global_memory.h"
#include "platform/win32/text_view/tests/view_fixture.h"
#include "platform/win32/text_view/text_data_object.h"

namespace tambrel::platform::win32 {
namespace {

using TextViewClipboard = ViewFixture;

TEST_F(TextViewClipboard, CopiedTextHasWindowsLineBreaks) {
  box_->SetText(u"甲\n乙\r丙");
  Key('A', kControl);
  Key('C', kControl);
  EXPECT_EQ(ReadClipboardText(View()), u"甲\r\n乙\r\n丙");
  // Copying leaves the text as it was.
  EXPECT_EQ(box_->Text(), u"甲\n乙\r丙");
}

TEST_F(TextViewClipboard, PastedTextTakesTheDocumentsLineBreaks) {
  box_->SetText(u"头\n尾");
  ASSERT_TRUE(WriteClipboardText(View(), u"一\r\n二"));
  Key(VK_END, kControl);
  Key('V', kControl);
  EXPECT_EQ(box_->Text(), u"头\n尾一\r\n二");
  box_->SetNewLine(u"\n");
  Key('V', kControl);
  EXPECT_EQ(box_->Text(), u"头\n尾一\r\n二一\n二");
}

TEST_F(TextViewClipboard, CutTextLeavesTheViewForTheClipboard) {
  box_->SetText(u"保留剪下");
  box_->SetSelStart(2);
  box_->SetSelLength(2);
  Key('X', kControl);
  EXPECT_EQ(box_->Text(), u"保留");
  EXPECT_EQ(ReadClipboardText(View()), u"剪下");
  Key('Z', kControl);
  EXPECT_EQ(box_->Text(), u"保留剪下");
  // Shift+Delete and Shift+Insert, as in every edit control.
  box_->SetSelStart(0);
  box_->SetSelLength(1);
  Key(VK_DELETE, kShift);
  EXPECT_EQ(ReadClipboardText(View()), u"保");
  Key(VK_END);
  Key(VK_INSERT, kShift);
  EXPECT_EQ(box_->Text(), u"留剪下保");
}

TEST_F(TextViewClipboard, TheContextMenuOffersWhatWouldDoSomething) {
  box_->SetText(u"");
  ASSERT_TRUE(WriteClipboardText(View(), u"x"));
  ContextMenuState state = box_->View().MenuState();
  EXPECT_FALSE(state.can_undo);
  EXPECT_FALSE(state.has_selection);
  EXPECT_TRUE(state.can_paste);
  EXPECT_FALSE(state.has_text);

  Type(u"文字");
  Key(VK_LEFT, kShift);
  state = box_->View().MenuState();
  EXPECT_TRUE(state.can_undo);
  EXPECT_TRUE(state.has_selection);
  EXPECT_TRUE(state.has_text);

  const UniqueMenu menu = BuildContextMenu(state);
  ASSERT_EQ(::GetMenuItemCount(menu.get()), 9);
  const auto text_of = [&](ContextCommand command) {
    wchar_t text[32] = {};
    ::GetMenuStringW(menu.get(), static_cast<UINT>(command), text, 32, MF_BYCOMMAND);
    return std::wstring(text);
  };
  EXPECT_EQ(text_of(ContextCommand::kUndo), L"撤消(&U)");
  EXPECT_EQ(text_of(ContextCommand::kSelectAll), L"全选(&A)");
  const auto greyed = [&](ContextCommand command) {
    return (::GetMenuState(menu.get(), static_cast<UINT>(command), MF_BYCOMMAND) & MF_GRAYED) != 0;
  };
  EXPECT_FALSE(greyed(ContextCommand::kUndo));
  EXPECT_TRUE(greyed(ContextCommand::kRedo));
  EXPECT_FALSE(greyed(ContextCommand::kCut));
  EXPECT_FALSE(greyed(ContextCommand::kDelete));
  EXPECT_FALSE(greyed(ContextCommand::kPaste));
  EXPECT_EQ(::GetMenuState(menu.get(), 2, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
}

TEST_F(TextViewClipboard, TheContextMenusCommandsDoTheirWork) {
  box_->SetText(u"一二三");
  box_->View().RunCommand(ContextCommand::kSelectAll);
  EXPECT_EQ(box_->SelLength(), 3);
  box_->View().RunCommand(ContextCommand::kCopy);
  EXPECT_EQ(ReadClipboardText(View()), u"一二三");
  box_->View().RunCommand(ContextCommand::kDelete);
  EXPECT_EQ(box_->Text(), u"");
  box_->View().RunCommand(ContextCommand::kUndo);
  EXPECT_EQ(box_->Text(), u"一二三");
  box_->View().RunCommand(ContextCommand::kRedo);
  EXPECT_EQ(box_->Text(), u"");
  box_->View().RunCommand(ContextCommand::kPaste);
  EXPECT_EQ(box_->Text(), u"一二三");
}

// An HDROP as the shell builds one: DROPFILES, then the wide names, each ending in a zero, and
// one more zero after the last.
HGLOBAL BuildDrop(const std::vector<std::u16string>& names) {
  std::u16string list;
  for (const std::u16string& name : names) {
    list += name;
    list += u'\0';
  }
  list += u'\0';
  GlobalMemory memory(sizeof(DROPFILES) + list.size() * sizeof(char16_t));
  {
    const GlobalLockScope lock(memory.get());
    auto* header = static_cast<DROPFILES*>(lock.Data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(char16_t));
  }
  return memory.Release();
}

TEST_F(TextViewClipboard, DroppedFilesReachTheLogicWithTheirWideNames) {
  std::vector<std::u16string> dropped;
  int drops = 0;
  box_->OnDrop([&](const DropData& data) {
    ++drops;
    dropped = data.files;
  });
  const std::vector<std::u16string> names{u"C:\\文档\\笔记.txt", u"D:\\data\\x.log"};
  // The view hands the drop back to the shell, which frees it.
  Send(WM_DROPFILES, reinterpret_cast<WPARAM>(BuildDrop(names)));
  // Handed on once the drop is over.
  EXPECT_EQ(drops, 0);
  Pump();
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(dropped, names);
  EXPECT_EQ(box_->Text(), u"");
}

// OLE on the thread for as long as it lives, as the program starts it.
class OleSession {
 public:
  OleSession() : result_(::OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) ::OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

  bool Started() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

// OLE is there before the view is made, so that the view registers as a drop target.
class TextViewOleDrops : private OleSession, public ViewFixture {
 protected:
  bool OleStarted() const { return Started(); }

  POINTL ScreenPoint(POINT client) {
    ::ClientToScreen(View(), &client);
    return POINTL{client.x, client.y};
  }
};

TEST_F(TextViewOleDrops, TextDroppedFromAnotherProgramIsInsertedWhereItFalls) {
  ASSERT_TRUE(OleStarted());
  Win32EditBox& box = *box_;
  IDropTarget* target = box.View().DropTarget();
  ASSERT_NE(target, nullptr);
  box.SetText(u"前后");
  const ComReference<IDataObject> data(new TextDataObject(u"中\r\n间"));
  // On the edge between the two characters.
  UniscribeRowGeometry geometry(MeasuringTestFont());
  const float edge =
      geometry.XOfOffset(editor::RowText{u"前后", editor::Direction::kLeftToRight}, 1);
  const POINTL at = ScreenPoint(PointOf(0, edge));
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragEnter(data.get(), MK_LBUTTON, at, &effect), S_OK);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_MOVE});
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragOver(MK_LBUTTON | MK_CONTROL, at, &effect), S_OK);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_COPY});
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->Drop(data.get(), MK_CONTROL, at, &effect), S_OK);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_COPY});
  // Its line break is the document's; the dropped text ends up selected.
  EXPECT_EQ(box.Text(), u"前中\r\n间后");
  EXPECT_EQ(box.SelStart(), 1);
  EXPECT_EQ(box.SelLength(), 4);
}

TEST_F(TextViewOleDrops, WhatIsNeitherTextNorFilesIsRefused) {
  ASSERT_TRUE(OleStarted());
  IDropTarget* target = box_->View().DropTarget();
  ASSERT_NE(target, nullptr);
  // The data object of an empty clipboard: no format at all.
  ASSERT_TRUE(::OpenClipboard(View()));
  ::EmptyClipboard();
  ::CloseClipboard();
  IDataObject* nothing = nullptr;
  ASSERT_EQ(::OleGetClipboard(&nothing), S_OK);
  const ComReference<IDataObject> data(nothing);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragEnter(data.get(), MK_LBUTTON, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
  target->DragLeave();
}

}  // namespace
}  // namespace tambrel::platform::win32
