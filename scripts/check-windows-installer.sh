#!/usr/bin/env bash
# Runs the Windows installer under Wine as a user and an administrator would, and checks what it
# leaves behind:
#   its pages open in Chinese and cancelling them installs nothing;
#   silent (/S), it puts tambrel.exe and Pf.she in Program Files\Tambrel with an uninstaller, a
#   Start-menu shortcut and an entry under installed programs;
#   the shortcut starts the installed program, whose window appears;
#   the uninstaller, silent too, takes all of it away again.
# Pictures of the installer's pages and of the installed program go to
# <build-dir>/windows-screenshots/.
#   scripts/check-windows-installer.sh <build-dir>     (run by scripts/check-windows.sh)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(cd "${1:?usage: check-windows-installer.sh <build-dir>}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
setup=$build_dir/tambrel-$version-setup.exe
# What the installer was made from: the stripped program and the skin.
packed=$build_dir/packaging/windows/tambrel-$version
[[ -f $setup && -f $packed/tambrel.exe ]] ||
  { echo "no $setup: build the target tambrel_windows_packages first" >&2; exit 2; }
shots=$build_dir/windows-screenshots
mkdir -p "$shots"

pids=()
# shellcheck source=scripts/wine-lib.sh
source "$root/scripts/wine-lib.sh"
work=$(mktemp -d)
finish() {
  local status=$?
  if ((status != 0)) && [[ -n ${DISPLAY:-} ]]; then
    screenshot root "$shots/failure-installer.png" &&
      echo "screen at the failure: $shots/failure-installer.png" >&2
  fi
  wine_finish
  rm -rf "$work"
}
trap finish EXIT

start_desktop "$work"
wine_prefix_setup "$build_dir"
wine_graphics x11

folder=$WINEPREFIX/drive_c/Program\ Files/Tambrel
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Tambrel.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tambrel'
registered() { wine reg query "$key" >/dev/null 2>&1; }
registry_value() {
  wine_output reg query "$key" /v "$1" | sed -n "s/^ *$1 \+REG_[A-Z_]\+ \+//p"
}
nothing_installed() { [[ ! -e $folder && ! -e $shortcut ]] && ! registered; }

# A run that failed half-way may have left an installation behind.
rm -rf "$folder" "$shortcut"
wine reg delete "$key" /f >/dev/null 2>&1 || true

# The pages, for the pictures; Escape and 是 cancel on the second one.
wine "$setup" >"$work/setup.log" 2>&1 &
installer=$!
pids+=("$installer")
setup_window() { visible_window "Tambrel $version 安装"; }
wait_for 30 setup_window || fail "the installer's window never appeared"
pages=$(setup_window)
wait_for 10 active_is "$pages" || fail "the installer never got the focus"
picture() { window_pixels "$pages" | md5sum; }
# The first page's picture is taken once it stops changing: the page draws its bitmap late.
welcome=$(picture)
settled() {
  local now
  now=$(picture)
  [[ $now == "$welcome" ]] && return 0
  welcome=$now
  return 1
}
sleep 0.3
wait_for 10 settled || true
screenshot "$pages" "$shots/installer-welcome.png"
xdotool key Return
page_changed() { [[ $(picture) != "$welcome" ]]; }
wait_for 10 page_changed || fail "Return on the welcome page did not turn the page"
screenshot "$pages" "$shots/installer-folder.png"
xdotool key Escape
wait_for 10 active_is_not "$pages" || fail "Escape did not ask whether to leave the installer"
screenshot "$(active_window)" "$shots/installer-cancel.png"
xdotool key y
wait_for 20 not_running "$installer" || fail "the installer did not end after cancelling"
nothing_installed || fail "the cancelled installer left files or registry entries"

# Silent, as an administrator deploys it.
wine "$setup" /S || fail "the silent installer failed ($?)"
cmp -s "$folder/tambrel.exe" "$packed/tambrel.exe" || fail "Program Files has no tambrel.exe or another one"
cmp -s "$folder/Pf.she" "$packed/Pf.she" || fail "the skin is not beside the installed program"
[[ -f $folder/uninstall.exe ]] || fail "no uninstaller was installed"
[[ -f $shortcut ]] || fail "no Start-menu shortcut at $shortcut"
windows_folder='C:\Program Files\Tambrel'
[[ $(registry_value InstallLocation) == "$windows_folder" ]] ||
  fail "installed programs list it at \"$(registry_value InstallLocation)\""
[[ $(registry_value UninstallString) == "\"$windows_folder\\uninstall.exe\"" ]] ||
  fail "the uninstaller is registered as $(registry_value UninstallString)"
[[ $(registry_value DisplayVersion) == "$version" ]] ||
  fail "installed programs show version $(registry_value DisplayVersion)"
name=$(registry_value DisplayName)
[[ $name == Tambrel* ]] || fail "installed programs show it as \"$name\""

# The shortcut starts the installed program; with nothing typed it closes without a question.
wine start /wait 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Tambrel.lnk' \
  >"$work/installed.log" 2>&1 &
installed=$!
pids+=("$installed")
installed_window() { visible_window Tambrel; }
wait_for 60 installed_window || fail "the installed program's window never appeared"
window=$(installed_window)
wait_for 10 active_is "$window" || fail "the installed program never got the focus"
screenshot "$window" "$shots/installed-program.png"
xdotool key alt+F4
wait_for 20 not_running "$installed" || fail "the installed program did not end when closed"

# The uninstaller copies itself away and returns at once; its copy removes the rest.
wine "$windows_folder\\uninstall.exe" /S || fail "the silent uninstaller failed ($?)"
wait_for 30 nothing_installed || fail "the uninstaller left $(ls "$folder" 2>/dev/null | tr '\n' ' ')"
echo "The installer installed \"$name\", started it from the Start menu and uninstalled it under Wine"
