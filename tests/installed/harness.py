"""What every test of the installed program shares: the installed command under a root, the
tools it needs (exit 77, skipped, where one is missing), the private display, accessibility
bus or question document it runs in (scripts/with-display, scripts/with-accessibility,
scripts/with-document), and the program started with its output in a log of its own."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # imported from the source tree: leave no compiled copy there

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
SCRIPTS = os.path.join(SOURCE, "scripts")
SKIPPED = 77


class Failure(Exception):
    """A check that did not hold."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def skip(name, why):
    print(f"{name}: {why}, skipped")
    sys.exit(SKIPPED)


def require_tools(name, *tools):
    for tool in tools:
        if shutil.which(tool) is None:
            skip(name, f"{tool} is not installed")


def require_module(name, module, package):
    try:
        __import__(module)
    except ImportError:
        skip(name, f"{package} is not installed")


def installed_command(name, root):
    """<root>/usr/bin/kelvo, the installed command (a DESTDIR install or an unpacked package)."""
    command = os.path.join(os.path.abspath(root), "usr", "bin", "kelvo")
    if not os.access(command, os.X_OK):
        print(f"{name}: {command} is missing", file=sys.stderr)
        sys.exit(1)
    return command


def run_inside(*wrappers):
    """Runs this script again inside the wrappers, outermost first, each a command line of
    scripts/ ending where the wrapped command goes ("with-accessibility", "--wm", "--"). Returns
    at once when already inside."""
    marker = "KELVO_INSTALLED_INNER"
    if os.environ.get(marker):
        return
    os.environ[marker] = "1"
    command = []
    for wrapper in wrappers:
        command += [os.path.join(SCRIPTS, wrapper[0]), *wrapper[1:]]
    command += [sys.executable, "-B", os.path.abspath(sys.argv[0]), *sys.argv[1:]]
    os.execv(command[0], command)


def can_unshare():
    """Whether a private mount namespace can be made here (scripts/with-document)."""
    return os.getuid() == 0 and subprocess.run(
        ["unshare", "--mount", "--propagation", "private", "true"],
        stderr=subprocess.DEVNULL).returncode == 0


def wait_until(what, probe, timeout=30.0, step=0.05, between=None):
    """The first true value probe() gives, trying until timeout; Failure naming what otherwise.
    between() runs before each try (a main loop to pump)."""
    end = time.monotonic() + timeout
    while True:
        if between is not None:
            between()
        try:
            value = probe()
        except Exception:  # a node or window that went away while it was looked at
            value = None
        if value:
            return value
        if time.monotonic() >= end:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(step)


def screenshot(path):
    if path and shutil.which("import"):
        subprocess.run(["import", "-window", "root", path], check=False)


def engine_env():
    """What the browser engine needs to start as this user, from scripts/engine-env."""
    lines = subprocess.run([os.path.join(SCRIPTS, "engine-env")], capture_output=True,
                           text=True, check=True).stdout.split()
    return dict(line.split("=", 1) for line in lines)


class Program:
    """The program under test, started as its user would start it, with its output in a log of
    its own; stop() ends it and removes the log."""

    def __init__(self, name, command, env=None):
        self.name = name
        self.log = tempfile.NamedTemporaryFile(prefix=f"{name}-", suffix=".log",
                                               delete=False).name
        environment = dict(os.environ if env is None else env)
        environment.pop("KELVO_INSTALLED_INNER", None)
        environment.update(engine_env())
        environment.setdefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu")
        environment.pop("WAYLAND_DISPLAY", None)
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT,
                                            env=environment)

    @property
    def pid(self):
        return self.process.pid

    @property
    def returncode(self):
        return self.process.returncode

    def poll(self):
        return self.process.poll()

    def report(self, failure, tail=3000):
        """Says what failed, with the last of the program's output."""
        print(f"{self.name}: {failure}", file=sys.stderr)
        with open(self.log, errors="replace") as output:
            last = output.read()[-tail:]
        if last:
            print(f"{self.name}: the program's output, last lines:\n" + last, file=sys.stderr)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if os.path.exists(self.log):
            os.unlink(self.log)
