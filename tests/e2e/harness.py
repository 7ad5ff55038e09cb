"""Shared harness of the end-to-end tests: a Wine prefix with the stand-in
browser control registered, programs started under Wine on a display, the
stand-in's control tool, logs, screenshots and real input through xdotool.

Standard library only (PIL is used for pixels when installed). Every process
the harness starts is ended by its id when the session closes, also when a
test fails or the test process is interrupted.
"""

import atexit
import fcntl
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

STANDIN_CLSID = "{3B0CCF32-A83A-428F-9B56-70CC39BC6BC3}"
PROGID = "Shell.Explorer.2"
# What the stand-in paints: background, text, and the frame with and without the keyboard focus.
STANDIN_BACKGROUND = (240, 248, 255)
STANDIN_TEXT = (16, 32, 64)
STANDIN_FRAME_FOCUSED = (0, 120, 215)
STANDIN_FRAME = (160, 160, 160)

WINE_DLL_OVERRIDES = "mscoree,mshtml="
# The loader of the build's architecture (CMake and the scripts set WINELOADER and WINEARCH); never
# the `wine` wrapper, which picks the 32-bit loader wherever one is installed, runnable or not.
WINE = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")
WINE_ARCH = os.environ.get("WINEARCH", "win64")
WINESERVER = "/usr/lib/wine/wineserver"
DEFAULT_SCREEN = "1920x1080x24"
# With WINEDEBUG=+relay only these calls are traced: one "Call user32.<name>(" line each on stderr.
RELAYED = "user32.UpdateLayeredWindow;user32.UpdateLayeredWindowIndirect"
# With E2E_WINDOW_MANAGER=openbox a session runs on a display of its own under openbox, and Wine
# manages its windows as on a desktop (Managed=Y): the way a player's windows are treated.
MANAGED = os.environ.get("E2E_WINDOW_MANAGER") == "openbox"
# The display scale of the prefix (E2E_DPI with its own E2E_WINEPREFIX): HKCU\Control Panel\Desktop
# LogPixels, which Wine reads as each process starts. 96 leaves a default prefix as it is.
DPI = int(os.environ.get("E2E_DPI", "96"))


def scaled(edge):
    """A 96-DPI design edge at the prefix's DPI, rounded as the launcher rounds edges (halves up)."""
    return (edge * DPI + 48) // 96


# A persistent wineserver left behind by a killed run exits this long after its last client.
SERVER_LINGER_SECONDS = 60

_QUIET = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}


class HarnessError(Exception):
    pass


# ---------------------------------------------------------------- paths


def _env_path(name, default):
    value = os.environ.get(name)
    return os.path.abspath(value if value else default)


class Paths:
    """Where things are, from the environment CTest gives (see README.md)."""

    def __init__(self):
        self.build_dir = _env_path("E2E_BUILD_DIR", os.getcwd())
        here = os.path.join(self.build_dir, "tests", "e2e")
        self.prefix = _env_path("E2E_WINEPREFIX", os.path.join(self.build_dir, "wineprefix-e2e"))
        self.standin_dll = _env_path("E2E_STANDIN_DLL", os.path.join(here, "standin.dll"))
        self.standinctl = _env_path("E2E_STANDINCTL", os.path.join(here, "standinctl.exe"))
        self.standin_host = _env_path("E2E_STANDIN_HOST", os.path.join(here, "standin_host.exe"))
        self.browser_script = _env_path("E2E_BROWSER_SCRIPT", os.path.join(here, "browser-capture.sh"))
        self.screenshots = os.path.join(self.build_dir, "screenshots")
        self.logs = os.path.join(self.build_dir, "e2e-logs")

    def target(self, name):
        """Path of a build target passed with add_e2e_test(... TARGETS name), else <build>/<name>.exe."""
        value = os.environ.get("E2E_TARGET_" + name)
        if value:
            return value
        for candidate in (os.path.join(self.build_dir, name + ".exe"),
                          os.path.join(self.build_dir, "bin", name + ".exe")):
            if os.path.exists(candidate):
                return candidate
        raise HarnessError("no path for target %r: pass it with add_e2e_test(... TARGETS %s)" % (name, name))


def windows_path(unix_path):
    """The Windows form of an absolute Unix path in a Wine prefix (drive Z: is the Unix root)."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


# ---------------------------------------------------------------- records


def _unescape(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(nxt, nxt))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


_HANDLE_KEYS = {"hwnd", "owner", "parent", "host", "root", "active", "focus", "capture", "window", "style", "exstyle"}
_INT_KEYS = {"pid", "tid", "index", "cancel", "disp", "sinks", "obj", "cookie", "verb", "x", "y", "dispid", "msg", "key",
             "hr", "option", "level", "status", "frame", "gpu", "emulation", "theme"}
_BOOL_KEYS = {"visible", "minimized", "maximized", "focused"}
_RECT_KEYS = {"rect", "client"}


def _convert(key, value):
    try:
        if key in _HANDLE_KEYS:
            return int(value, 16)
        if key in _INT_KEYS:
            return int(value, 0)
        if key in _BOOL_KEYS:
            return value == "1"
        if key in _RECT_KEYS:
            return tuple(int(v) for v in value.split(","))
    except ValueError:
        pass
    return value


def parse_record(line):
    """One tab-separated key=value line of standinctl into a dict (handles, numbers, rects converted)."""
    record = {}
    for field in line.rstrip("\n").split("\t"):
        key, sep, value = field.partition("=")
        if sep:
            record[key] = _convert(key, _unescape(value))
    return record


class LogEntry:
    """One stand-in log line: '<pid> <event> <details>', details as key=value words, url= last."""

    def __init__(self, line):
        self.line = line
        parts = line.split(" ", 2)
        self.pid = int(parts[0]) if parts and parts[0].isdigit() else -1
        self.event = parts[1] if len(parts) > 1 else ""
        self.details = parts[2] if len(parts) > 2 else ""
        self.fields = {}
        details = self.details
        url_at = details.find("url=")
        while url_at > 0 and details[url_at - 1] != " ":
            url_at = details.find("url=", url_at + 1)
        if url_at >= 0:
            self.fields["url"] = details[url_at + 4:]
            details = details[:url_at]
        for word in details.split():
            key, sep, value = word.partition("=")
            if sep:
                self.fields[key] = _convert(key, value)

    def get(self, key, default=None):
        return self.fields.get(key, default)

    def __repr__(self):
        return "LogEntry(%r)" % self.line


# ---------------------------------------------------------------- waiting


def wait_for(condition, timeout=10.0, interval=0.05, what=None):
    """Polls condition() until it returns something truthy and returns that; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s (last: %r)"
                                 % (timeout, what or getattr(condition, "__name__", "condition"), last))
        time.sleep(interval)


# ---------------------------------------------------------------- pixels


class Screenshot:
    """A PNG of the whole screen and its pixels."""

    def __init__(self, path):
        self.path = path
        self._image = None

    def _load(self):
        if self._image is None:
            from PIL import Image
            self._image = Image.open(self.path).convert("RGB")
        return self._image

    @property
    def size(self):
        return self._load().size

    def pixel(self, x, y):
        return self._load().getpixel((x, y))

    def count(self, rect, colour, tolerance=0):
        """How many pixels of rect (left, top, right, bottom) are within tolerance of colour."""
        image = self._load()
        left, top, right, bottom = rect
        total = 0
        for y in range(max(top, 0), min(bottom, image.size[1])):
            for x in range(max(left, 0), min(right, image.size[0])):
                p = image.getpixel((x, y))
                if all(abs(p[i] - colour[i]) <= tolerance for i in range(3)):
                    total += 1
        return total


def colour_close(actual, expected, tolerance=8):
    return all(abs(actual[i] - expected[i]) <= tolerance for i in range(3))


# ---------------------------------------------------------------- processes


def _kill_group(pid):
    try:
        os.killpg(pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


class Program:
    """A Windows program started with the Wine loader in its own process group."""

    def __init__(self, name, popen, stdout_path, stderr_path):
        self.name = name
        self.popen = popen
        self.pid = popen.pid
        self.stdout_path = stdout_path
        self.stderr_path = stderr_path

    @property
    def running(self):
        return self.popen.poll() is None

    @property
    def returncode(self):
        return self.popen.poll()

    def wait(self, timeout=10.0):
        """Waits for the exit and answers the exit code (Wine passes the Windows code, modulo 256)."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("%s still running after %.1f s" % (self.name, timeout)) from None

    @property
    def never_started(self):
        """Ended with 1 having written nothing: Wine did not start it (as with standinctl, below)."""
        return self.returncode == 1 and not self.output() and not self.errors()

    def output(self):
        with open(self.stdout_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def errors(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def lines(self):
        return self.output().splitlines()

    def kill(self):
        if self.running:
            _kill_group(self.pid)
        try:
            self.popen.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass


# ---------------------------------------------------------------- display


def _start_xvfb(screen):
    """Starts Xvfb on a display number it finds free itself (-displayfd), which no other session
    starting at the same time can take first; answers (":N", its process)."""
    read_end, write_end = os.pipe()
    try:
        popen = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp",
                                  "-noreset"], pass_fds=(write_end,), start_new_session=True, **_QUIET)
        os.close(write_end)
        write_end = None
        with os.fdopen(read_end, "rb") as pipe:
            read_end = None
            # Written once the server listens; at its end without a number it did not start.
            ready, _, _ = select.select([pipe], [], [], 10)
            number = pipe.readline().strip() if ready else b""
    finally:
        for fd in (read_end, write_end):
            if fd is not None:
                os.close(fd)
    if not number:
        _kill_group(popen.pid)
        popen.wait(timeout=10)
        raise HarnessError("Xvfb did not start within 10 s (exit code %s)" % popen.returncode)
    return ":%s" % number.decode(), popen


# A player's desktop has a taskbar. Without a window manager to say where one is, the display is
# given a work area that leaves a bar this high at its bottom (Wine reads the root window's
# _NET_WORKAREA). Under Wine a window that covers a whole monitor also has the pointer clipped
# to it through an X grab, which Windows does not do; when it was active as it came to cover the
# monitor, the grab can outlast the full screen, and clicks then reach that window only.
TASKBAR_HEIGHT = 40


def reserve_taskbar():
    """Gives the display a work area above a taskbar, unless something already set one."""
    from Xlib import Xatom, display
    d = display.Display()
    try:
        root = d.screen().root
        if root.get_full_property(d.intern_atom("_NET_WORKAREA"), Xatom.CARDINAL) is None:
            geometry = root.get_geometry()
            root.change_property(d.intern_atom("_NET_WORKAREA"), Xatom.CARDINAL, 32,
                                 [0, 0, geometry.width, geometry.height - TASKBAR_HEIGHT])
            d.sync()
    finally:
        d.close()


def window_manager_running():
    """Whether a window manager has announced itself on the display's root window."""
    from Xlib import Xatom, display
    d = display.Display()
    try:
        return d.screen().root.get_full_property(d.intern_atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW) is not None
    finally:
        d.close()


def work_area():
    """The display's work area as (left, top, right, bottom)."""
    from Xlib import Xatom, display
    d = display.Display()
    try:
        x, y, width, height = d.screen().root.get_full_property(d.intern_atom("_NET_WORKAREA"), Xatom.CARDINAL).value[:4]
        return (x, y, x + width, y + height)
    finally:
        d.close()


# ---------------------------------------------------------------- prefix


_BROWSER_SCRIPT = """#!/bin/sh
# Stands in for the default browser in the end-to-end Wine prefix: records each address.
for address in "$@"; do
    printf '%s\\n' "$address" >> "${BROWSER_LOG:-/dev/null}"
done
"""


def wine_environment(paths, winedebug="-all"):
    env = dict(os.environ)
    env.update(WINEPREFIX=paths.prefix, WINEARCH=WINE_ARCH, WINELOADER=WINE, WINEDLLOVERRIDES=WINE_DLL_OVERRIDES,
               WINEDEBUG=winedebug)
    env.pop("WINESERVER", None)
    return env


def _reg_escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def _registration(paths):
    """Registry values the e2e prefix needs: (hive file, key as Wine stores it, value name, data)."""
    clsid_key = "Software\\\\Classes\\\\CLSID\\\\" + STANDIN_CLSID
    return [
        ("system.reg", "Software\\\\Classes\\\\" + PROGID + "\\\\CLSID", "@", STANDIN_CLSID),
        ("system.reg", clsid_key + "\\\\InprocServer32", "@", windows_path(paths.standin_dll)),
        ("system.reg", clsid_key + "\\\\InprocServer32", "\"ThreadingModel\"", "Apartment"),
        ("user.reg", "Software\\\\Wine\\\\WineBrowser", "\"Browsers\"", paths.browser_script),
        ("user.reg", "Software\\\\Wine\\\\X11 Driver", "\"Managed\"", "Y" if MANAGED else "N"),
        ("user.reg", "Software\\\\Wine\\\\Debug", "\"RelayInclude\"", RELAYED),
    ] + ([("user.reg", "Control Panel\\\\Desktop", "\"LogPixels\"", DPI)] if DPI != 96 else [])


def _reg_file(paths):
    dll = _reg_escape(windows_path(paths.standin_dll))
    return "\r\n".join([
        "REGEDIT4",
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\%s\\CLSID]" % PROGID,
        '@="%s"' % STANDIN_CLSID,
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\%s]" % STANDIN_CLSID,
        '@="Stand-in browser control for end-to-end tests"',
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\%s\\InprocServer32]" % STANDIN_CLSID,
        '@="%s"' % dll,
        '"ThreadingModel"="Apartment"',
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\%s\\ProgID]" % STANDIN_CLSID,
        '@="%s"' % PROGID,
        "",
        "[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]",
        '"Browsers"="%s"' % _reg_escape(paths.browser_script),
        "",
        "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]",
        '"Managed"="%s"' % ("Y" if MANAGED else "N"),
        "",
        "[HKEY_CURRENT_USER\\Software\\Wine\\Debug]",
        '"RelayInclude"="%s"' % RELAYED,
        "",
    ] + (["[HKEY_CURRENT_USER\\Control Panel\\Desktop]", '"LogPixels"=dword:%08x' % DPI, ""] if DPI != 96 else [])
      + [""])


def _registry_sections(path):
    """Key (lower case, as escaped in the file) -> list of its value lines, from a Wine hive file."""
    sections = {}
    current = None
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.rstrip("\n")
                if line.startswith("["):
                    current = sections.setdefault(line[1:line.rfind("]")].lower(), [])
                elif current is not None:
                    current.append(line)
    except FileNotFoundError:
        pass
    return sections


def _registered(paths):
    hives = {}
    for hive, key, name, data in _registration(paths):
        if hive not in hives:
            hives[hive] = _registry_sections(os.path.join(paths.prefix, hive))
        expected = '%s=dword:%08x' % (name, data) if isinstance(data, int) else '%s="%s"' % (name, _reg_escape(data))
        if expected.lower() not in (v.lower() for v in hives[hive].get(key.lower(), [])):
            return False
    return True


def _server_socket(prefix):
    st = os.stat(prefix)
    return "/tmp/.wine-%d/server-%x-%x/socket" % (os.getuid(), st.st_dev, st.st_ino)


def server_running(prefix):
    """Whether a wineserver serves the prefix now (its socket accepts a connection); starts nothing."""
    if not os.path.isdir(prefix):
        return False
    path = _server_socket(prefix)
    if not os.path.exists(path):
        return False
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect(path)
        return True
    except OSError:
        return False
    finally:
        probe.close()


def _update_pending(prefix):
    """Whether Wine would run its prefix update (which re-registers its own browser control)."""
    try:
        with open(os.path.join(prefix, ".update-timestamp")) as f:
            stamp = f.read().strip()
    except FileNotFoundError:
        return True
    if stamp == "disable":
        return False
    for inf in ("/usr/share/wine/wine.inf", "/usr/lib/wine/wine.inf"):
        if os.path.exists(inf):
            return stamp != str(int(os.stat(inf).st_mtime))
    return False


def _write_browser_script(paths):
    os.makedirs(os.path.dirname(paths.browser_script), exist_ok=True)
    current = None
    if os.path.exists(paths.browser_script):
        with open(paths.browser_script) as f:
            current = f.read()
    if current != _BROWSER_SCRIPT:
        with open(paths.browser_script, "w") as f:
            f.write(_BROWSER_SCRIPT)
    os.chmod(paths.browser_script, 0o755)


def ensure_prefix(paths=None):
    """Creates the e2e prefix once and (re)registers the stand-in and the browser capture when needed.

    Must run while no wineserver serves the prefix, so that its hive files are current.
    """
    paths = paths or Paths()
    if not os.path.exists(paths.standin_dll):
        raise HarnessError("stand-in not built: %s" % paths.standin_dll)
    _write_browser_script(paths)
    os.makedirs(os.path.dirname(paths.prefix), exist_ok=True)
    env = wine_environment(paths)
    with open(paths.prefix + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if server_running(paths.prefix):
            return
        if not os.path.exists(os.path.join(paths.prefix, "system.reg")):
            subprocess.run([WINE, "wineboot.exe", "-i"], env=env, check=True, timeout=300, **_QUIET)
            subprocess.run([WINESERVER, "-w"], env=env, timeout=120, **_QUIET)
        elif _update_pending(paths.prefix):
            subprocess.run([WINE, "wineboot.exe", "-u"], env=env, timeout=300, **_QUIET)
            subprocess.run([WINESERVER, "-w"], env=env, timeout=120, **_QUIET)
        if _registered(paths):
            return
        reg = os.path.join(paths.prefix, "e2e-standin.reg")
        with open(reg, "w", encoding="ascii", newline="") as f:
            f.write(_reg_file(paths))
        subprocess.run([WINE, "reg", "import", windows_path(reg)], env=env, check=True, timeout=120, **_QUIET)
        subprocess.run([WINESERVER, "-w"], env=env, timeout=120, **_QUIET)
        if not _registered(paths):
            raise HarnessError("registering the stand-in in %s did not take" % paths.prefix)


# ---------------------------------------------------------------- what the X server maps


class MapWatcher:
    """Records, from the X server, each top-level window as it is mapped, which is when a player
    first sees it: (X window id, x, y, width, height) in order. With Managed=N every top-level
    Wine window is an X window of its own. Use as a with block around what maps the windows."""

    def __init__(self):
        from Xlib import X, display
        self._x = X
        self._display = display.Display()
        self._display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self._display.sync()
        self._geometry = {}
        self._stopped = threading.Event()
        self.maps = []
        self._thread = threading.Thread(target=self._watch, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, kind, value, traceback):
        self._stopped.set()
        self._thread.join(5)
        self._display.close()
        return False

    def _watch(self):
        X = self._x
        while not self._stopped.is_set():
            while self._display.pending_events():
                event = self._display.next_event()
                if event.type in (X.CreateNotify, X.ConfigureNotify):
                    self._geometry[event.window.id] = (event.x, event.y, event.width, event.height)
                elif event.type == X.MapNotify:
                    self.maps.append((event.window.id,) + self._geometry.get(event.window.id, (None,) * 4))
            self._stopped.wait(0.005)


# ---------------------------------------------------------------- watchdog


class Watchdog:
    """A detached process that ends what a session started if the test process dies without
    cleaning up (CTest ends a test that times out with SIGKILL, which no handler sees).

    The session tells it, over a pipe, each process group, its Xvfb and its wineserver's
    prefix; when the pipe closes without 'done', it kills them."""

    def __init__(self):
        read_fd, self._write_fd = os.pipe()
        child = os.fork()
        if child == 0:
            os.close(self._write_fd)
            self._serve(read_fd)
        os.close(read_fd)
        os.waitpid(child, 0)

    @staticmethod
    def _serve(read_fd):
        try:
            os.setsid()
            if os.fork() != 0:
                os._exit(0)
            null = os.open(os.devnull, os.O_RDWR)
            for fd in (0, 1, 2):
                os.dup2(null, fd)
            os.closerange(3, read_fd)
            os.closerange(read_fd + 1, 1 << 16)
            groups, prefixes, done = [], [], False
            with os.fdopen(read_fd, "r") as orders:
                for line in orders:
                    kind, _, value = line.strip().partition(" ")
                    if kind == "group":
                        groups.append(int(value))
                    elif kind == "server":
                        prefixes.append(value)
                    elif kind == "done":
                        done = True
            if not done:
                for group in groups:
                    _kill_group(group)
                for prefix in prefixes:
                    env = dict(os.environ, WINEPREFIX=prefix)
                    subprocess.run([WINESERVER, "-k"], env=env, timeout=30, **_QUIET)
        finally:
            os._exit(0)

    def tell(self, kind, value=""):
        if self._write_fd is not None:
            os.write(self._write_fd, ("%s %s\n" % (kind, value)).encode())

    def dismiss(self):
        if self._write_fd is not None:
            self.tell("done")
            os.close(self._write_fd)
            self._write_fd = None


# ---------------------------------------------------------------- session


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
            display, self._xvfb = _start_xvfb(os.environ.get("E2E_SCREEN", DEFAULT_SCREEN))
            self._watchdog.tell("group", self._xvfb.pid)
            os.environ["DISPLAY"] = display
        if MANAGED:
            self._window_manager = subprocess.Popen(["openbox"], start_new_session=True, **_QUIET)
            self._watchdog.tell("group", self._window_manager.pid)
            wait_for(window_manager_running, 10, what="openbox")
        reserve_taskbar()
        # The display may be shared: no test starts with the pointer where the last one left it.
        subprocess.run(["xdotool", "mousemove", "0", "0"], timeout=30, **_QUIET)
        ensure_prefix(self.paths)
        env = self.environment()
        if not server_running(self.paths.prefix):
            self._watchdog.tell("server", self.paths.prefix)
            subprocess.run([WINESERVER, "-p%d" % SERVER_LINGER_SECONDS], env=env, timeout=30, **_QUIET)
            self._owns_server = True
        subprocess.run([WINE, "cmd", "/c", "exit"], env=env, timeout=120, **_QUIET)
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
            subprocess.run([WINESERVER, "-k"], env=self.environment(), timeout=30, **_QUIET)
            self._owns_server = False
        if self._window_manager is not None:
            _kill_group(self._window_manager.pid)
            self._window_manager.wait(timeout=5)
            self._window_manager = None
        if self._xvfb is not None:
            # Asked to stop first, Xvfb removes its lock file and socket; killed, it leaves them.
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=5)
            except subprocess.TimeoutExpired:
                _kill_group(self._xvfb.pid)
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


def run_checks(name, checks, winedebug="-all", after_each=None):
    """Runs check functions, each given the session, in one session; prints one line per check and
    '<passed> passed, <failed> failed' at the end; exits non-zero when any failed.
    after_each(session), when given, runs after every check, e.g. to end what a failed check left."""
    passed = failed = 0
    with Session(name, winedebug=winedebug) as session:
        for check in checks:
            started = time.monotonic()
            try:
                check(session)
                if after_each is not None:
                    after_each(session)
            except Exception as error:  # a failed check must not stop the others
                failed += 1
                print("FAIL %s (%.1f s): %s: %s" % (check.__name__, time.monotonic() - started,
                                                     type(error).__name__, error), flush=True)
                if after_each is not None:
                    try:
                        after_each(session)
                    except Exception as cleanup_error:
                        print("     clean-up after it failed too: %s" % cleanup_error, flush=True)
            else:
                passed += 1
                print("ok   %s (%.1f s)" % (check.__name__, time.monotonic() - started), flush=True)
    print("%d passed, %d failed" % (passed, failed), flush=True)
    sys.exit(1 if failed else 0)
