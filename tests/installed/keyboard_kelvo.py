#!/usr/bin/python3 -B
"""The whole paper from the keyboard alone, on the installed Kelvo:
    tests/installed/keyboard_kelvo.py <root>   <root>/usr/bin/kelvo is the installed command
On a display of its own with a window manager and the accessibility bus
(scripts/with-accessibility --wm); real key events through xdotool, never a click. Starts the
clock, walks all 56 answer pages with Ctrl+Tab typing the whole key (half-width, and
full-width on every third page), ticks ③ on page 6-ｱ, scores 140, opens the pass-rate window
and closes it, opens the help window and closes it, clears every answer and scores 0, and
leaves with Alt+G, Q, expecting exit status 0. The focus, the score and the windows are read
as a screen reader reads them. KELVO_KEYBOARD_SHOT=<file.png> keeps the screen of a failure.
Exit 77 (skipped) when Xvfb, xdotool, xmodmap, the D-Bus session, the accessibility bus or
pyatspi is missing."""

import os
import subprocess
import sys

import harness

NAME = "keyboard-kelvo"
if __name__ == "__main__":
    harness.require_tools(NAME, "xdotool", "xmodmap")
    harness.require_module(NAME, "pyatspi", "python3-pyatspi")
    COMMAND = harness.installed_command(NAME, sys.argv[1])
    harness.run_inside(("with-accessibility", "--wm", "--"))

import pyatspi  # noqa: E402

from kelvo_atspi import (EXAM_TITLE, Failure, FocusTracker, answer_sheet, application, check,
                         find, find_one, role, showing, Program, states, text_of,
                         wait_for, window)


PROGRAM_PID = None  # set once the program runs


def to_the_program():
    """Waits until the window manager has handed the keyboard to a window of the program: a
    key pressed while it is still moving the focus (a window of the program just closed, and
    the screen reader already heard the focus come back) would reach no window."""
    def active():
        out = subprocess.run(["xdotool", "getactivewindow", "getwindowpid"],
                             capture_output=True, text=True, check=False)
        return out.stdout.strip() == str(PROGRAM_PID)
    wait_for("a window of the program to have the keyboard", active, 10)


def key(*keys):
    to_the_program()
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def type_text(text):
    to_the_program()
    # From standard input: an answer such as "-6" is no option.
    subprocess.run(["xdotool", "type", "--clearmodifiers", "--delay", "40", "--file", "-"],
                   input=text.encode(), check=True)


def answers():
    """Per page in tab order: its caption and the answer to type (None on the choice page)."""
    pages = []
    for index, (caption, _, keys) in enumerate(answer_sheet()):
        if not keys:
            pages.append((caption, None))
            continue
        narrow = keys[0][1]
        wide = next((c for _, c in keys if not c.isascii()), narrow)  # "a" is the same in both
        pages.append((caption, wide if index % 3 == 1 else narrow))
    return pages


def map_characters(text):
    """Gives the characters of text that the keyboard lacks keys of their own, so that xdotool
    types them without remapping a key for each one, which a busy program may read after the
    mapping is undone."""
    keymap = subprocess.run(["xmodmap", "-pke"], capture_output=True, text=True,
                            check=True).stdout
    free = [int(line.split()[1]) for line in keymap.splitlines() if len(line.split()) == 3]
    wanted = sorted({c for c in text if not c.isascii()})
    check(len(wanted) <= len(free), f"{len(wanted)} characters for {len(free)} free keys")
    for code, char in zip(free, wanted):
        subprocess.run(["xmodmap", "-e", f"keycode {code} = U{ord(char):04X}"], check=True)


def tab_to(tracker, role_name, name, backwards=False, limit=12):
    """Presses Tab (or Shift+Tab) until the focus is on that control."""
    for _ in range(limit):
        node = tracker.current()
        if node is not None and role(node) == role_name and node.name == name:
            return node
        key("shift+Tab" if backwards else "Tab")
        tracker.change_from(node)
    return tracker.wait(role_name, name, timeout=1)


def checked(node):
    return states(node).contains(pyatspi.STATE_CHECKED)


def sit_the_paper(tracker, exam, pages):
    for index, (caption, answer) in enumerate(pages):
        if answer is None:
            tracker.wait("check box", "①")
            key("Tab", "Tab")
            box = tracker.wait("check box", "③")
            key("space")
            wait_for("③ ticked", lambda: checked(box))
        else:
            blank = tracker.wait("text", f"{caption} の答え")
            type_text(answer)
            try:
                wait_for(f"{answer} in {caption}", lambda: text_of(blank) == answer)
            except Failure:
                raise Failure(f"{caption} reads {text_of(blank)!r}, not {answer!r}") from None
        if index < len(pages) - 1:
            key("ctrl+Tab")


def clear_the_paper(tracker, pages):
    """From the blank of the last page: every page in turn, wrapping to the first."""
    order = pages[-1:] + pages[:-1]
    for index, (caption, answer) in enumerate(order):
        if answer is None:
            tracker.wait("check box", "①")
            key("Tab", "Tab")
            box = tracker.wait("check box", "③")
            key("space")
            wait_for("③ cleared", lambda: not checked(box))
        else:
            blank = tracker.wait("text", f"{caption} の答え")
            key("ctrl+a", "BackSpace")
            wait_for(f"{caption} cleared", lambda: text_of(blank) == "")
        if index < len(order) - 1:
            key("ctrl+Tab")


def score(tracker, exam, expected):
    tab_to(tracker, "push button", "得\u3000点", backwards=True)
    key("space")
    wait_for(f"the score {expected}", lambda: find(exam, "label", f"得点 {expected}"))


def main():
    tracker = FocusTracker()
    pages = answers()
    map_characters("".join(answer or "" for _, answer in pages))
    program = Program(NAME, [COMMAND])
    global PROGRAM_PID
    PROGRAM_PID = program.pid
    try:
        app = application(program.pid)
        exam = window(app, EXAM_TITLE)
        check(len(pages) == 56, f"{len(pages)} answer pages")

        # The window opens with the focus on the start button.
        tracker.wait("push button", "スタート", timeout=30)
        key("space")
        tracker.wait("text", "1-ｱｲｳ の答え")
        wait_for("the time left", lambda: find(exam, "label", "残り時間 1:00"))

        sit_the_paper(tracker, exam, pages)
        score(tracker, exam, 140)

        tab_to(tracker, "push button", "合格率")
        key("space")
        line = window(app, "合格ライン")
        find_one(line, "label", " 合格率 ９９％")
        tracker.wait("text", predicate=lambda n: "旧帝国大学" in (text_of(n) or ""))
        key("Escape")
        wait_for("the pass-line window closed", lambda: not showing(line))
        tracker.wait("push button", "合格率")

        key("alt+h")
        tracker.wait("menu item", "バージョン情報(A)")
        key("a")
        help_window = window(app, "バージョン情報")
        tracker.wait("text", predicate=lambda n: showing(n) and text_of(n))
        key("Escape")
        wait_for("the help window closed", lambda: not showing(help_window))
        tracker.wait("push button", "合格率")

        # Back into the answers, where the last page is still shown.
        tab_to(tracker, "text", f"{pages[-1][0]} の答え")
        clear_the_paper(tracker, pages)
        score(tracker, exam, 0)

        key("alt+g")
        tracker.wait("menu item", "終了(Q)")
        key("q")
        wait_for("the program to end", lambda: program.poll() is not None, 30)
        check(program.returncode == 0, f"the program ended with status {program.returncode}")
    except (Failure, subprocess.CalledProcessError) as failure:
        program.report(failure)
        harness.screenshot(os.environ.get("KELVO_KEYBOARD_SHOT"))
        return 1
    finally:
        program.stop()
    print("keyboard-kelvo: the whole paper from the keyboard, 140 then 0, the pass-line and "
          "help windows, Alt+G Q: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
