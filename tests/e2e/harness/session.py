"""The session of one end-to-end test: its display, prefix and wineserver, the programs it starts,
the stand-in's control tool, its logs, screenshots and real input through xdotool."""

import atexit
import os
import shutil
import signal
import subprocess
import sys

from harness.display import DEFAULT_SCREEN, reserve_taskbar, start_xvfb, window_manager_running
from harness.prefix import MANAGED, Paths, ensure_prefix, server_running, wine_environment
from harness.programs import QUIET, WINE, WINESERVER, Program, Watchdog, kill_group
from harness.records import LogEntry, parse_record
from harness.screen import Screenshot
from harness.waiting import HarnessError, wait_for

# A persistent wineserver left behind by a killed run exits this long after its last client.
SERVER_LINGER_SECONDS = 60

_sessions = []


def _cleanup_all():
    for session in list(_sessions):
        session.close()


def _on_signal(number, frame):
    _cleanup_all()
    sys.exit(128 + number)


atexit.register(_cleanup_all)
for _signal in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(_signal, _on_signal)


class Session:
    """One end-to-end test: display, prefix, wineserver, programs, logs.

        with Session("login_window") as s:
            program = s.start(s.paths.target("launcher"))
            standin = s.wait_standin()
            s.navigate("http://s1.example.test/login.php")
    """

    def __init__(self, name, winedebug="-all"):
        self.name = name
        self.paths = Paths()
        self.winedebug = winedebug
        self.log_dir = os.path.join(self.paths.logs, name)
        self.standin_log_path = os.path.join(self.log_dir, "standin.log")
        self.browser_log_path = os.path.join(self.log_dir, "browser.log")
        self.programs = []
        self._xvfb = None
        self._window_manager = None
        self._owns_server = False
        self._closed = False
        self._shots = 0
        self._watchdog = None
        self._keeper = None
        self._fault_checked = 0

    def __enter__(self):
        self.open()
        return self

    def __exit__(self, kind, value, traceback):
        self.close()
        return False

    def open(self):
        _sessions.append(self)
        shutil.rmtree(self.log_dir, ignore_errors=True)
        os.makedirs(self.log_dir)
        os.makedirs(self.paths.screenshots, exist_ok=True)
        self._watchdog = Watchdog()
        if MANAGED or not os.environ.get("DISPLAY"):
            display, self._xvfb = start_xvfb(os.environ.get("E2E_SCREEN", DEFAULT_SCREEN))
            self._watchdog.tell("group", self._xvfb.pid)
            os.environ["DISPLAY"] = display
        if MANAGED:
            self._window_manager = subprocess.Popen(["openbox"], start_new_session=True, **QUIET)
            self._watchdog.tell("group", self._window_manager.pid)
            wait_for(window_manager_running, 10, what="openbox")
        reserve_taskbar()
        # The display may be shared: no test starts with the pointer where the last one left it.
        subprocess.run(["xdotool", "mousemove", "0", "0"], timeout=30, **QUIET)
        ensure_prefix(self.paths)
        env = self.environment()
        if not server_running(self.paths.prefix):
            self._watchdog.tell("server", self.paths.prefix)
            subprocess.run([WINESERVER, "-p%d" % SERVER_LINGER_SECONDS], env=env, timeout=30, **QUIET)
            self._owns_server = True
        subprocess.run([WINE, "cmd", "/c", "exit"], env=env, timeout=120, **QUIET)
        # Wine closes the prefix's desktop about a second after the last process on it has gone and
        # opens it again for the next program, which may then start while it is still closing. A
        # process held on it for the whole session keeps it open between checks, as on Windows.
        self._keeper = self._spawn(self.paths.standinctl, ["hold"], "hold", os.path.join(self.log_dir, "hold"),
                                   self.environment())
        return self

    def close(self):
        if self._closed:
            return
        self._closed = True
        for program in self.programs + ([self._keeper] if self._keeper else []):
            program.kill()
        if self._owns_server:
            subprocess.run([WINESERVER, "-k"], env=self.environment(), timeout=30, **QUIET)
            self._owns_server = False
        if self._window_manager is not None:
            kill_group(self._window_manager.pid)
            self._window_manager.wait(timeout=5)
            self._window_manager = None
        if self._xvfb is not None:
            # Asked to stop first, Xvfb removes its lock file and socket; killed, it leaves them.
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=5)
            except subprocess.TimeoutExpired:
                kill_group(self._xvfb.pid)
                self._xvfb.wait(timeout=5)
            self._xvfb = None
            os.environ.pop("DISPLAY", None)
        if self._watchdog is not None:
            self._watchdog.dismiss()
        if self in _sessions:
            _sessions.remove(self)

    # -- environment and programs

    def environment(self, winedebug=None):
        env = wine_environment(self.paths, winedebug or self.winedebug)
        env["STANDIN_LOG"] = self.standin_log_path
        env["BROWSER_LOG"] = self.browser_log_path
        return env

    def start(self, exe, *args, name=None, winedebug=None, env=None):
        """Starts `<loader> exe args` in its own process group; output goes to <log dir>/<name>.out/.err."""
        name = name or os.path.splitext(os.path.basename(exe))[0]
        count = sum(1 for p in self.programs if p.name == name)
        stem = os.path.join(self.log_dir, name if count == 0 else "%s-%d" % (name, count + 1))
        full_env = self.environment(winedebug)
        if env:
            full_env.update(env)
        program = self._spawn(exe, args, name, stem, full_env)
        self.programs.append(program)
        return program

    def _spawn(self, exe, args, name, stem, env):
        with open(stem + ".out", "wb") as out, open(stem + ".err", "wb") as err:
            popen = subprocess.Popen([WINE, exe] + [str(a) for a in args], env=env,
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=err, start_new_session=True)
        self._watchdog.tell("group", popen.pid)
        return Program(name, popen, stem + ".out", stem + ".err")

    def run(self, exe, *args, timeout=30.0, winedebug=None):
        """Runs a Windows console program to its end; answers (exit code, stdout, stderr)."""
        result = subprocess.run([WINE, exe] + [str(a) for a in args], env=self.environment(winedebug),
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                timeout=timeout, start_new_session=True)
        return (result.returncode, result.stdout.decode("utf-8", "replace"),
                result.stderr.decode("utf-8", "replace"))

    # -- the control tool

    def ctl(self, *args, check=True, timeout=30.0):
        """Runs standinctl with args; answers its standard output lines. A run that ended with 1 and wrote
        nothing never reached the tool (whose own 1 prints its usage): Wine did not start it. That is
        tried again, twice at most, each time noted in <log dir>/harness.log."""
        command = " ".join(map(str, args))
        for attempt in range(3):
            code, out, err = self.run(self.paths.standinctl, *args, timeout=timeout)
            if code != 1 or out or err:
                break
            self.note_not_started("standinctl " + command, attempt)
        if check and code != 0:
            raise HarnessError("standinctl %s failed with %d: %s" % (command, code,
                               err.strip() or "no output: Wine did not start it, three times"))
        return out.splitlines()

    def note_not_started(self, what, attempt):
        """Notes in <log dir>/harness.log that Wine did not start a program, which is tried again."""
        with open(os.path.join(self.log_dir, "harness.log"), "a") as log:
            log.write("%s was not started by Wine (exit code 1, no output), attempt %d\n" % (what, attempt + 1))

    def end_programs(self):
        """Ends every program this session started and waits until no stand-in is left; meant as
        run_checks' after_each, so that a check leaves nothing to the next."""
        for program in self.programs:
            program.kill()
        wait_for(lambda: not self.standins(), 10, what="no stand-in left")

    def end_programs_without_faults(self):
        """end_programs, then fails if a stand-in logged a fault of its host since the last call: a call
        the platform's control forbids (closed inside its own event, unadvised without a site, called
        after OLE ended). Meant as run_checks' after_each for the program's own tests."""
        self.end_programs()
        entries = self.standin_log()
        faults = [e.line for e in entries[self._fault_checked:] if e.event == "Fault"]
        self._fault_checked = len(entries)
        if faults:
            raise HarnessError("faults of the host: %s" % faults)

    def standins(self):
        """The live stand-ins: dicts with index, hwnd, pid, host, root, visible, focused, rect, url."""
        return [parse_record(line) for line in self.ctl("list")]

    def wait_standin(self, count=1, timeout=15.0, condition=None):
        """Waits until exactly count stand-ins live (and condition(list) holds); answers the list, or the one."""
        def ready():
            live = self.standins()
            if len(live) == count and (condition is None or condition(live)):
                return live
            return None
        live = wait_for(ready, timeout, interval=0.1, what="%d live stand-in(s)" % count)
        return live[0] if count == 1 else live

    def windows(self, children=False):
        """Top-level windows (with children when asked): dicts with hwnd, pid, tid, class, visible, minimized,
        maximized, rect, client, owner, parent, style, exstyle, text."""
        return [parse_record(line) for line in self.ctl("windows", *(["--all"] if children else []))]

    def window(self, hwnd):
        """The record of one top-level window (see windows), or None once it is gone."""
        return next((w for w in self.windows() if w["hwnd"] == hwnd), None)

    def find_windows(self, criteria=None, children=False):
        """Windows whose record matches criteria: a dict of field values (e.g. {"class": "AtlAxWin80",
        "visible": True}) or a callable taking the record."""
        def matches(record):
            if criteria is None:
                return True
            if callable(criteria):
                return criteria(record)
            return all(record.get(key) == value for key, value in criteria.items())
        return [w for w in self.windows(children) if matches(w)]

    def wait_window(self, criteria, count=1, timeout=10.0, children=False):
        """Waits until exactly count windows match criteria (see find_windows); answers them, or the one."""
        found = wait_for(lambda: (lambda w: w if len(w) == count else None)(self.find_windows(criteria, children)),
                         timeout, interval=0.1, what="%d window(s) matching %r" % (count, criteria))
        return found[0] if count == 1 else found

    def foreground(self):
        """The foreground window: dict with hwnd, class, active, focus, focusclass, capture, text."""
        lines = self.ctl("foreground")
        return parse_record(lines[0]) if lines else {}

    def _metrics(self):
        return {key: int(value) for key, value in (field.split("=") for field in self.ctl("metrics")[0].split("\t"))}

    def metrics(self):
        """The full-screen client area's size as the system reports it: (width, height)."""
        record = self._metrics()
        return record["fullwidth"], record["fullheight"]

    def small_icon(self):
        """The system's small-icon size (SM_CXSMICON) at the display's DPI."""
        return self._metrics()["smallicon"]

    def _request(self, command, address, index, hwnd, timeout, options=()):
        args = [command] + ([address] if address is not None else []) + list(options)
        if index is not None:
            args += ["--index", index]
        if hwnd is not None:
            args += ["--hwnd", "0x%x" % hwnd]
        args += ["--timeout", int(timeout * 1000)]
        lines = self.ctl(*args, timeout=timeout + 30)
        return parse_record(lines[0]) if lines else {}

    def navigate(self, address, index=None, hwnd=None, timeout=10.0):
        """As if the user submitted a form: the stand-in raises NavigateComplete2 and DocumentComplete with
        address from the host's message dispatch. Answers e.g. {'252': 'raised', '259': 'raised', ...};
        an event the host made impossible (it closed the control) shows as 'dropped'."""
        return self._request("navigate", address, index, hwnd, timeout)

    def new_window3(self, address, index=None, hwnd=None, timeout=10.0):
        """Raises NewWindow3 for address; answers the Cancel value the host wrote back (-1 or 0)."""
        return self._request("newwindow3", address, index, hwnd, timeout).get("cancel")

    def new_window2(self, index=None, hwnd=None, timeout=10.0):
        """Raises NewWindow2; answers the Cancel value the host wrote back."""
        return self._request("newwindow2", None, index, hwnd, timeout).get("cancel")

    def window_closing(self, index=None, hwnd=None, timeout=10.0):
        """Raises WindowClosing, as window.close() in a page does; answers the Cancel value the host wrote back."""
        return self._request("windowclosing", None, index, hwnd, timeout).get("cancel")

    def navigate_error(self, address, status=None, frame=False, index=None, hwnd=None, timeout=10.0):
        """Raises NavigateError for address, of the page itself or of a frame in it, with status (an HRESULT
        or an HTTP status; by default INET_E_RESOURCE_NOT_FOUND); answers the Cancel value the host wrote back."""
        options = (["--status", status] if status is not None else []) + (["--frame"] if frame else [])
        return self._request("navigateerror", address, index, hwnd, timeout, options).get("cancel")

    def alert(self, text=None, index=None, hwnd=None, timeout=10.0):
        """Shows a page's alert(text) as the control does (its modal UI announced to the host, a message
        box owned by its root window); answers {'alert': 'shown'} as the box appears, not when it is answered."""
        return self._request("alert", text, index, hwnd, timeout)

    def stop(self, index=None, hwnd=None, timeout=10.0):
        """The page's window.stop(), or Escape: a stalled navigation ends and DownloadComplete is raised."""
        return self._request("stop", None, index, hwnd, timeout)

    def close_window(self, hwnd):
        """Posts WM_CLOSE to a window, as the taskbar or another program asks it to close."""
        self.ctl("close", "--hwnd", "0x%x" % hwnd)

    def syscommand(self, hwnd, code):
        """Posts WM_SYSCOMMAND with code (SC_MINIMIZE, SC_RESTORE ...) to a window, as its system menu does."""
        self.ctl("syscommand", "--hwnd", "0x%x" % hwnd, "0x%x" % code)

    # -- logs

    def standin_log(self):
        """Entries of the stand-in log of this session, in order."""
        try:
            with open(self.standin_log_path, encoding="utf-8", errors="replace") as f:
                return [LogEntry(line.rstrip("\n")) for line in f if line.strip()]
        except FileNotFoundError:
            return []

    def log_events(self, event=None, **fields):
        """Entries of the stand-in log with the given event name and field values."""
        return [e for e in self.standin_log()
                if (event is None or e.event == event) and all(e.get(k) == v for k, v in fields.items())]

    def wait_log(self, event, count=1, timeout=10.0, **fields):
        """Waits until the stand-in log holds count entries matching; answers them."""
        return wait_for(lambda: (lambda found: found if len(found) >= count else None)(
            self.log_events(event, **fields)), timeout, what="%d stand-in log line(s) %s %r" % (count, event, fields))

    def browser_log(self):
        """Addresses given to the default browser in this session, in order."""
        try:
            with open(self.browser_log_path, encoding="utf-8", errors="replace") as f:
                return [line.rstrip("\n") for line in f if line.strip()]
        except FileNotFoundError:
            return []

    # -- screen

    def screenshot(self, label):
        """Saves the whole screen to <build>/screenshots/<session>-<n>-<label>.png; answers a Screenshot."""
        self._shots += 1
        path = os.path.join(self.paths.screenshots, "%s-%02d-%s.png" % (self.name, self._shots, label))
        subprocess.run(["import", "-window", "root", path], check=True, timeout=30, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return Screenshot(path)

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=30, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def mouse_location(self):
        """Where the pointer is: (x, y) on the screen."""
        result = subprocess.run(["xdotool", "getmouselocation", "--shell"], check=True, timeout=30,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        fields = dict(line.split("=", 1) for line in result.stdout.decode().split() if "=" in line)
        return int(fields["X"]), int(fields["Y"])

    def mouse_move(self, x, y):
        # `mousemove --sync` waits for the pointer to move: about 15 s when it is already there.
        if self.mouse_location() != (int(x), int(y)):
            self.xdotool("mousemove", "--sync", int(x), int(y))

    def click(self, x, y, button=1):
        self.mouse_move(x, y)
        self.xdotool("click", button)

    def mouse_down(self, button=1):
        self.xdotool("mousedown", button)

    def mouse_up(self, button=1):
        self.xdotool("mouseup", button)

    def drag(self, x1, y1, x2, y2, button=1, steps=8):
        self.mouse_move(x1, y1)
        self.mouse_down(button)
        for step in range(1, steps + 1):
            self.mouse_move(x1 + (x2 - x1) * step // steps, y1 + (y2 - y1) * step // steps)
        self.mouse_up(button)

    def key(self, *keys):
        """Presses and releases each key (xdotool names: Return, F5, alt+F4, ...)."""
        self.xdotool("key", "--delay", 30, *keys)

    def key_down(self, key):
        self.xdotool("keydown", key)

    def key_up(self, key):
        self.xdotool("keyup", key)

    def type_text(self, text):
        self.xdotool("type", "--delay", 30, text)

