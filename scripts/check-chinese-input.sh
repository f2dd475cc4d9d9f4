#!/usr/bin/env bash
# Types pinyin into the built editor through a real fcitx5 on a virtual X display, saves the
# document and checks that the file holds 你好, so a Qt build or package that loses the fcitx5
# frontend fails here and not on a user's desktop.
#   scripts/check-chinese-input.sh [--visible] [--screenshot FILE] [build-dir]
#     --visible          use the display in $DISPLAY (and its window manager) instead of Xvfb
#     --screenshot FILE  keep a picture of the pinyin candidates there
# build-dir defaults to $TAMBREL_BUILD_DIR or build/; the program is <build-dir>/bin/tambrel.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
visible=no
screenshot=
build_dir=${TAMBREL_BUILD_DIR:-$root/build}
while (($#)); do
  case $1 in
    --visible) visible=yes ;;
    --screenshot) screenshot=${2:?--screenshot needs a file}; shift ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) build_dir=$1 ;;
  esac
  shift
done
program=$(cd "$build_dir" && pwd)/bin/tambrel
[[ -x $program ]] || { echo "no program at $program: build it first" >&2; exit 2; }

"$root/scripts/install-deps.sh" ime

work=$(mktemp -d)
pids=()
finish() {
  local status=$?
  if ((status != 0)) && [[ -n ${DISPLAY:-} ]]; then
    import -window root "$work/failure.png" 2>/dev/null &&
      cp "$work/failure.png" /tmp/tambrel-ime-failure.png &&
      echo "screen at the failure: /tmp/tambrel-ime-failure.png" >&2
    for log in "$work"/*.log; do
      [[ -s $log ]] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
    done
  fi
  # Newest first, so the editor and fcitx5 go before the display and bus they use.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap finish EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Polls a command every 0.1 s until it succeeds or $1 seconds pass.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  while ((tries-- > 0)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# fcitx5 and the editor keep their settings under a private home, not the user's; a visible
# display's X cookie stays where it was.
if [[ -z ${XAUTHORITY:-} && -f $HOME/.Xauthority ]]; then export XAUTHORITY=$HOME/.Xauthority; fi
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/fcitx5/conf" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# keyboard-us is the inactive state; activating the input method switches to pinyin.
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
EOF

if [[ $visible == no ]]; then
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  DISPLAY=:$(cat "$work/display")
  export DISPLAY
  # A window manager gives the editor and its dialogs the keyboard focus.
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for 10 wm_running || fail "openbox did not start"
fi
[[ -n ${DISPLAY:-} ]] || fail "--visible needs DISPLAY"

dbus-daemon --session --nofork --address="unix:path=$work/bus" >"$work/dbus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
wait_for 10 test -S "$work/bus" || fail "the session bus did not start"

# The tray and panel addons wait for services a bare X display lacks; Qt talks D-Bus, not XIM.
fcitx5 --disable=notificationitem,kimpanel,wayland,waylandim,clipboard,xim \
  >"$work/fcitx5.log" 2>&1 &
pids+=($!)
fcitx_running() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'true'
}
wait_for 20 fcitx_running || fail "fcitx5 did not come up on the session bus"

export QT_QPA_PLATFORM=xcb QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
# The Save dialog opens in the working folder, an empty one here, so that a bare file name can
# be typed: a path, or a folder with files, opens the dialog's completer list, and a key typed
# as that list appears is lost about once in 40 tries under load when fcitx5 handles the keys.
mkdir -p "$work/out"
(cd "$work/out" && exec "$program") >"$work/tambrel.log" 2>&1 &
pids+=($!)

active_name() { xdotool getactivewindow getwindowname 2>/dev/null; }
active_is() { [[ $(active_name) == "$1" ]]; }
active_is_not() { local name; name=$(active_name) && [[ -n $name && $name != "$1" ]]; }
wait_for 20 active_is Tambrel || fail "the editor's window never got the focus"

# fcitx5 starts inactive; -o activates the focused input context once the editor has told
# fcitx5 about it.
im_state() { fcitx5-remote 2>/dev/null; }
activate() { fcitx5-remote -o 2>/dev/null; [[ $(im_state) == 2 ]]; }
wait_for 10 activate || fail "pinyin never became active (state $(im_state))"

xdotool type --delay 80 nihao
input_window_shown() {
  local id
  for id in $(xwininfo -root -tree | awk '/Fcitx5 Input Window/ {print $1}'); do
    xwininfo -id "$id" | grep -q 'Map State: IsViewable' && return 0
  done
  return 1
}
input_window_hidden() { ! input_window_shown; }
wait_for 10 input_window_shown || fail "no pinyin candidate window appeared"
if [[ -n $screenshot ]]; then
  import -window root "$screenshot"
  echo "candidates: $screenshot"
fi
xdotool key space
wait_for 10 input_window_hidden ||
  fail "the candidate window stayed open after space"

# Plain keys for the file name: switch pinyin off again.
fcitx5-remote -c
im_off() { [[ $(im_state) == 1 ]]; }
wait_for 10 im_off || fail "pinyin did not switch off"

saved=$work/out/nihao.txt
xdotool key F2
wait_for 10 active_is_not Tambrel || fail "F2 opened no Save dialog"
save_dialog=$(active_name)
xdotool type --delay 20 "$(basename "$saved")"
xdotool key Return
wait_for 10 active_is_not "$save_dialog" || fail "the Save dialog did not close"
wait_for 10 test -s "$saved" || fail "nothing was saved to $saved"
wait_for 10 active_is_not Tambrel || fail "no message after saving"
notice=$(active_name)
xdotool key Return
wait_for 10 active_is Tambrel || fail "the message \"$notice\" did not close"

# Unscrambles independently of the program: drop the end marker, then raise every single
# byte and every trail byte by 1 and read the result as GBK. Debian's python3, since the private
# HOME can hide a per-user one.
text=$(/usr/bin/python3 - "$saved" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
marker = b"-RgPw"
if not data.endswith(marker):
    sys.exit(f"no end marker: {data!r}")
data = data[: -len(marker)]
plain = bytearray()
i = 0
while i < len(data):
    if data[i] >= 0x81 and i + 1 < len(data):
        plain += bytes([data[i], data[i + 1] + 1])
        i += 2
    else:
        plain.append(data[i] + 1)
        i += 1
sys.stdout.write(plain.decode("gbk"))
EOF
) || fail "the saved file is not a scrambled document: $(od -An -tx1 "$saved")"
[[ $text == 你好 ]] || fail "the saved text is \"$text\", not 你好 ($(od -An -tx1 "$saved"))"
echo "pinyin through fcitx5 saved 你好 (dialogs: \"$save_dialog\", \"$notice\")"
