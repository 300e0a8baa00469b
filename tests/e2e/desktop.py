"""A virtual desktop for end-to-end tests: an Xvfb display of its own with the
openbox window manager, the real program on it, and the user's means of
driving it (xdotool keys and clicks) and of reading it (window titles).

Every wait polls with a deadline; a window that does not appear in time fails
with a message naming it and a screenshot of the whole screen."""

import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WAIT_SECONDS = 15.0
POLL_SECONDS = 0.05
TOOLS = ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import")


class Failure(Exception):
    """A step of an end-to-end test did not go as a user would expect."""


def _die_with_parent():
    """Run in a child between fork and exec: the child gets SIGTERM when the
    driver ends, so that a test runner's SIGKILL at its time limit leaves no
    display, window manager or program behind."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def _ere(text):
    """The POSIX extended regular expression that matches exactly text."""
    return "^" + "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in text) + "$"


class Desktop:
    def __init__(self, program, output, name, size="1280x1024", trace=False):
        missing = [tool for tool in TOOLS if shutil.which(tool) is None]
        if missing:
            raise Failure("missing programs: " + ", ".join(missing) +
                          " (scripts/setup.sh installs them)")
        self.program = program
        self.output = output
        self.name = name
        self.size = size
        self.folder = tempfile.mkdtemp(prefix="kavrilon-e2e-")
        self.display = None
        self.xvfb = None
        self.openbox = None
        self.app = None
        self.app_log = os.path.join(output, name + ".log")
        self.last_action = "the start"
        self.current_step = None
        self.shots = 0
        self.answered = set()
        self.trace = trace
        os.makedirs(output, exist_ok=True)
        for old in os.listdir(output):
            if old.startswith(name + "-") and old.endswith(".png"):
                os.remove(os.path.join(output, old))

    # ----- starting and stopping -----

    def start(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size + "x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + WAIT_SECONDS
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            raise Failure("Xvfb did not start (no display number)")
        self.display = ":" + number.strip().decode()
        runtime = os.path.join(self.folder, "runtime")
        os.mkdir(runtime, 0o700)
        self.env = {key: value for key, value in os.environ.items()
                    if not key.startswith(("QT_", "WAYLAND_", "XDG_SESSION"))}
        # The program's settings file stays in this run's own folder.
        self.env.update(DISPLAY=self.display, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime,
                        LC_ALL="C.UTF-8", HOME=self.folder,
                        XDG_CONFIG_HOME=os.path.join(self.folder, "config"))
        self.openbox = subprocess.Popen(
            ["openbox", "--sm-disable"], env=self.env, cwd=self.folder,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
        self._until(lambda: self._x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                    check=False).find("window id") >= 0,
                    "openbox did not start")

    def launch(self):
        """Starts the program and waits for its main menu."""
        with open(self.app_log, "w") as log:
            self.app = subprocess.Popen([self.program], env=self.env, cwd=self.folder,
                                        stdout=log, stderr=subprocess.STDOUT,
                                        preexec_fn=_die_with_parent)
        self.last_action = "starting the program"
        return self.wait_window("KAVRILON Main Menu")

    def stop(self):
        for process in (self.app, self.openbox, self.xvfb):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    # ----- reading the screen -----

    def _x(self, command, check=True):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                timeout=WAIT_SECONDS)
        if check and result.returncode != 0:
            raise Failure(" ".join(command) + " failed: " + result.stderr.strip())
        return result.stdout

    def _until(self, condition, message, seconds=WAIT_SECONDS):
        deadline = time.monotonic() + seconds
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() >= deadline:
                self.fail(message)
            time.sleep(POLL_SECONDS)

    def windows(self, title):
        """Ids of the viewable windows whose title is exactly title."""
        found = self._x(["xdotool", "search", "--onlyvisible", "--name", _ere(title)],
                        check=False).split()
        return [wid for wid in found if self.title(wid) == title]

    def title(self, wid):
        return self._x(["xdotool", "getwindowname", wid], check=False).rstrip("\n")

    def visible_titles(self):
        found = self._x(["xdotool", "search", "--onlyvisible", "--name", ""], check=False).split()
        return sorted({self.title(wid) for wid in found} - {"", "Openbox"})

    def is_viewable(self, wid):
        return "Map State: IsViewable" in self._x(["xwininfo", "-id", wid], check=False)

    def is_iconic(self, wid):
        return "Iconic" in self._x(["xprop", "-id", wid, "WM_STATE"], check=False)

    def wait_window(self, title, exclude=(), seconds=WAIT_SECONDS):
        """Waits for a viewable window titled title that is not in exclude."""
        def found():
            self.require_running("while waiting for the window \"%s\"" % title)
            fresh = [wid for wid in self.windows(title) if wid not in exclude]
            return fresh[0] if fresh else None
        return self._until(found, "the window \"%s\" did not appear within %g s after %s"
                           % (title, seconds, self.last_action), seconds)

    def wait_gone(self, wid, what):
        self._until(lambda: not self.is_viewable(wid),
                    "the window \"%s\" stayed on screen after %s" % (what, self.last_action))

    def require_running(self, when):
        if self.app is not None and self.app.poll() is not None:
            self.fail("the program ended (exit status %d) %s, after %s"
                      % (self.app.returncode, when, self.last_action))

    def require_shown(self, title):
        """The window titled title is on screen (a search may miss it while
        another window is being destroyed, so it is asked for a moment)."""
        def shown():
            self.require_running("with \"%s\" expected on screen" % title)
            return self.windows(title)
        self._until(shown, "the window \"%s\" is not on screen after %s"
                    % (title, self.last_action), 2.0)

    def screenshot(self, label):
        self.shots += 1
        path = os.path.join(self.output, "%s-%02d-%s.png" % (self.name, self.shots, label))
        self._x(["import", "-display", self.display, "-window", "root", path], check=False)
        return path

    def step(self, text):
        """Names what the test is doing, for the failure messages that follow."""
        self.current_step = text

    def fail(self, message):
        if self.current_step:
            message = "%s: %s" % (self.current_step, message)
        shot = self.screenshot("failure") if self.xvfb and self.xvfb.poll() is None else None
        details = [message]
        if self.display and self.xvfb.poll() is None:
            details.append("windows on screen: %s" % (self.visible_titles() or "none"))
        if shot:
            details.append("screenshot: " + shot)
        raise Failure("\n  ".join(details))

    # ----- driving -----

    def activate(self, wid):
        """Gives wid the keyboard, as a click on it would."""
        def active():
            current = self._x(["xdotool", "getactivewindow"], check=False).strip()
            if current == wid:
                return True
            self._x(["xdotool", "windowactivate", wid], check=False)
            return False
        self._until(active, "the window \"%s\" could not be given the keyboard" % self.title(wid),
                    5.0)

    def key(self, *keys):
        self.last_action = "pressing " + " ".join(keys)
        self._x(["xdotool", "key", "--delay", "40"] + list(keys))

    def type(self, text):
        self.last_action = "typing " + text
        self._x(["xdotool", "type", "--delay", "40", "--", text])

    def answer_box(self, *keys):
        """Answers the next message box (every one is titled "Kavrilon") with keys."""
        wid = self.wait_window("Kavrilon", exclude=self.answered)
        self.answered.add(wid)
        self.activate(wid)
        if self.trace:
            self.screenshot("box")
        self.key(*keys)
        self.last_action = "answering message box %d with %s" % (len(self.answered), " ".join(keys))
        self.wait_gone(wid, "Kavrilon")

    def click(self, wid, x, y):
        """Clicks at x, y in the window wid; negative values count from its far edges."""
        size = dict(line.split("=") for line in
                    self._x(["xdotool", "getwindowgeometry", "--shell", wid]).split())
        x = x if x >= 0 else int(size["WIDTH"]) + x
        y = y if y >= 0 else int(size["HEIGHT"]) + y
        self.last_action = "a click at %d,%d in \"%s\"" % (x, y, self.title(wid))
        self._x(["xdotool", "mousemove", "--window", wid, str(x), str(y), "click", "1"])

    def expect_no_box(self, seconds=1.5):
        """Fails if a further message box appears within seconds."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if [wid for wid in self.windows("Kavrilon") if wid not in self.answered]:
                self.fail("a further message box appeared after " + self.last_action)
            time.sleep(POLL_SECONDS)

    def press_in(self, title, *keys):
        """Waits for the window titled title, gives it the keyboard, presses keys."""
        wid = self.wait_window(title)
        self.activate(wid)
        self.key(*keys)
        return wid


def run(tour, program, output, name, **options):
    """Runs tour(d) on a desktop of its own. Returns 0 when it went through, and
    1 when it did not, after printing the failure and the end of the program's
    output. A test runner's SIGTERM ends the displays and the program too."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    try:
        with Desktop(os.path.abspath(program), os.path.abspath(output), name, **options) as d:
            try:
                tour(d)
            except Failure:
                if os.path.exists(d.app_log):
                    with open(d.app_log, errors="replace") as log:
                        tail = log.read()[-2000:]
                    if tail.strip():
                        print("program output:\n" + tail)
                raise
    except Failure as failure:
        print("FAILED %s: %s" % (name, failure))
        return 1
    return 0
