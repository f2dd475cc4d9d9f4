#pragma once

#include <optional>
#include <string>

#include "platform/background_work.h"

namespace tambrel::platform {

// The line the window shows under long work: what it is, how far it has come when that is known,
// anything else worth knowing meanwhile, and how to stop it when it can stop:
// "正在打开… 37%　载入完成后才能编辑　按 Esc 取消"
inline std::u16string WorkStripText(const ShownWork& shown, std::optional<int> percent) {
  std::u16string text = shown.what + u"…";
  if (percent) {
    const std::string digits = std::to_string(*percent);
    text += u" " + std::u16string(digits.begin(), digits.end()) + u"%";
  }
  if (!shown.note.empty()) text += u"　" + shown.note;
  if (shown.can_stop) text += u"　按 Esc 取消";
  return text;
}

}  // namespace tambrel::platform
