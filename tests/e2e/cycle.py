"""Drives the unmodified launcher through its cycle (login window, game window, a fresh login
window) with the stand-in browser and real input; shared by the cycle test, the soak and the demo."""

import os

from harness import scaled, wait_for

LOGIN_PAGE = "http://passport.ops.test/kolv/login"
LOGIN_SIZE = (1186, 954)
# The login window's close button, relative to the window: left, top, width, height (at 96 DPI).
LOGIN_CLOSE_BUTTON = (1045, 364, 22, 22)
# The game window's close button: its left edge lies this far from the window's right edge.
GAME_CLOSE_FROM_RIGHT = 32
GAME_BUTTON_SIZE = (30, 27)
# What a session that checks the exit asks Wine to print: errors, and every exception raised.
EXIT_WINEDEBUG = "fixme-all,err+all,warn+seh"


def game_address(n):
    """A game server's login address, different for every n, with characters that must survive."""
    return "http://s%d.kolv.ops.test/login.php?uid=%d&key=k%%20%d&sid=a+b" % (n % 9 + 1, 1000 + n, n)


def complaints(stderr):
    """Lines of a program's standard error that tell of a fault: all but the debugger lines the
    login window writes on activation (Wine reports them as exceptions of their own kind)."""
    return [line for line in stderr.splitlines()
            if line.strip() and not (":warn:seh:dispatch_exception \"" in line and line.endswith("\""))]


class Launcher:
    """One launcher process under a session, and what it has shown so far."""

    def __init__(self, session, *args, name=None, exe=None, env=None):
        self.session = session
        self.program = session.start(exe or session.paths.target("launcher"), *args, name=name, env=env)
        self.pid = None
        self.seen = set()
        self.login = None
        self.game = None
        self.page = None

    def _window(self, hwnd):
        return next((w for w in self.session.windows() if w["hwnd"] == hwnd), None)

    def _new_standin(self, url, timeout):
        def found():
            return next((r for r in self.session.standins()
                         if r["hwnd"] not in self.seen and r["url"] == url
                         and (self.pid is None or r["pid"] == self.pid)), None)
        standin = wait_for(found, timeout, interval=0.05, what="a new stand-in on %s" % url)
        self.seen.add(standin["hwnd"])
        self.pid = standin["pid"]
        return standin

    def wait_login(self, timeout=15.0):
        """Waits for a new login window showing a new stand-in on the login page in a host it owns, shown
        and in front with the keyboard in its page; answers the window's record."""
        self.page = self._new_standin(LOGIN_PAGE, timeout)
        host = self._window(self.page["host"])
        assert host and host["class"] == "AtlAxWin80" and host["owner"], host

        def shown():
            windows = self.session.find_windows({"class": "LoginerWind", "pid": self.pid, "visible": True})
            foreground = self.session.foreground()
            if (len(windows) == 1 and windows[0]["hwnd"] == host["owner"] and foreground.get("hwnd") == host["hwnd"]
                    and foreground.get("focusclass") == "StandInBrowser"):
                return windows[0]
            return None
        self.login = wait_for(shown, timeout, interval=0.05, what="the login window in front")
        self.game = None
        return self.login

    def log_in(self, address, timeout=15.0):
        """Completes a navigation of the login page to address; answers the game window's record once
        it is shown, with a new stand-in on address in its page host."""
        reply = self.session.navigate(address, hwnd=self.page["hwnd"])
        assert reply.get("252") == "raised", reply
        self.page = self._new_standin(address, timeout)
        host = self._window(self.page["host"])
        assert host and host["class"] == "AtlAxWin80" and host["owner"], host

        def shown():
            window = self._window(host["owner"])
            return window if window and window["visible"] else None
        self.game = wait_for(shown, timeout, interval=0.05, what="the game window shown")
        assert self.game["class"] == "LoginerWind" and self.game["pid"] == self.pid, self.game
        self.login = None
        return self.game

    def game_close_button(self):
        left, top, right, _ = self.game["rect"]
        return (right - scaled(GAME_CLOSE_FROM_RIGHT - GAME_BUTTON_SIZE[0] // 2),
                top + scaled(GAME_BUTTON_SIZE[1] // 2))

    def close_login(self):
        """Clicks the login window's close button."""
        self.session.click(*self.login_close_button())

    def login_close_button(self):
        left, top, _, _ = self.login["rect"]
        x, y, width, height = LOGIN_CLOSE_BUTTON
        return left + scaled(x + width // 2), top + scaled(y + height // 2)

    def close_game(self, timeout=15.0):
        """Clicks the game window's close button; answers the fresh login window's record."""
        game = self.game["hwnd"]
        self.session.click(*self.game_close_button())
        login = self.wait_login(timeout)
        wait_for(lambda: self._window(game) is None, timeout, what="the game window gone")
        return login

    def windows_left(self):
        return [w for w in self.session.windows() if w["pid"] == self.pid]

    def wait_exit(self, timeout=15.0):
        """Waits for the process to end; answers its exit code. A process that does not end shows
        its standard error (a crash leaves Wine's error dialog open)."""
        try:
            return self.program.wait(timeout)
        except AssertionError as error:
            raise AssertionError("%s; its standard error: %s" % (error, self.program.errors()[-2000:])) from None

    def unix_pid(self):
        """The Linux process that runs launcher.exe: in the process group the session started."""
        group = self.program.pid
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                if os.getpgid(int(entry)) != group:
                    continue
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    command = f.read().split(b"\0")[0]
            except (OSError, ProcessLookupError):
                continue
            if command.lower().endswith(b"launcher.exe"):
                return int(entry)
        raise AssertionError("no process of group %d runs launcher.exe" % group)
