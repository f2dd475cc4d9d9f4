#!/usr/bin/python3
"""Reads the editor through AT-SPI as a screen reader (Orca) does, and edits it that way.

    screen_reader_probe.py PROGRAM DOCUMENT LOG

Starts PROGRAM on DOCUMENT (UTF-8 with a byte-order mark, LF line breaks, two lines of Chinese or
more, the first with a "，" after its second character and ending in "。") with its output in LOG,
finds its editable text object and checks its text, caret, selection (moved with the keyboard and
set through AT-SPI), the pieces it reads by (lines, words, characters and where they are on
screen), editing through the EditableText interface, and the events a screen reader hears. It
expects an AT-SPI bus on the session bus and a window manager that gives the editor the focus.
Prints what it found; on the first disagreement it says what and exits with 1.
"""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WAIT_SECONDS = 30


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def pump():
    """Lets libatspi deliver the events that have come in."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe):
    """Polls probe() until it answers something true, or fails after WAIT_SECONDS saying what
    went wrong: `what`, or what it answers when it is a function."""
    last_error = None
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        pump()
        try:
            answer = probe()
            if answer:
                return answer
        except GLib.Error as error:  # the program is still starting, or busy
            last_error = error
        time.sleep(0.05)
    message = what() if callable(what) else what
    fail(message + (f" ({last_error})" if last_error else ""))


class Events:
    """The text events of one object, as a screen reader hears them."""

    KINDS = ("object:text-changed", "object:text-caret-moved", "object:text-selection-changed")

    def __init__(self):
        self.heard = []
        self.source = None
        pyatspi.Registry.registerEventListener(self._hear, *self.KINDS)

    def _hear(self, event):
        if self.source is None or event.source == self.source:
            self.heard.append((event.type, event.detail1, event.detail2, event.any_data))

    def find(self, kind, detail1=None, detail2=None, data=None):
        for heard in self.heard:
            if heard[0].startswith(kind) and (detail1 is None or heard[1] == detail1) and \
                    (detail2 is None or heard[2] == detail2) and (data is None or heard[3] == data):
                return heard
        return None

    def expect(self, what, kind, **details):
        heard = wait_for(lambda: f"no {what} event ({kind} {details}); heard {self.heard}",
                         lambda: self.find(kind, **details))
        print(f"  heard {heard[0]} {heard[1]} {heard[2]} {heard[3]!r}")

    def forget(self):
        """Forgets what was heard, before the next action."""
        pump()
        self.heard.clear()


def press(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def find_application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and application.name == name:
            return application
    return None


def states(accessible):
    return set(accessible.getState().getStates())


def state_names(found):
    return " ".join(sorted(pyatspi.stateToString(state) for state in found))


def main():
    program, document, log = sys.argv[1:4]
    with open(document, encoding="utf-8-sig", newline="") as file:
        expected = file.read()

    # Listening before the editor starts, so that its bridge knows from the start that someone
    # listens; it sends no events otherwise.
    events = Events()
    with open(log, "w") as output:
        editor = subprocess.Popen([program, document], stdout=output, stderr=subprocess.STDOUT)
    try:
        check_editor(events, expected)
    finally:
        editor.terminate()
        editor.wait()


def check_editor(events, expected):
    application = wait_for("the editor never appeared on the AT-SPI bus",
                           lambda: find_application("Tambrel"))
    is_text = lambda found: found is not None and found.getRole() == pyatspi.ROLE_TEXT
    textbox = wait_for("the editor shows no text object",
                       lambda: pyatspi.findDescendant(application, is_text))
    events.source = textbox
    found = states(textbox)
    print(f"application {application.name!r}: text object role {textbox.getRoleName()!r}, "
          f"states {state_names(found)}")
    for state in (pyatspi.STATE_EDITABLE, pyatspi.STATE_MULTI_LINE, pyatspi.STATE_FOCUSABLE):
        if state not in found:
            fail(f"the text object is not {pyatspi.stateToString(state)}: {state_names(found)}")
    wait_for("the text object never had the focus",
             lambda: pyatspi.STATE_FOCUSED in states(textbox))

    text = textbox.queryText()
    shown = text.getText(0, -1)
    print(f"getText(0, -1) = {shown!r}; characterCount {text.characterCount}; "
          f"caret at {text.caretOffset}")
    if shown != expected:
        fail(f"the text object holds {shown!r}, the document {expected!r}")
    if text.characterCount != len(expected):
        fail(f"characterCount is {text.characterCount}, not {len(expected)}")
    if text.caretOffset != 0:
        fail(f"the caret is at {text.caretOffset}, not at the start")

    check_pieces(text, expected)
    check_selection(events, text, expected)
    check_editing(events, textbox, text, expected)


def check_pieces(text, expected):
    first_line_end = expected.index("\n") + 1
    comma = expected.index("，")
    line = text.getTextAtOffset(3, pyatspi.TEXT_BOUNDARY_LINE_START)
    print(f"line at 3: {tuple(line)!r}")
    if tuple(line) != (expected[:first_line_end], 0, first_line_end):
        fail(f"the line at 3 is {tuple(line)!r}")
    after = text.getTextAfterOffset(3, pyatspi.TEXT_BOUNDARY_LINE_START)
    if tuple(after) != (expected[first_line_end:], first_line_end, len(expected)):
        fail(f"the line after the first is {tuple(after)!r}")
    # A run of Chinese between punctuation is one word, as Ctrl+arrows take it.
    word = text.getTextAtOffset(1, pyatspi.TEXT_BOUNDARY_WORD_START)
    print(f"word at 1: {tuple(word)!r}")
    if tuple(word) != (expected[:comma], 0, comma):
        fail(f"the word at 1 is {tuple(word)!r}")
    character = text.getTextAtOffset(comma, pyatspi.TEXT_BOUNDARY_CHAR)
    if tuple(character) != ("，", comma, comma + 1):
        fail(f"the character at {comma} is {tuple(character)!r}")

    first = text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)
    second = text.getCharacterExtents(1, pyatspi.DESKTOP_COORDS)
    print(f"characters 0 and 1 on screen at {tuple(first)} and {tuple(second)}")
    if first[2] <= 0 or first[3] <= 0 or second[0] <= first[0] or second[1] != first[1]:
        fail(f"character 1 at {tuple(second)} does not follow character 0 at {tuple(first)}")
    middle_x = second[0] + second[2] // 2
    middle_y = second[1] + second[3] // 2
    at_point = text.getOffsetAtPoint(middle_x, middle_y, pyatspi.DESKTOP_COORDS)
    if at_point != 1:
        fail(f"the character at ({middle_x}, {middle_y}) is {at_point}, not 1")


def check_selection(events, text, expected):
    first_line_end = expected.index("\n") + 1
    start, end = expected.index("，") + 1, first_line_end - 2
    events.forget()
    press("shift+Right", "shift+Right")
    selected = lambda: tuple(text.getSelection(0)) if text.getNSelections() else None
    wait_for("shift+Right twice did not select 0 to 2", lambda: selected() == (0, 2))
    print(f"after shift+Right twice: selection {tuple(text.getSelection(0))}, "
          f"caret at {text.caretOffset}")
    events.expect("caret", "object:text-caret-moved", detail1=2)
    events.expect("selection", "object:text-selection-changed")

    events.forget()
    text.setSelection(0, start, end)
    wait_for(f"setSelection(0, {start}, {end}) did not select {start} to {end}",
             lambda: tuple(text.getSelection(0)) == (start, end) and text.caretOffset == end)
    print(f"after setSelection(0, {start}, {end}): selection {tuple(text.getSelection(0))}, "
          f"caret at {text.caretOffset}")
    events.expect("caret", "object:text-caret-moved", detail1=end)
    events.expect("selection", "object:text-selection-changed")

    events.forget()
    text.setCaretOffset(first_line_end)
    wait_for(f"setCaretOffset({first_line_end}) did not put the caret there",
             lambda: text.caretOffset == first_line_end and text.getNSelections() == 0)
    print(f"after setCaretOffset({first_line_end}): caret at {text.caretOffset}, "
          f"{text.getNSelections()} selections")
    events.expect("caret", "object:text-caret-moved", detail1=first_line_end)


def check_editing(events, textbox, text, expected):
    editable = textbox.queryEditableText()
    at = expected.index("\n") + 1
    inserted = expected[:at] + "你好" + expected[at:]
    events.forget()
    editable.insertText(at, "你好", 2)
    wait_for(lambda: f"insertText did not insert; the text is {text.getText(0, -1)!r}",
             lambda: text.getText(0, -1) == inserted)
    print(f"after insertText({at}, '你好'): {text.getText(0, -1)!r}")
    events.expect("insertion", "object:text-changed:insert", detail1=at, detail2=2, data="你好")

    # One undo takes back what assistive technology inserted, as one step.
    events.forget()
    press("ctrl+z")
    wait_for(lambda: f"Ctrl+Z did not take the insertion back; the text is {text.getText(0, -1)!r}",
             lambda: text.getText(0, -1) == expected)
    print(f"after Ctrl+Z: {text.getText(0, -1)!r}")
    events.expect("undo", "object:text-changed:delete", detail1=at, detail2=2)

    events.forget()
    editable.deleteText(0, 2)
    wait_for(lambda: f"deleteText did not delete; the text is {text.getText(0, -1)!r}",
             lambda: text.getText(0, -1) == expected[2:])
    print(f"after deleteText(0, 2): {text.getText(0, -1)!r}")
    events.expect("deletion", "object:text-changed:delete", detail1=0, detail2=2, data=expected[:2])
    print("the editor reads and edits through AT-SPI")


if __name__ == "__main__":
    main()
