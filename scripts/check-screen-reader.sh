#!/usr/bin/env bash
# Reads the built editor as a screen reader does: on a virtual X display with its own session bus
# and AT-SPI accessibility bus, scripts/screen_reader_probe.py starts the editor on a Chinese
# document and checks through AT-SPI that its text, caret, selection, pieces and editing are
# there and that it announces changes, so that a build that loses Qt's AT-SPI bridge or the text
# view's accessible interface fails here and not for a blind user.
#   scripts/check-screen-reader.sh [build-dir]
# It runs on a display of its own, always: the AT-SPI bus announces itself on the display, and a
# user's desktop has its own there. build-dir defaults to $TAMBREL_BUILD_DIR or build/; the
# program is <build-dir>/bin/tambrel.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-${TAMBREL_BUILD_DIR:-$root/build}}
program=$(cd "$build_dir" && pwd)/bin/tambrel
[[ -x $program ]] || { echo "no program at $program: build it first" >&2; exit 2; }

"$root/scripts/install-deps.sh" a11y

work=$(mktemp -d)
pids=()
finish() {
  local status=$?
  if ((status != 0)); then
    for log in "$work"/*.log; do
      [[ -s $log ]] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
    done
  fi
  # Newest first, so the buses go before the display they announce themselves on.
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

# The editor keeps its settings under a private home, not the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY
unset XAUTHORITY
# A window manager gives the editor the keyboard focus, which the typed keys need.
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 10 wm_running || fail "openbox did not start"

dbus-daemon --session --nofork --address="unix:path=$work/bus" >"$work/dbus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
wait_for 10 test -S "$work/bus" || fail "the session bus did not start"

# The accessibility bus, as a desktop session starts it; its registry starts with it.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
pids+=($!)
a11y_bus_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'true'
}
wait_for 20 a11y_bus_up || fail "the AT-SPI bus did not come up"

# Qt's bridge to AT-SPI, whether or not the desktop says a screen reader runs.
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1

# A document as a Chinese user has it: UTF-8 with a byte-order mark, two lines of a poem.
document=$work/poem.txt
printf '\xef\xbb\xbf%s\n%s\n' '春眠不觉晓，处处闻啼鸟。' '夜来风雨声，花落知多少。' >"$document"

# Debian's python3, which has pyatspi; the private HOME can hide a per-user one anyway.
/usr/bin/python3 "$root/scripts/screen_reader_probe.py" "$program" "$document" "$work/tambrel.log"
