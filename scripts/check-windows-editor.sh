#!/usr/bin/env bash
# Drives the real Windows program under Wine on a virtual X display, as a user would, and checks
# each step by what it leaves in the file and on the screen:
#   it opens a GBK document with a Chinese name named on the command line, shows it with its
#   gutter, saves typed text with F2 to the bytes the scrambled form makes of it (computed by
#   scripts/windows_document.py, not by the program), finds a word with F8 and selects it, keeps
#   the text when 清屏 (F7) is answered 否, cancels the Open, Colour and Font dialogs, and on
#   closing asks about the unsaved change and, answered 否, ends without writing.
# Pictures of the window and of every dialog go to <build-dir>/windows-screenshots/.
#   scripts/check-windows-editor.sh <build-dir>        (run by scripts/check-windows.sh)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(cd "${1:?usage: check-windows-editor.sh <build-dir>}" && pwd)
program=$build_dir/bin/tambrel.exe
[[ -x $program ]] || { echo "no program at $program: build it first" >&2; exit 2; }
shots=$build_dir/windows-screenshots
mkdir -p "$shots"

pids=()
# shellcheck source=scripts/wine-lib.sh
source "$root/scripts/wine-lib.sh"
work=$(mktemp -d)
finish() {
  local status=$?
  if ((status != 0)); then
    [[ -n ${DISPLAY:-} ]] && screenshot root "$shots/failure-editor.png" &&
      echo "screen at the failure: $shots/failure-editor.png" >&2
    [[ -s $work/tambrel.log ]] && { echo "--- tambrel.log" >&2; tail -n 20 "$work/tambrel.log" >&2; }
  fi
  wine_finish
  rm -rf "$work"
}
trap finish EXIT

# The document and what each save must write, made independently of the program.
document=测试文档.txt
typed="typed under Wine 123"
python3 "$root/scripts/windows_document.py" sample "$work/$document"
cp "$work/$document" "$work/original.txt"
python3 "$root/scripts/windows_document.py" scramble "$work/original.txt" "$work/after-typing" \
  --append "$typed"
python3 "$root/scripts/windows_document.py" scramble "$work/original.txt" "$work/after-find" \
  --append "$typed" --replace-first abc XYZ

start_desktop "$work"
wine_prefix_setup "$build_dir"
wine_graphics x11

# The document is named as the user's shell would: a bare Chinese name in the current folder.
(cd "$work" && exec wine "$program" "$document") >"$work/tambrel.log" 2>&1 &
editor=$!
pids+=("$editor")

main_window() { visible_window Tambrel; }
wait_for 60 main_window || fail "the editor's window never appeared"
window=$(main_window)
wait_for 10 active_is "$window" || fail "the editor's window never got the focus"

# Dark pixels in the lower half of the window: text there means the document has been loaded
# (an empty editor shows none), and keys typed before that would be typed into the empty text.
lower_text() {
  local dark
  dark=$(window_pixels "$window" | python3 "$root/scripts/windows_screen.py" dark --lower-half)
  ((dark > 1500))
}
wait_for 20 lower_text || fail "the document's text never appeared in the window"
screenshot "$window" "$shots/editor-document.png"

# Waits for a dialog over the editor and answers it; $1 is its picture's name, $2 the title it
# must have ("" for any), the rest the command that answers.
answer_dialog() {
  local picture=$1 title=$2
  shift 2
  wait_for 15 active_is_not "$window" || fail "no dialog for $picture"
  local dialog
  dialog=$(active_window)
  if [[ -n $title ]]; then
    [[ $(window_name "$dialog") == "$title" ]] ||
      fail "the $picture dialog is titled \"$(window_name "$dialog")\", not \"$title\""
  fi
  screenshot "$dialog" "$shots/$picture.png"
  "$@"
  wait_for 15 active_is "$window" || fail "the editor did not get the focus back after $picture"
}

type_and_return() {
  xdotool type --delay 20 "$1"
  xdotool key Return
}

saved_as() { cmp -s "$work/$document" "$1"; }
expect_saved() {
  saved_as "$1" || fail "$2: the file holds $(od -An -tx1 "$work/$document" | head -c 300)..."
}

# Typing at the end of the text, then F2: the file named on the command line is saved without a
# dialog, and only then does 保存成功 appear.
xdotool key ctrl+End
xdotool type --delay 20 "$typed"
xdotool key F2
answer_dialog saved-message 提示 xdotool key Return
expect_saved "$work/after-typing" "after typing and F2"

# F8 asks for a word; the first "abc" becomes the selection, which typing replaces.
before=$(window_pixels "$window" | python3 "$root/scripts/windows_screen.py" dark)
xdotool key F8
answer_dialog find-input "" type_and_return abc
screenshot "$window" "$shots/editor-selection.png"
after=$(window_pixels "$window" | python3 "$root/scripts/windows_screen.py" dark)
# The highlight is dark behind light letters; the caret blinking changes some 30 pixels.
((after > before + 100)) || fail "no selection appeared after F8 (dark pixels $before, then $after)"
xdotool type --delay 20 XYZ
xdotool key F2
answer_dialog saved-again 提示 xdotool key Return
expect_saved "$work/after-find" "after F8 and typing over the selection"

# 清屏 answered 否 keeps the text: a save writes the same bytes again.
xdotool key F7
answer_dialog clear-question 提示 xdotool key n
xdotool key F2
answer_dialog saved-after-clear 提示 xdotool key Return
expect_saved "$work/after-find" "after 清屏 answered 否"

# The common dialogs open over the editor and cancel without touching the text.
xdotool key F1
answer_dialog open-dialog "" xdotool key Escape
xdotool key F5
answer_dialog colour-dialog "" xdotool key Escape
xdotool key F6
answer_dialog font-dialog "" xdotool key Escape

# An unsaved change, then closing: the question, answered 否, ends the program without a save.
xdotool type --delay 20 "!"
xdotool key alt+F4
answer_closing() {
  wait_for 15 active_is_named 提示 || fail "closing with a change asked nothing"
  screenshot "$(active_window)" "$shots/closing-question.png"
  xdotool key n
}
answer_closing
wait_for 20 not_running "$editor" || fail "the editor did not end after 否"
expect_saved "$work/after-find" "after closing with 否"
echo "The Windows editor opened, saved, found, kept its text and closed as it should under Wine"
