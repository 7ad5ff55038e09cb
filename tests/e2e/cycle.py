"""Drives the unmodified launcher through its cycle (login window, game window, a fresh login
window) with the stand-in browser and real input; shared by the cycle test, the soak and the demo."""

from game_window import button_point
from harness import scaled, wait_for
from launcher import Launcher
from login_window import CLOSE_BUTTON, LOGIN_PAGE, button_centre

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


class Cycle(Launcher):
    """One launcher process under a session, started with the session's Wine debug channels, and
    what it has shown so far of its cycle."""

    def __init__(self, session, *args, name=None, exe=None, env=None):
        super().__init__(session, *args, name=name, exe=exe, env=env, winedebug=None, first_login=False)
        self.seen = set()
        self.login = None
        self.game = None
        self.page = None

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
        host = self.session.window(self.page["host"])
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
        host = self.session.window(self.page["host"])
        assert host and host["class"] == "AtlAxWin80" and host["owner"], host

        def shown():
            window = self.session.window(host["owner"])
            return window if window and window["visible"] else None
        self.game = wait_for(shown, timeout, interval=0.05, what="the game window shown")
        assert self.game["class"] == "LoginerWind" and self.game["pid"] == self.pid, self.game
        self.login = None
        return self.game

    def game_close_button(self):
        return button_point(self.game["rect"], "game_close")

    def close_login(self):
        """Clicks the login window's close button."""
        self.session.click(*self.login_close_button())

    def login_close_button(self):
        left, top, _, _ = self.login["rect"]
        x, y = button_centre(CLOSE_BUTTON)
        return left + scaled(x), top + scaled(y)

    def close_game(self, timeout=15.0):
        """Clicks the game window's close button; answers the fresh login window's record."""
        game = self.game["hwnd"]
        self.session.click(*self.game_close_button())
        login = self.wait_login(timeout)
        wait_for(lambda: self.session.window(game) is None, timeout, what="the game window gone")
        return login
