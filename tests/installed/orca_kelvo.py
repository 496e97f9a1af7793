#!/usr/bin/python3 -B
"""The installed Kelvo with the real screen reader, as a blind student meets it:
    tests/installed/orca_kelvo.py <root> [--transcript]   <root>/usr/bin/kelvo is the program
Orca (Debian's orca) speaks through a speech-dispatcher of its own whose only voice is the
generic module writing each utterance to a file; the program runs beside it on a private X
server and accessibility bus (scripts/with-accessibility, with openbox), driven by xdotool
keys and one click. Asserts on what Orca spoke: the time left after スタート, the item of the
blank after each page turn (Ctrl+Tab, Ctrl+PgUp, an arrow key on the tabs, a click on a tab)
and on Where Am I, no unnamed pane, the score after 得　点, the verdict of the pass-line window
before its table, the question document through flat review; and that no caption of the
answer key is in the transcript or comes out of the bus (every signal the program sent, every
object path it published asked directly), before and after the score. --transcript prints
key and utterances as a table. Exit 77 (skipped) when Orca, speech-dispatcher, xdotool,
openbox, the D-Bus session, the accessibility bus or pyatspi is missing."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unicodedata

import harness

NAME = "orca-kelvo"
DOCUMENT = os.path.join(harness.SOURCE, "tests", "documents", "question.dat")
if __name__ == "__main__":
    harness.require_tools(NAME, "orca", "speech-dispatcher", "xdotool", "openbox")
    harness.require_module(NAME, "pyatspi", "python3-pyatspi")
    if not os.path.exists("/usr/lib/speech-dispatcher-modules/sd_generic"):
        harness.skip(NAME, "speech-dispatcher's generic module is not installed")
    COMMAND = harness.installed_command(NAME, sys.argv[1])
    if harness.can_unshare():
        os.environ["KELVO_ORCA_DOCUMENT"] = "1"
        harness.run_inside(("with-document", DOCUMENT, "--"), ("with-accessibility", "--wm", "--"))
    harness.run_inside(("with-accessibility", "--wm", "--"))

import pyatspi  # noqa: E402

import atspi_bus  # noqa: E402
from kelvo_atspi import (EXAM_TITLE, Failure, FocusTracker, Program, answer_sheet,  # noqa: E402
                         application, extents, find_one, pump, wait_for, window)

# --keep-going: every check that fails is written down and the run goes on, to see the whole
# transcript of a program that fails many.
FAILED = []


def check(condition, message):
    if condition:
        return
    if "--keep-going" not in sys.argv:
        raise Failure(message)
    FAILED.append(message)


class Speech:
    """A speech-dispatcher of our own, in folder: its one module writes every utterance to
    spoken.txt, one line each."""

    MODULE = """GenericExecuteSynth "printf %s \\'$DATA\\' >> {spoken}; echo >> {spoken}"
GenericDelimiters "~"
GenericDefaultCharset "utf-8"
GenericMaxChunkLength 100000
GenericLanguage "en" "en" "utf-8"
GenericLanguage "ja" "ja" "utf-8"
AddVoice "en" "MALE1" "en"
AddVoice "ja" "MALE1" "ja"
"""
    CONFIG = """CommunicationMethod "unix_socket"
SocketPath "{socket}"
LogLevel 3
LogDir "{folder}"
DefaultModule transcript
AudioOutputMethod "alsa"
AudioALSADevice "null"
DefaultLanguage "en"
AddModule "transcript" "sd_generic" "transcript.conf"
"""

    def __init__(self, folder):
        self.spoken = os.path.join(folder, "spoken.txt")
        self.socket = os.path.join(folder, "speechd.sock")
        config = os.path.join(folder, "speechd")
        os.makedirs(os.path.join(config, "modules"))
        with open(os.path.join(config, "speechd.conf"), "w") as conf:
            conf.write(self.CONFIG.format(socket=self.socket, folder=folder))
        with open(os.path.join(config, "modules", "transcript.conf"), "w") as conf:
            conf.write(self.MODULE.format(spoken=self.spoken))
        open(self.spoken, "w").close()
        # A pid file of its own: with the default one, a speech-dispatcher already running
        # for this user (the desktop's own, for a reader) makes ours exit at once.
        log = os.path.join(folder, "speechd.out")
        with open(log, "w") as out:
            self.process = subprocess.Popen(
                ["speech-dispatcher", "--run-single", "--config-dir", config, "--timeout", "0",
                 "--pid-file", os.path.join(folder, "speechd.pid"),
                 "--communication-method", "unix_socket", "--socket-path", self.socket],
                stdout=out, stderr=subprocess.STDOUT)
        harness.wait_until("speech-dispatcher's socket", lambda: os.path.exists(self.socket)
                           or self.process.poll() is not None, 20)
        with open(log, encoding="utf-8", errors="replace") as out:
            harness.check(os.path.exists(self.socket),
                          f"speech-dispatcher ended ({self.process.returncode}): {out.read()!r}")
        self.address = f"unix_socket:{self.socket}"

    def utterances(self):
        """What was spoken, one utterance a line, in compatibility form (NFKC): on its way to
        the voice, half-width katakana become full-width and full-width digits ASCII."""
        with open(self.spoken, encoding="utf-8", errors="replace") as spoken:
            return [plain(line).strip() for line in spoken if line.strip()]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def plain(text):
    return unicodedata.normalize("NFKC", text)


class Orca:
    """The screen reader, with preferences, home and debug log in folder of its own."""

    def __init__(self, folder, speech):
        home = os.path.join(folder, "home")
        os.makedirs(home)
        self.log = os.path.join(folder, "orca.log")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   SPEECHD_ADDRESS=speech.address, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        env.pop("KELVO_INSTALLED_INNER", None)
        with open(os.path.join(folder, "orca.out"), "wb") as out:
            self.process = subprocess.Popen(
                ["orca", "--replace", "--user-prefs", os.path.join(home, "orca"),
                 "--debug-file", self.log], stdout=out, stderr=subprocess.STDOUT, env=env)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Transcript:
    """What Orca has spoken, step by step: each key pressed and the utterances that followed."""

    def __init__(self, speech):
        self.speech = speech
        self.mark = 0
        self.steps = []

    def since_mark(self):
        return self.speech.utterances()[self.mark:]

    def step(self, label, action, expect=None, timeout=15.0, settle=0.6):
        """Does action, then waits until an utterance matches expect (a regular expression)
        or, without expect, until speech has been quiet for settle seconds after it began.
        Returns what was spoken after the action."""
        self.mark = len(self.speech.utterances())
        action()
        pattern = re.compile(plain(expect)) if expect else None
        end = time.monotonic() + timeout
        quiet_since, count = time.monotonic(), 0
        while time.monotonic() < end:
            pump()
            spoken = self.since_mark()
            if len(spoken) != count:
                count, quiet_since = len(spoken), time.monotonic()
            if pattern is not None and any(pattern.search(u) for u in spoken):
                # Let the rest of the same presentation arrive.
                if time.monotonic() - quiet_since >= 0.3:
                    break
            elif pattern is None and count and time.monotonic() - quiet_since >= settle:
                break
            time.sleep(0.05)
        spoken = self.since_mark()
        self.steps.append((label, spoken))
        if pattern is not None:
            check(any(pattern.search(u) for u in spoken),
                  f"after {label}: nothing matching {expect!r} in {spoken!r}")
        return spoken

    def table(self):
        lines = ["| key | Orca spoke |", "|---|---|"]
        for label, spoken in self.steps:
            said = " / ".join(spoken) if spoken else "(nothing)"
            lines.append(f"| {label} | {said.replace('|', '¦')} |")
        return "\n".join(lines)


def key(*keys):
    return lambda: subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def typed(text):
    return lambda: subprocess.run(["xdotool", "type", "--clearmodifiers", "--delay", "60", text],
                                  check=True)


def click(node):
    def action():
        x, y, width, height = extents(node)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x + width // 2),
                        str(y + height // 2), "click", "1"], check=True)
    return action


def secrets():
    """The captions of the answer key that no utterance or object may carry: every one longer
    than a single character (a "3" or an "a" is a text of its own as well)."""
    return {caption for _, _, keys in answer_sheet() for _, caption in keys
            if len(caption) > 1}


def spoken_form(keys):
    return {plain(key) for key in keys}


def spoken_secrets(utterances, keys):
    """The key captions spoken as words of their own; positions such as "12 of 56" are not."""
    found = set()
    for utterance in utterances:
        words = re.sub(r"\d+ of \d+", " ", utterance).split()
        found |= keys & set(words)
    return found


def no_leak(bus, name, recorder, keys, when):
    pump()
    looked_at, findings = atspi_bus.leaks(bus, name, recorder, keys)
    check(looked_at > 300, f"{when}: only {looked_at} object paths found on the bus")
    check(not findings, f"{when}: the key on the bus {len(findings)} times: " + "; ".join(findings[:5]))
    return looked_at


def settle(transcript, recorder, name, quiet=1.5, timeout=60):
    """Waits until the program has sent nothing on the bus and Orca has said nothing for quiet
    seconds: the browser engine starts after the window's first paint, and Orca, flooded with
    a program's first events, drops some of those that follow."""
    def calm():
        pump()
        now = (len(recorder.signals), len(transcript.speech.utterances()))
        if now != calm.seen:
            calm.seen, calm.since = now, time.monotonic()
        return time.monotonic() - calm.since >= quiet
    calm.seen, calm.since = None, time.monotonic()
    harness.wait_until("the program and Orca to fall quiet", calm, timeout, step=0.1)


def sit(transcript, tracker, app, exam, document):
    t = transcript
    blank = r"{0} (の答え|答え)"  # the item, spoken before the blank's role
    t.step("Space on スタート", key("space"), r"残り時間 1:00")
    check(any(re.search(plain(blank.format("1-ｱｲｳ")), u) for u in t.steps[-1][1]),
          "the blank after スタート is not spoken by its item")
    t.step("Ctrl+Tab", key("ctrl+Tab"), blank.format("1-ｴｵ"))
    t.step("Ctrl+PgDn", key("ctrl+Next"), blank.format("1-ｶｷｸ"))
    t.step("Ctrl+PgUp", key("ctrl+Prior"), blank.format("1-ｴｵ"))
    t.step("Where Am I (KP_Enter)", key("KP_Enter"), blank.format("1-ｴｵ"))
    t.step("type 7", typed("7"))
    t.step("Shift+Tab", key("shift+Tab"), r"1-ｴｵ")
    t.step("Right", key("Right"), r"1-ｶｷｸ")
    t.step("Tab", key("Tab"), blank.format("1-ｶｷｸ"))
    t.step("click on the tab 2-ｱｲｳ", click(find_one(exam, "page tab", "2-ｱｲｳ")),
           blank.format("2-ｱｲｳ"))
    t.step("click on the tab 6-ｱ", click(find_one(exam, "page tab", "6-ｱ")), r"check box")
    check(any(plain("6-ｱ の答え") in u for u in t.steps[-1][1]),
          "the boxes of 6-ｱ not spoken by their item")
    t.step("click on the tab 1-ｱｲｳ", click(find_one(exam, "page tab", "1-ｱｲｳ")),
           blank.format("1-ｱｲｳ"))
    t.step("Shift+Tab", key("shift+Tab"), r"1-ｱｲｳ")
    t.step("Shift+Tab", key("shift+Tab"), r"document")
    if document:
        check(any("問題の例" in u for u in t.steps[-1][1]), "the document not spoken")
        t.step("Down (in the document)", key("Down"), timeout=3)
        # Flat review reads the window line by line, the document's lines among the controls'.
        t.step("KP_8 (flat review: this line)", key("KP_8"), r"第１問")
        for _ in range(4):
            if any("次の値を求めよ" in u for u in t.steps[-1][1]):
                break
            t.step("KP_9 (flat review: next line)", key("KP_9"))
        check(any("次の値を求めよ" in u for u in t.steps[-1][1]),
              "flat review does not reach the document's paragraph")
    t.step("Shift+Tab", key("shift+Tab"), r"問\s*題")
    t.step("Shift+Tab", key("shift+Tab"), r"合格率")
    t.step("Shift+Tab", key("shift+Tab"), r"得\s*点")
    t.step("Space on 得　点", key("space"), r"得点 0")
    tracker.wait("push button", "得\u3000点")  # the focus stays where it was
    t.step("Tab", key("Tab"), r"合格率")
    spoken = t.step("Space on 合格率", key("space"), r"予測不能")
    verdict = next((i for i, u in enumerate(spoken) if "予測不能" in u), len(spoken))
    table = [i for i, u in enumerate(spoken) if "旧帝国大学" in u or "学部" in u]
    check(not table or verdict < min(table), f"the verdict after the table: {spoken!r}")
    window(app, "合格ライン")
    t.step("Escape", key("Escape"), r"合格率")


def main():
    folder = tempfile.mkdtemp(prefix="orca-kelvo-")
    speech = orca = program = recorder = None
    transcript = None
    keys = secrets()
    try:
        speech = Speech(folder)
        bus = atspi_bus.connect()
        recorder = atspi_bus.Recorder(bus)
        tracker = FocusTracker()
        orca = Orca(folder, speech)
        transcript = Transcript(speech)
        harness.wait_until("Orca to speak", lambda: speech.utterances(), 60, between=pump)
        program = Program(NAME, [COMMAND])
        app = application(program.pid)
        exam = window(app, EXAM_TITLE)
        name = wait_for("the program's bus name", lambda: atspi_bus.bus_name_of(bus, program.pid))
        # The window opens with the focus on the start button.
        tracker.wait("push button", "スタート", timeout=30)
        settle(transcript, recorder, name)
        before = no_leak(bus, name, recorder, keys, "before the score")
        sit(transcript, tracker, app, exam, bool(os.environ.get("KELVO_ORCA_DOCUMENT")))
        after = no_leak(bus, name, recorder, keys, "after the score")
        said = speech.utterances()
        panes = [u for u in said if "layered pane" in u]
        check(not panes, f"an unnamed pane spoken {len(panes)} times")
        leaked = spoken_secrets(said, spoken_form(keys))
        check(not leaked, f"Orca spoke key captions: {sorted(leaked)}")
        print(f"{NAME}: {len(said)} utterances, {before} and {after} object paths asked")
    except (Failure, subprocess.CalledProcessError) as failure:
        if program is not None:
            program.report(failure)
        else:
            print(f"{NAME}: {failure}", file=sys.stderr)
        if transcript is not None:
            print(transcript.table(), file=sys.stderr)
        harness.screenshot(os.environ.get("KELVO_ORCA_SHOT"))
        return 1
    finally:
        for part in (program, orca, speech):
            if part is not None:
                part.stop()
        if recorder is not None:
            recorder.close()
        if os.environ.get("KELVO_ORCA_KEEP"):
            print(f"{NAME}: kept {folder}")
        else:
            shutil.rmtree(folder, ignore_errors=True)
    if "--transcript" in sys.argv:
        print(transcript.table())
    if FAILED:
        print(f"{NAME}: failed:\n  " + "\n  ".join(FAILED), file=sys.stderr)
        return 1
    print(f"{NAME}: every blank spoken by its item, the time, the score and the verdict spoken, "
          "no unnamed pane, no key caption spoken or on the bus: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
