#!/usr/bin/python3 -B
"""The installed Kelvo's windows on screens of several sizes and scales, under a window manager:
    tests/installed/screens_kelvo.py <root>   <root>/usr/bin/kelvo is the installed command
For each screen (1280x1024 and 1920x1080 at scales 1, 1.5 and 2, and 1024x768 at 1.5) on a
display of its own with openbox and the accessibility bus: the exam window and a pass-line
window open inside the screen, frame and title bar included, centred as framed windows; where
a window is larger than the screen its client area scrolls and its last controls can be
scrolled into view, the first blank is in view once the focus is there; the window class is the
desktop entry's StartupWMClass. KELVO_SCREENS_SHOTS=<folder> keeps a screenshot of each screen.
Exit 77 (skipped) when Xvfb, openbox, xdotool, xprop, xwininfo, the D-Bus session, the
accessibility bus or pyatspi is missing."""

import os
import subprocess
import sys
import time

import harness

NAME = "screens-kelvo"
SCREENS = ["1280x1024:1", "1280x1024:1.5", "1280x1024:2", "1920x1080:1", "1920x1080:1.5",
           "1920x1080:2", "1024x768:1.5"]


def every_screen(root):
    """Runs this script once per screen, each on a display of its own."""
    harness.require_tools(NAME, "xdotool", "xprop", "xwininfo", "openbox")
    harness.require_module(NAME, "pyatspi", "python3-pyatspi")
    harness.installed_command(NAME, root)
    failed = False
    for screen in SCREENS:
        size, scale = screen.split(":")
        env = dict(os.environ, QT_SCALE_FACTOR=scale)
        run = [os.path.join(harness.SCRIPTS, "with-accessibility"), "--wm", "--size", size, "--",
               sys.executable, "-B", "-X", "faulthandler", os.path.abspath(__file__), root,
               screen]
        status = subprocess.run(run, env=env).returncode
        if status == harness.SKIPPED:
            return status
        # A check that fails says so and fails again; a run that ends without a word (the
        # reader's library dying on a busy machine) gets one more try.
        if status not in (0, 1):
            print(f"{NAME}: {screen} ended with status {status} without a failed check; "
                  "once more", file=sys.stderr)
            status = subprocess.run(run, env=env).returncode
        failed = failed or status != 0
    if failed:
        print(f"{NAME}: failed", file=sys.stderr)
        return 1
    print(f"{NAME}: every window inside every screen, centred, scrolling where larger: passed")
    return 0


if __name__ == "__main__" and len(sys.argv) == 2:
    sys.exit(every_screen(sys.argv[1]))

from kelvo_atspi import (EXAM_TITLE, Failure, FocusTracker, application, check, extents,
                         find_one, press, pump, role, showing, Program, wait_for, walk, window)

TOLERANCE = 4  # device pixels that rounding (at 1.5: a logical pixel kept in hand) leaves over


def x11_window(title, pid):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", title],
                         capture_output=True, text=True).stdout.split()
    return out[-1] if out else None


def frame_extents(win):
    """left, right, top, bottom as the window manager gives them, or None before it framed."""
    out = subprocess.run(["xprop", "-id", win, "_NET_FRAME_EXTENTS"],
                         capture_output=True, text=True).stdout
    if "=" not in out:
        return None
    return tuple(int(v) for v in out.split("=", 1)[1].split(","))


def client_geometry(win):
    """x, y, width, height on the screen (xwininfo; xdotool counts a frame in twice)."""
    out = subprocess.run(["xwininfo", "-id", win], capture_output=True, text=True).stdout
    values = {}
    for line in out.splitlines():
        if ":" in line:
            name, value = line.split(":", 1)
            values[name.strip()] = value.strip()
    return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
            int(values["Width"]), int(values["Height"]))


def settled_frame(title, pid):
    """The X window, its client rectangle and frame extents once framed and still."""
    last = seen = None
    end = time.monotonic() + 30
    while time.monotonic() < end:
        pump(0.3)
        win = x11_window(title, pid)
        extents = frame_extents(win) if win else None
        seen = (win, extents)
        if extents:
            now = (win, client_geometry(win), extents)
            if now == last:
                return now
            last = now
    manager = "window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                            capture_output=True, text=True).stdout
    raise Failure(f"the window {title} was not framed, or did not keep still; last seen: "
                  f"window and frame {seen}, framed {last}; "
                  f"{'a' if manager else 'no'} window manager on the screen")


def check_placement(what, client, extents, screen):
    x, y, w, h = client
    left, right, top, bottom = extents
    sw, sh = screen
    frame = (x - left, y - top, w + left + right, h + top + bottom)
    fx, fy, fw, fh = frame
    print(f"screens-kelvo: {what}: client {w}x{h}+{x}+{y}, frame {fw}x{fh}+{fx}+{fy}")
    check(fx >= 0 and fy >= 0 and fx + fw <= sw and fy + fh <= sh,
          f"{what}: the frame {frame} is not inside the screen {sw}x{sh}")
    check(abs(fx - (sw - fx - fw)) <= TOLERANCE and abs(fy - (sh - fy - fh)) <= TOLERANCE,
          f"{what}: the frame {frame} is not centred on {sw}x{sh}")


def area_scroll_bars(node):
    """The scroll bars of the window's client area, a child of the window (the documents'
    own scroll bars lie deeper): the window, the area, a bar's container, the bar."""
    return [bar for bar, depth in walk(node)
            if depth == 3 and role(bar) == "scroll bar" and showing(bar)]


def scroll_to_end(bars):
    for bar in bars:
        value = bar.queryValue()
        value.currentValue = value.maximumValue
    pump(0.3)


def logical(client, scale):
    """A rectangle of device pixels in Qt's logical pixels, in which Qt 6.4 gives a reader
    its extents at any scale."""
    return tuple(round(v / scale) for v in client)


def in_view(node, client, clip=(0, 0), far_only=False):
    """Whether node's far corner (less clip, where it overhangs its window as designed) and,
    unless far_only, its near one lie inside client, all in logical pixels."""
    x, y, w, h = client
    nx, ny, nw, nh = extents(node)
    right, bottom = nx + nw - 1 - clip[0], ny + nh - 1 - clip[1]
    slack = 2  # rounding between device and logical pixels
    near = far_only or (x - slack <= nx and y - slack <= ny)
    return near and x <= right < x + w + slack and y <= bottom < y + h + slack


def describe(node):
    nx, ny, nw, nh = extents(node)
    return f"{nw}x{nh}+{nx}+{ny}"


def fits(designed, extents_, scale, screen):
    left, right, top, bottom = extents_
    return (designed[0] * scale + left + right <= screen[0] and
            designed[1] * scale + top + bottom <= screen[1])


def main():
    root, (size, scale_text) = sys.argv[1], sys.argv[2].split(":")
    command = harness.installed_command(NAME, root)
    desktop = os.path.join(os.path.abspath(root), "usr", "share", "applications",
                           "jp.bralden.Kelvo.desktop")
    scale = float(scale_text)
    screen = tuple(int(v) for v in size.split("x"))
    what = f"{size} at scale {scale_text}"
    tracker = FocusTracker()

    def view_of(client):
        return logical(client, scale)

    program = Program(NAME, [command])
    try:
        app = application(program.pid)
        exam = window(app, EXAM_TITLE)
        win, client, frame = settled_frame(EXAM_TITLE, program.pid)
        check_placement(f"{what}, exam window", client, frame, screen)

        wm_class = wait_for("the window's class", lambda: subprocess.run(
            ["xprop", "-id", win, "WM_CLASS"], capture_output=True,
            text=True).stdout.partition("=")[2], 10)
        with open(desktop, encoding="utf-8") as entry:
            wanted = next(line.split("=", 1)[1].strip() for line in entry
                          if line.startswith("StartupWMClass="))
        check(wm_class.split(",")[-1].strip().strip('"') == wanted,
              f"WM_CLASS {wm_class.strip()} against StartupWMClass={wanted}")

        # The client area: 792 x 554 below a menu bar of about 22.
        bars = area_scroll_bars(exam)
        if fits((792, 576), frame, scale, screen):
            check(not bars, f"{what}: scroll bars on a window that fits")
        else:
            check(bars, f"{what}: no scroll bars on a window larger than the screen")
        # The start button has the focus; Space starts and puts it in the first blank, which
        # the area scrolls into view.
        tracker.wait("push button", "スタート", timeout=30)
        subprocess.run(["xdotool", "key", "space"], check=True)
        blank = tracker.wait("text", "1-ｱｲｳ の答え")
        try:
            wait_for("the first blank in view", lambda: in_view(blank, view_of(client)), 10)
        except Failure:
            raise Failure(f"{what}: the first blank at {describe(blank)} is out of view") from None
        scroll_to_end(bars)
        last_tab = find_one(exam, "page tab", "6-ﾁﾂ")
        check(in_view(last_tab, view_of(client), far_only=True),
              f"{what}: the last answer tab at {describe(last_tab)}, scrolled to the end, "
              "is out of view")

        press(find_one(exam, "push button", "得\u3000点"))
        press(find_one(exam, "push button", "合格率"))
        line = window(app, "合格ライン")
        _, line_client, line_frame = settled_frame("合格ライン", program.pid)
        check_placement(f"{what}, pass-line window", line_client, line_frame, screen)
        line_bars = area_scroll_bars(line)
        if fits((792, 573), line_frame, scale, screen):
            check(not line_bars, f"{what}: scroll bars on a pass-line window that fits")
        else:
            check(line_bars, f"{what}: no scroll bars on a pass-line window larger than the screen")
        scroll_to_end(line_bars)
        # The table overhangs its window by a pixel to the right and three below, as designed.
        view = find_one(line, "text")
        check(in_view(view, view_of(line_client), clip=(1, 3), far_only=True),
              f"{what}: the pass-line table at {describe(view)}, scrolled to the end, "
              "is out of view")

        shots = os.environ.get("KELVO_SCREENS_SHOTS")
        if shots:
            subprocess.run(["import", "-window", "root",
                            os.path.join(shots, f"screen-{size}-{scale_text}.png")], check=False)
        press(find_one(app, "menu item", "終了(Q)"))
        wait_for("the program to end", lambda: program.poll() is not None, 30)
        check(program.returncode == 0, f"the program ended with status {program.returncode}")
    except Failure as failure:
        program.report(failure, 2000)
        return 1
    except Exception as error:  # noqa: BLE001 - any other end says what it was
        program.report(f"{type(error).__name__}: {error}", 2000)
        return 1
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
