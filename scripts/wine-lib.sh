# Shared by the Windows checks (sourced, not run): one Wine prefix per build folder, a virtual X
# desktop for the checks that need a real window, and the polling helpers they wait with.
# The caller sets -euo pipefail and fills `pids` with what it starts; wine_finish ends it all.

# Polls a command every 0.1 s until it succeeds or $1 seconds pass.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  while ((tries-- > 0)); do
    "$@" >/dev/null && return 0
    sleep 0.1
  done
  return 1
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The prefix lives in the build folder and is kept between runs: making one takes some 15 s.
# Its Chinese locale makes the system's ANSI code page 936, as on the users' machines. Its own
# home keeps Wine's links to Desktop and Documents, and its menu entries, out of the user's.
wine_prefix_setup() {
  local build_dir=$1
  export WINEPREFIX=$build_dir/wine
  export HOME=$build_dir/wine-home
  mkdir -p "$HOME"
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  # No Mono or Gecko installers, no desktop entries, no debug chatter.
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Making the Wine prefix $WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
  # One server for the whole check: each program then starts in under a second instead of three.
  wineserver -p
}

# Runs a console Wine program whose output (in code page 936) is wanted as UTF-8.
wine_output() {
  wine "$@" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r'
}

# Chooses Wine's graphics driver: null for the tests, which need no screen, or x11 for a real
# window on $DISPLAY. The desktop process reads the choice when it starts, so the server and
# everything it runs start afresh.
wine_graphics() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  # The first program starts Wine's services and the desktop, which keep its standard output
  # and error open for as long as the server runs: a test started first would never seem to end
  # to CTest. Started here, with nothing to hold open.
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
}

# Starts Xvfb and openbox (which gives windows and dialogs the keyboard focus) and exports
# DISPLAY. Logs go to $1.
start_desktop() {
  local logs=$1
  exec 3>"$logs/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  wait_for 10 test -s "$logs/display" || fail "Xvfb did not start"
  DISPLAY=:$(cat "$logs/display")
  export DISPLAY
  openbox --sm-disable >"$logs/openbox.log" 2>&1 &
  pids+=($!)
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for 10 wm_running || fail "openbox did not start"
}

# Ends what the check started, newest first: the Windows programs with the Wine server, then the
# window manager and the display they drew on.
wine_finish() {
  wineserver -k 2>/dev/null || true
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
}

active_window() { xdotool getactivewindow 2>/dev/null; }
window_name() { xdotool getwindowname "$1" 2>/dev/null; }
active_name() {
  local id
  id=$(active_window) && window_name "$id"
}
active_is_named() { [[ $(active_name) == "$1" ]]; }
active_is() { [[ $(active_window) == "$1" ]]; }
active_is_not() {
  local id
  id=$(active_window) && [[ -n $id && $id != "$1" ]]
}
# The visible top-level window with exactly this title, if there is one.
visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
# Whether a process of ours is still running.
running() { kill -0 "$1" 2>/dev/null; }
not_running() { ! running "$1"; }

# One window's pixels as an 8-bit binary PPM on standard output, for scripts/windows_screen.py.
window_pixels() { import -window "$1" -depth 8 ppm:- 2>/dev/null; }

# Keeps a picture of one window (or of the screen with "root") as PNG.
screenshot() {
  import -window "$1" "$2" 2>/dev/null || echo "could not take $2" >&2
}
