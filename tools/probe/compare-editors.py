#!/usr/bin/env python3
"""Times what a user sees in Tambrel and in FeatherPad, on the same files, by watching the screen.

Each editor runs on its own Xvfb display (1920x1080x24) under openbox. The probe reads the whole
screen through X shared memory every few milliseconds and times, from the moment it starts the
program or sends a key:
  open     launch -> the document's first text visible
  end      Ctrl+End right after that -> the view moved and settled (Tambrel: and gutter numbers
           visible again, since its gutter shows none until every row is counted)
  grow     xdotool windowsize 1800x1000 -> text painted at the new size, then at once
           Ctrl+End -> settled (Tambrel: and gutter numbers visible)
  key      one letter typed at the end -> first change on screen
  pageup   three PageUp presses -> settled
  memory   VmHWM of the editor after the document is shown and counted, and at the end
Every case runs --runs times; the report gives medians. A caret blink (a change 1-2 pixels wide)
does not count as a change. See README.md beside this file.
"""

import argparse
import json
import os
import pwd
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_text  # noqa: E402
import xscreen  # noqa: E402

clock = time.monotonic
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
GROWN = (1800, 1000)
INF = float("inf")

LINE_FILES = {"lines-10MB": 10_000_000, "lines-50MB": 50_000_000, "lines-100MB": 100_000_000}
ONE_LINE_FILES = {"one-line-5MB": 5_000_000, "one-line-50MB": 50_000_000}


def log(*parts):
    print(time.strftime("%H:%M:%S"), *parts, file=sys.stderr, flush=True)


class Display:
    """An Xvfb server with openbox, and a fast reader of its screen."""

    def __init__(self, number, grabber):
        self.name = f":{number}"
        socket = f"/tmp/.X11-unix/X{number}"
        if os.path.exists(socket):
            raise RuntimeError(f"display {self.name} is taken; pick another with --display")
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-br",
             "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wm = None
        self.grabber = None
        deadline = clock() + 10
        while not os.path.exists(socket):
            if clock() > deadline or self.xvfb.poll() is not None:
                raise RuntimeError(f"Xvfb {self.name} did not start")
            time.sleep(0.05)
        self.wm = subprocess.Popen(["openbox"], env=self.env(), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        while subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env(),
                             capture_output=True, text=True).stdout.find("window id") < 0:
            if clock() > deadline:
                raise RuntimeError("openbox did not start")
            time.sleep(0.05)
        self.grabber = xscreen.make_grabber(grabber, self.name)
        self.keyboard = xscreen.Keyboard(self.name)
        self.use_xdotool_keys = False

    def env(self, extra=None):
        env = dict(os.environ, DISPLAY=self.name)
        env.update(extra or {})
        return env

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env(), capture_output=True,
                              text=True).stdout

    def key(self, combo):
        """Sends a key; returns the time it was sent."""
        sent = clock()
        if self.use_xdotool_keys:
            self.xdotool("key", combo)
        else:
            self.keyboard.key(combo)
        return sent

    def grab(self):
        return self.grabber.grab(clock)

    def close(self):
        if self.grabber:
            self.grabber.close()
            self.keyboard.close()
        for proc in (self.wm, self.xvfb):
            if proc and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()


def meaningful(box):
    # A caret blink repaints a strip one or two pixels wide; anything else is a real change.
    return box is not None and not (box[2] <= 2 and box[3] <= 40)


class Watcher:
    """Polls the screen and reports changes, ignoring the caret's blink."""

    def __init__(self, display, interval):
        self.display = display
        self.interval = interval
        self.last = display.grab()

    def step(self):
        time.sleep(self.interval)
        frame = self.display.grab()
        changed = None
        if frame.data != self.last.data:
            box = xscreen.diff_box(self.last, frame)
            if meaningful(box):
                changed = box
        self.last = frame
        return frame, changed

    def until(self, condition, timeout):
        """The first frame for which condition(frame) holds, or None after timeout seconds."""
        deadline = clock() + timeout
        frame = self.last
        if condition(frame):
            return frame
        while clock() < deadline:
            frame, _ = self.step()
            if condition(frame):
                return frame
        return None

    def first_change(self, timeout, accept=None):
        """The first frame with a change (for which accept(box) holds, if given)."""
        deadline = clock() + timeout
        while clock() < deadline:
            frame, changed = self.step()
            if changed and (accept is None or accept(changed)):
                return frame
        return None

    def settle(self, quiet, timeout, also=None, also_if_still=None):
        """Waits until nothing changes for `quiet` s (and also(frame) holds, if given; if the
        screen never changes, also_if_still(frame) instead).

        Returns (first changed frame or None, last changed frame or None, frame where also()
        first held or None, timed_out)."""
        deadline = clock() + timeout
        start = self.last
        first = last = seen = None
        quiet_from = clock()
        while True:
            frame, changed = self.step()
            if changed:
                first = first or frame
                last = frame
                quiet_from = frame.time
            # Before the screen first moves, what also() sees is the old view; if it never
            # moves, the old view was already the answer.
            if also and seen is None and (first is None or also(frame)):
                if first is not None:
                    seen = frame
                elif frame.time - quiet_from >= quiet and (also_if_still or also)(frame):
                    seen = start
            done = frame.time - quiet_from >= quiet and (also is None or seen is not None)
            if done:
                return first, last, seen, False
            if clock() > deadline:
                return first, last, seen, True


class Layout:
    """Where an editor's text and gutter are, found from an empty and a short document."""

    def __init__(self, window, text, gutter):
        self.window = window  # (x, y, w, h) of the client area at start
        self.text = text
        self.gutter = gutter

    def moved(self, window, grow=(0, 0)):
        dx, dy = window[0] - self.window[0], window[1] - self.window[1]

        def shift(rect, grow_w):
            if rect is None:
                return None
            return (rect[0] + dx, rect[1] + dy, rect[2] + (grow[0] if grow_w else 0),
                    rect[3] + grow[1])
        return Layout(window, shift(self.text, True), shift(self.gutter, False))

    def as_dict(self):
        return {"window": self.window, "text": self.text, "gutter": self.gutter}


def clusters(flags, gap):
    """Runs of set positions in flags, joining runs separated by at most `gap` clear ones."""
    runs = []
    start = prev = None
    for i, on in enumerate(flags):
        if not on:
            continue
        if start is None:
            start = i
        elif i - prev > gap + 1:
            runs.append((start, prev))
            start = i
        prev = i
    if start is not None:
        runs.append((start, prev))
    return runs


def find_layout(empty, full, window):
    """Text area: the tallest band of rows and widest run of columns where the short document
    differs from the empty one; a narrow run just left of it is a gutter."""
    wx, wy, ww, wh = window
    stride = empty.stride
    rows = []
    for y in range(wy, wy + wh):
        s = y * stride + wx * 4
        rows.append(empty.data[s:s + ww * 4] != full.data[s:s + ww * 4])
    top, bottom = max(clusters(rows, 12), key=lambda r: r[1] - r[0])
    top += wy
    bottom += wy
    cols = []
    for x in range(wx, wx + ww):
        s = top * stride + x * 4 + 1
        e = bottom * stride + x * 4 + 2
        cols.append(empty.data[s:e:stride] != full.data[s:e:stride])
    runs = clusters(cols, 6)
    widest = max(runs, key=lambda r: r[1] - r[0])
    text = (wx + widest[0], top, widest[1] - widest[0] + 1, bottom - top + 1)
    gutter = None
    left = [r for r in runs if r[1] < widest[0]]
    if left and left[-1][1] - left[-1][0] < 100 and widest[0] - left[-1][1] < 30:
        g = left[-1]
        gutter = (wx + g[0], top, g[1] - g[0] + 1, bottom - top + 1)
    return Layout(window, text, gutter)


def shows_text(layout):
    # The edit area is painted (mostly light) and holds a few characters' worth of dark pixels.
    def condition(frame):
        dark, light, total = xscreen.count_pixels(frame, layout.text)
        return light > total * 0.45 and dark >= 150
    return condition


def shows_gutter_numbers(layout, before=None):
    """Tambrel's gutter widens with the numbers in it, so its right edge (a vertical line the
    height of the text area) is looked for in each frame, and digits are counted left of it.
    With `before`, the gutter must also differ from that frame's: numbers left over from the
    view before a key do not count."""
    wx = layout.window[0]
    _tx, top, _tw, height = layout.text

    def condition(frame):
        stride = frame.stride
        first = top * stride + 1
        last = (top + height - 1) * stride + 2
        for x in range(wx + 3, min(layout.text[0] + 200, frame.width)):
            greens = frame.data[first + x * 4:last + x * 4:stride]
            if greens.translate(xscreen._LIGHT).count(1) > len(greens) // 20:
                continue
            strip = (wx + 3, top, x - wx - 4, height)
            _dark, light, total = xscreen.count_pixels(frame, strip)
            if total == 0 or light <= total * 0.45 or total - light < 40:
                return False
            return before is None or xscreen.diff_box(before, frame, strip) is not None
        return False
    return condition


class Editor:
    def __init__(self, name, argv):
        self.name = name
        self.argv = argv


def editors(args):
    tambrel = args.tambrel or os.path.join(ROOT, "build-probe", "bin", "tambrel")
    return {
        "tambrel": Editor("Tambrel", lambda path: [tambrel, path]),
        "featherpad": Editor("FeatherPad", lambda path: ["featherpad", "--standalone", path]),
    }


class Running:
    """One started editor with a fresh home, as an unprivileged user when the probe is root."""

    def __init__(self, display, editor, path, user):
        self.display = display
        self.home = tempfile.mkdtemp(prefix="probe-home-")
        runtime = os.path.join(self.home, "run")
        os.mkdir(runtime, 0o700)
        extra = {"HOME": self.home, "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                 "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
                 "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
                 "XDG_RUNTIME_DIR": runtime, "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8",
                 "DBUS_SESSION_BUS_ADDRESS": "disabled:", "QT_QPA_PLATFORM": "xcb"}
        kwargs = {}
        if user:
            entry = pwd.getpwnam(user)
            for dirpath, _dirs, _files in os.walk(self.home):
                os.chown(dirpath, entry.pw_uid, entry.pw_gid)
            kwargs = {"user": entry.pw_uid, "group": entry.pw_gid, "extra_groups": []}
        self.log = open(os.path.join(self.home, "editor.log"), "wb")
        self.started = clock()
        self.proc = subprocess.Popen(editor.argv(path), env=display.env(extra),
                                     stdout=self.log, stderr=subprocess.STDOUT, **kwargs)

    def window(self):
        """(window id, (x, y, w, h)) of the editor's visible window."""
        for _ in range(100):
            ids = self.display.xdotool("search", "--onlyvisible", "--pid",
                                       str(self.proc.pid)).split()
            if ids:
                wid = ids[-1]
                geometry = self.display.xdotool("getwindowgeometry", "--shell", wid)
                values = dict(line.split("=", 1) for line in geometry.split())
                return wid, (int(values["X"]), int(values["Y"]), int(values["WIDTH"]),
                             int(values["HEIGHT"]))
            time.sleep(0.1)
        raise RuntimeError("no window appeared")

    def peak_memory_kib(self):
        try:
            with open(f"/proc/{self.proc.pid}/status") as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1])
        except OSError:
            pass
        return None

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
        self.proc.wait()
        self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)


def calibrate(display, editor, workdir, user, args):
    """Finds the editor's text area and gutter on this display."""
    path = os.path.join(workdir, f"calibrate-{editor.name}.txt")
    frames = []
    window = None
    for size in (0, 40_000):
        if size:
            gen_text.write_lines(path, size)
        else:
            open(path, "wb").close()
        run = Running(display, editor, path, user)
        try:
            _wid, window = run.window()
            watcher = Watcher(display, args.interval)
            watcher.settle(args.quiet, 30)
            frames.append(watcher.last)
        finally:
            run.stop()
        time.sleep(0.5)
    return find_layout(frames[0], frames[1], window)


def probe_floor(display, args):
    """Times an instant change (the desktop repainted by the probe itself)."""
    watcher = Watcher(display, args.interval)
    times = []
    for index in range(args.floor_runs):
        sent = clock()
        display.keyboard.paint_root(0x336699 if index % 2 == 0 else 0x000000)
        frame = watcher.first_change(5)
        times.append(frame.time - sent if frame else INF)
        time.sleep(0.1)
    display.keyboard.paint_root(0)
    reads = []
    periods = []
    for _ in range(50):
        before = clock()
        display.grab()
        reads.append(clock() - before)
        before = clock()
        watcher.step()
        periods.append(clock() - before)
    return {"instant_change_s": times, "grab_s": statistics.median(reads),
            "sample_period_s": statistics.median(periods)}


def keystroke_floor(display, editor, workdir, user, args):
    """Times a letter typed into an empty document, sent through XTest and through xdotool."""
    path = os.path.join(workdir, "empty.txt")
    open(path, "wb").close()
    os.chmod(path, 0o666)
    run = Running(display, editor, path, user)
    times = {"xtest": [], "xdotool": []}
    try:
        run.window()
        watcher = Watcher(display, args.interval)
        watcher.settle(args.quiet, 30)
        for way in times:
            display.use_xdotool_keys = way == "xdotool"
            for _ in range(args.floor_runs):
                sent = display.key("m")
                frame = watcher.first_change(5)
                times[way].append(frame.time - sent if frame else INF)
                watcher.settle(0.6, 10)
    finally:
        display.use_xdotool_keys = args.keys == "xdotool"
        run.stop()
    return {"key_xtest_s": times["xtest"], "key_xdotool_s": times["xdotool"]}


def measure_case(display, editor, layout, path, case, timeout, user, args, shots):
    """One launch of one editor on one file, through every step; times in seconds."""
    result = {}
    run = Running(display, editor, path, user)
    pictures = []

    def keep(name, frame):
        if shots is not None and frame is not None:
            pictures.append((name, frame))

    def seconds(frame, since):
        return round(frame.time - since, 4) if frame is not None else None

    def again_at_end(field, shot):
        """A second Ctrl+End moves nothing if the first one really reached the end."""
        display.key("ctrl+End")
        first, _, _, timed_out = watcher.settle(args.quiet, timeout)
        result[field] = first is None
        if first is not None:
            keep(shot, watcher.last)
        return not timed_out

    try:
        watcher = Watcher(display, args.interval)
        started = run.started
        frame = watcher.until(shows_text(layout), timeout)
        if frame is None:
            result["open"] = INF
            return result
        result["open"] = seconds(frame, started)
        keep("1-open", frame)

        # Ctrl+End at once: the view goes to the end; Tambrel's gutter waits for the count.
        before = watcher.last
        sent = display.key("ctrl+End")
        gutter = shows_gutter_numbers(layout, before) if layout.gutter else None
        still = shows_gutter_numbers(layout) if layout.gutter else None
        first, last, seen, timed_out = watcher.settle(args.quiet, timeout, gutter, still)
        keep("2-end-first-change", first)
        if timed_out:
            keep("2-end-timeout", watcher.last)
            result["end_note"] = (f"last change {seconds(last, sent)} s, gutter numbers "
                                  f"{'seen' if seen else 'not seen'}")
            result["end_settled"] = INF
            if gutter:
                result["end_gutter_from_launch"] = INF
            return result
        result["end_first_change"] = seconds(first, sent)
        result["end_settled"] = seconds(last, sent) if last else 0.0
        if gutter:
            result["end_gutter_from_key"] = seconds(seen, sent)
            result["end_gutter_from_launch"] = seconds(seen, started)
            keep("2-end-gutter-shown", seen)
        result["memory_after_open_kib"] = run.peak_memory_kib()
        keep("2-end-settled", watcher.last)
        if not again_at_end("end_reached", "2-end-again"):
            return result

        # Back to the top, so that growing the window re-wraps what is on screen and the next
        # Ctrl+End has to find the end of the re-wrapped document.
        sent = display.key("ctrl+Home")
        first, last, _, timed_out = watcher.settle(args.quiet, timeout)
        if timed_out:
            result["home_settled"] = INF
            return result
        result["home_settled"] = seconds(last, sent) if last else 0.0

        # Put the window at the top left first, so the grown window fits on the screen.
        wid, window = run.window()
        display.xdotool("windowmove", wid, "0", "0")
        watcher.settle(args.quiet, timeout)
        _, window = run.window()
        big = layout.moved(window, (GROWN[0] - window[2], GROWN[1] - window[3]))
        # Painted at the new size: text in the band below where the old window ended.
        old_bottom = layout.text[1] - layout.window[1] + window[1] + layout.text[3]
        band = (big.text[0], old_bottom + 20, big.text[2],
                big.text[1] + big.text[3] - old_bottom - 40)
        sent = clock()
        display.xdotool("windowsize", wid, str(GROWN[0]), str(GROWN[1]))
        frame = watcher.until(shows_text(Layout(big.window, band, None)), timeout)
        if frame is None:
            keep("3-grown-timeout", watcher.last)
            result["grow_painted"] = INF
            return result
        result["grow_painted"] = seconds(frame, sent)
        keep("3-grown", frame)

        # Ctrl+End as soon as the grown window shows text, as a user would.
        before = watcher.last
        sent = display.key("ctrl+End")
        gutter = shows_gutter_numbers(big, before) if big.gutter else None
        still = shows_gutter_numbers(big) if big.gutter else None
        first, last, seen, timed_out = watcher.settle(args.quiet, timeout, gutter, still)
        if timed_out:
            keep("4-grown-end-timeout", watcher.last)
            result["grow_end_settled"] = INF
            result["grow_end_note"] = (f"last change {seconds(last, sent)} s, gutter numbers "
                                       f"{'seen' if seen else 'not seen'}")
            return result
        result["grow_end_first_change"] = seconds(first, sent)
        result["grow_end_settled"] = seconds(last, sent) if last else 0.0
        if gutter:
            result["grow_end_gutter"] = seconds(seen, sent)
        keep("4-grown-end", watcher.last)
        if not again_at_end("grow_end_reached", "4-grown-end-again"):
            return result

        # A letter changes a few glyphs, or scrolls the view if it wraps; a wide, low change
        # (FeatherPad's bar saying a file with huge lines cannot be edited going away) is not
        # the letter.
        def letter(box):
            return box[2] < big.text[2] // 2 or box[3] > big.text[3] * 0.4
        sent = display.key("m")
        frame = watcher.first_change(timeout, letter)
        if frame is None:
            keep("5-typed-timeout", watcher.last)
            result["key"] = INF
            return result
        result["key"] = seconds(frame, sent)
        keep("5-typed-first-change", frame)
        first, last, _, timed_out = watcher.settle(args.quiet, timeout)
        result["key_settled"] = INF if timed_out else seconds(last or frame, sent)
        if timed_out:
            return result
        keep("5-typed", watcher.last)

        sent = display.key("Prior")
        for _ in range(2):
            display.key("Prior")
        first, last, _, timed_out = watcher.settle(args.quiet, timeout)
        result["pageup_settled"] = INF if timed_out else (seconds(last, sent) if last else 0.0)
        keep("6-pageup", watcher.last)
        result["memory_end_kib"] = run.peak_memory_kib()
    finally:
        result["memory_last_kib"] = run.peak_memory_kib()
        run.stop()
        for name, frame in pictures:
            xscreen.write_png(frame, os.path.join(shots, f"{editor.name}-{case}-{name}.png"))
    return result


def median(values):
    values = [v for v in values if v is not None]
    if not values:
        return None
    return statistics.median(values)


def show(value, unit="s"):
    if value is None:
        return "-"
    if value == INF:
        return "timeout"
    if value == 0:
        return "no change"
    if unit == "MiB":
        return f"{value / 1024:.0f} MiB"
    if value < 0.1:
        return f"{value * 1000:.1f} ms"
    return f"{value * 1000:.0f} ms" if value < 1 else f"{value:.2f} s"


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--editors", default="tambrel,featherpad")
    parser.add_argument("--files", default=",".join([*LINE_FILES, *ONE_LINE_FILES]))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--floor-runs", type=int, default=9)
    parser.add_argument("--tambrel", help="the program (default build-probe/bin/tambrel)")
    parser.add_argument("--data-dir", default="/tmp/probe-data")
    parser.add_argument("--shots", default="/tmp/probe-shots",
                        help="where Tambrel's screenshots go (first run of the 100 MB and "
                             "50 MB one-line files)")
    parser.add_argument("--shot-files", default="lines-100MB,one-line-50MB")
    parser.add_argument("--shot-editors", default="tambrel")
    parser.add_argument("--grabber", choices=("shm", "xwd"), default="shm")
    parser.add_argument("--keys", choices=("xtest", "xdotool"), default="xtest",
                        help="how keys are sent (xdotool adds its own start-up to each time)")
    parser.add_argument("--interval", type=float, default=0.003,
                        help="pause between screen reads, s")
    parser.add_argument("--quiet", type=float, default=1.5,
                        help="no change for this long counts as settled, s")
    parser.add_argument("--timeout", type=float, default=120, help="per step, s")
    parser.add_argument("--long-line-timeout", type=float, default=30, help="per step, s")
    parser.add_argument("--display", type=int, default=91, help="first display number")
    parser.add_argument("--user", default="nobody" if os.geteuid() == 0 else "",
                        help="run the editors as this user (FeatherPad warns over its text "
                             "when run as root)")
    parser.add_argument("--floor-only", action="store_true",
                        help="measure only the probe's floor (e.g. to compare --grabber xwd)")
    parser.add_argument("--json", default="/tmp/probe-results.json")
    parser.add_argument("--report", metavar="JSON",
                        help="only print the tables of an earlier run's results")
    args = parser.parse_args()
    if args.report:
        with open(args.report) as saved:
            print(report(json.load(saved)))
        return

    os.makedirs(args.data_dir, exist_ok=True)
    os.chmod(args.data_dir, 0o755)
    os.makedirs(args.shots, exist_ok=True)
    workdir = tempfile.mkdtemp(prefix="probe-work-")
    os.chmod(workdir, 0o777)
    chosen = editors(args)
    files = args.files.split(",")
    paths = {}
    for name in [] if args.floor_only else files:
        kind, size = ("lines", LINE_FILES[name]) if name in LINE_FILES else \
            ("one", ONE_LINE_FILES[name])
        log("data", name)
        paths[name] = gen_text.ensure(os.path.join(args.data_dir, name + ".txt"), kind, size)
        os.chmod(paths[name], 0o644)

    results = {"grabber": args.grabber, "keys": args.keys, "interval": args.interval,
               "quiet": args.quiet,
               "editors": {}}
    for index, key in enumerate(args.editors.split(",")):
        editor = chosen[key]
        display = Display(args.display + index, args.grabber)
        display.use_xdotool_keys = args.keys == "xdotool"
        try:
            log(editor.name, "calibrating on", display.name)
            layout = calibrate(display, editor, workdir, args.user, args)
            log(editor.name, "layout", layout.as_dict())
            floor = probe_floor(display, args)
            floor.update(keystroke_floor(display, editor, workdir, args.user, args))
            log(editor.name, "floor", floor)
            mine = {"layout": layout.as_dict(), "floor": floor, "cases": {}}
            results["editors"][key] = mine
            for name in [] if args.floor_only else files:
                timeout = args.long_line_timeout if name in ONE_LINE_FILES else args.timeout
                runs = []
                for attempt in range(args.runs):
                    shots = args.shots if (key in args.shot_editors.split(",") and
                                           attempt == 0 and
                                           name in args.shot_files.split(",")) else None
                    log(editor.name, name, "run", attempt + 1)
                    runs.append(measure_case(display, editor, layout, paths[name], name,
                                             timeout, args.user, args, shots))
                    log(editor.name, name, runs[-1])
                    time.sleep(1)
                mine["cases"][name] = {"timeout": timeout, "runs": runs}
                with open(args.json, "w") as out:
                    json.dump(results, out, indent=1)
        finally:
            display.close()
    shutil.rmtree(workdir, ignore_errors=True)
    with open(args.json, "w") as out:
        json.dump(results, out, indent=1)
    print(report(results))


ROWS = [
    ("open", "launch -> first text visible", "s"),
    ("end_gutter_from_launch", "launch -> all rows counted (gutter numbers at the end)", "s"),
    ("end_settled", "Ctrl+End right after open -> last line shown, settled", "s"),
    ("end_gutter_from_key", "  of which: gutter numbers shown", "s"),
    ("end_reached", "  end really reached (a second Ctrl+End moves nothing)", "runs"),
    ("home_settled", "then Ctrl+Home -> settled", "s"),
    ("grow_painted", "grow to 1800x1000 -> text painted at the new size", "s"),
    ("grow_end_settled", "then at once Ctrl+End -> settled", "s"),
    ("grow_end_gutter", "  of which: gutter numbers shown", "s"),
    ("grow_end_reached", "  end really reached (a second Ctrl+End moves nothing)", "runs"),
    ("key", "letter typed at the end -> on screen", "s"),
    ("pageup_settled", "3x PageUp -> settled", "s"),
    ("memory_after_open_kib", "VmHWM after open and Ctrl+End", "MiB"),
    ("memory_last_kib", "VmHWM at the end of the run", "MiB"),
]


def report(results):
    keys = list(results["editors"])
    lines = []
    for key in keys:
        floor = results["editors"][key]["floor"]
        lines.append(f"{key} display: instant change seen after median "
                     f"{show(median(floor['instant_change_s']))} (one screen read "
                     f"{floor['grab_s'] * 1000:.1f} ms, one sample every "
                     f"{floor['sample_period_s'] * 1000:.1f} ms); a letter typed into an empty "
                     f"document: {show(median(floor['key_xtest_s']))} through XTest, "
                     f"{show(median(floor['key_xdotool_s']))} through xdotool")
    cases = []
    for key in keys:
        for case in results["editors"][key]["cases"]:
            if case not in cases:
                cases.append(case)
    for case in cases:
        lines.append("")
        lines.append(f"## {case}")
        lines.append("| step | " + " | ".join(keys) + " |")
        lines.append("|---|" + "---|" * len(keys))
        for field, label, unit in ROWS:
            cells = []
            for key in keys:
                data = results["editors"][key]["cases"].get(case)
                if not data:
                    cells.append("-")
                    continue
                values = [run.get(field) for run in data["runs"]]
                if all(v is None for v in values):
                    cells.append("-")
                    continue
                if unit == "runs":
                    cells.append(f"{sum(1 for v in values if v)}/{len(values)} runs")
                    continue
                if unit == "MiB":
                    m = median(values)
                else:
                    # A step not reached because an earlier one timed out counts as timed out.
                    m = median([INF if v is None else v for v in values])
                cell = show(m, unit)
                if m == INF:
                    cell = f"> {data['timeout']:.0f} s"
                cells.append(cell)
            if any(c != "-" for c in cells):
                lines.append(f"| {label} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


if __name__ == "__main__":
    main()
