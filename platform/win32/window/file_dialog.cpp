#include "platform/win32/window/file_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

// Room for the longest path Windows accepts, not just MAX_PATH.
constexpr std::size_t kPathRoom = 32768;

}  // namespace

std::wstring DialogFilter(std::u16string_view pipes) {
  std::vector<std::u16string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t bar = pipes.find(u'|', start);
    parts.push_back(pipes.substr(start, bar == std::u16string_view::npos ? bar : bar - start));
    if (bar == std::u16string_view::npos) break;
    start = bar + 1;
  }
  std::wstring filter;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    filter += ToWide(parts[i]);
    filter += L'\0';
    filter += ToWide(parts[i + 1]);
    filter += L'\0';
  }
  if (!filter.empty()) filter += L'\0';
  return filter;
}

DWORD FileDialogFlags(FileDialogKind kind) {
  DWORD flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (kind == FileDialogKind::kSave) flags |= OFN_OVERWRITEPROMPT;
  return flags;
}

namespace {

// One run of the dialog; the extended error when it fails, 0 when the user cancels.
std::optional<std::u16string> RunDialog(HWND owner, FileDialogKind kind,
                                        std::u16string_view start, const std::wstring& filters,
                                        DWORD& error) {
  std::wstring path(std::max(kPathRoom, start.size() + 1), L'\0');
  std::copy(start.begin(), start.end(), path.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.Flags = FileDialogFlags(kind);
  const BOOL chosen =
      kind == FileDialogKind::kOpen ? ::GetOpenFileNameW(&dialog) : ::GetSaveFileNameW(&dialog);
  error = chosen ? 0 : ::CommDlgExtendedError();
  if (!chosen) return std::nullopt;
  return ToU16(path.c_str());
}

}  // namespace

std::optional<std::u16string> ChooseFile(HWND owner, FileDialogKind kind,
                                         const std::u16string& start,
                                         const std::u16string& filter) {
  const std::wstring filters = DialogFilter(filter);
  DWORD error = 0;
  auto chosen = RunDialog(owner, kind, start, filters, error);
  // A start the dialog refuses (a name with characters no file may have) is no reason to
  // refuse the user a dialog: it opens empty instead.
  if (error == FNERR_INVALIDFILENAME && !start.empty()) {
    chosen = RunDialog(owner, kind, u"", filters, error);
  }
  if (error != 0) {
    throw std::runtime_error("the file dialog failed with common dialog error " +
                             std::to_string(error));
  }
  return chosen;
}

}  // namespace tambrel::platform::win32
