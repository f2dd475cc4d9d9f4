#include "commands/clear_and_stamp.h"
#include "commands/find.h"
#include "commands/font_and_colour.h"
#include "main_window/form1.h"

namespace tambrel::main_window {

using platform::ControlDefinition;
using platform::ControlKind;
using platform::DefineControl;
using platform::FontChoice;
using platform::MenuDefinition;

namespace {
const FontChoice kDesignFont{u"宋体", 12.0, false, false};
}  // namespace

platform::WindowDefinition Form1Definition(Form1& form) {
  platform::WindowDefinition definition;
  definition.name = "Form1";
  definition.caption = u"Tambrel";
  definition.client_width = 11235;
  definition.client_height = 8775;
  definition.icon_images = {":/icons/tambrel-48.png", ":/icons/tambrel-32.png",
                            ":/icons/tambrel-16.png"};

  ControlDefinition timer2 = DefineControl("Timer2", ControlKind::kTimer, "Form1", 2160, 840);
  timer2.interval = 1;
  timer2.enabled = false;

  ControlDefinition common_dialog =
      DefineControl("CommonDialog1", ControlKind::kCommonDialog, "Form1", 1200, 840);

  ControlDefinition container =
      DefineControl("Container", ControlKind::kContainer, "Form1", 0, 0, 11235, 8775);
  container.back_color = platform::kSystemWindowBackground;
  container.fore_color = platform::kSystemWindowText;
  container.tab_index = 0;

  ControlDefinition pic_lines =
      DefineControl("picLines", ControlKind::kPictureBox, "Container", 0, 0, 600, 8655);
  pic_lines.back_color = platform::kWhite;
  pic_lines.fore_color = platform::kBlack;
  pic_lines.font = kDesignFont;
  pic_lines.tab_index = 1;

  ControlDefinition timer3 = DefineControl("Timer3", ControlKind::kTimer, "picLines", 0, 120);
  timer3.interval = 500;
  timer3.enabled = true;

  ControlDefinition text1 =
      DefineControl("Text1", ControlKind::kEditBox, "Container", 600, 0, 10575, 8655);
  text1.back_color = platform::kWhite;
  text1.fore_color = platform::kBlack;
  text1.font = kDesignFont;
  text1.tab_index = 2;
  text1.accepts_drops = true;

  definition.controls = {timer2, common_dialog, container, pic_lines, timer3, text1};

  // Each row calls the command that does the work. The controls are looked up when the row is
  // chosen: the window they belong to is built from this very definition.
  Form1* f = &form;
  const auto command = [f](std::function<void()> work) -> std::function<void()> {
    return [f, work = std::move(work)] { f->RunCommand(work); };
  };
  definition.menus = {
      MenuDefinition{"Cd", u"菜单(&C)", "", "", nullptr},
      MenuDefinition{"Open", u"打开", "Cd", "F1", command([f] { f->file_commands_.Open_Click(); })},
      MenuDefinition{"Bc", u"保存", "Cd", "F2", command([f] { f->file_commands_.Bc_Click(); })},
      MenuDefinition{"Save", u"另保存", "Cd", "F3",
                     command([f] { f->file_commands_.Save_Click(); })},
      MenuDefinition{"Timer", u"当前时间", "Cd", "F4",
                     command([f] { commands::Timer_Click(f->Text1, *f->clock_); })},
      MenuDefinition{"Zt", u"字体(&Z)", "", "", nullptr},
      MenuDefinition{"ZtC", u"字体颜色", "Zt", "F5",
                     command([f] { commands::ZtC_Click(f->Text1, f->CommonDialog1); })},
      MenuDefinition{"ZtB", u"字体类型", "Zt", "F6", command([f] {
                       commands::ZtB_Click(f->Text1, f->picLines, f->CommonDialog1);
                     })},
      MenuDefinition{"Bj", u"编辑(&B)", "", "", nullptr},
      MenuDefinition{"Qp", u"清屏", "Bj", "F7",
                     command([f] { commands::Qp_Click(f->Text1, f->window_->Dialogs()); })},
      MenuDefinition{"Cz", u"查找", "Bj", "F8", command([f] {
                       commands::Cz_Click(f->Text1, f->window_->Dialogs(), f->window_->Work(),
                                          f->find_pos_);
                     })},
  };
  return definition;
}

}  // namespace tambrel::main_window
