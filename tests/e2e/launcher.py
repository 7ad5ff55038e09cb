"""One launcher process under a session, what it logged, opened and started, and the keyboard in
its pages; also the other program a player may have in front of it."""

import os

from harness import wait_for
from login_window import LOGIN_PAGE, PAGE_POINT, login_window

WM_KEYDOWN, WM_CHAR = 0x0100, 0x0102
WS_EX_LAYERED = 0x00080000  # both windows draw themselves with per-pixel alpha


class Launcher:
    """A launcher started in the session; with first_login, once its first login window, page host
    and stand-in are there."""

    def __init__(self, s, *args, name=None, exe=None, env=None, winedebug="-all,warn+debugstr", first_login=True):
        self.session = s
        self.log_start = len(s.standin_log())
        self.browser_start = len(s.browser_log())
        self.program = s.start(exe or s.paths.target("launcher"), *args, name=name, winedebug=winedebug, env=env)
        self.pid = None
        if first_login:
            self.standin = s.wait_standin(condition=lambda live: live[0]["url"] == LOGIN_PAGE)
            self.pid = self.standin["pid"]
            self.window = s.wait_window(login_window(self.pid))
            self.host = s.wait_window({"hwnd": self.standin["host"]})
            self.left, self.top = self.window["rect"][:2]

    def at(self, x, y):
        """A point of the first login window on the screen."""
        return self.left + x, self.top + y

    def log(self, event=None, **fields):
        """This launcher's stand-in log entries."""
        return [e for e in self.session.standin_log()[self.log_start:] if e.pid == self.pid
                and (event is None or e.event == event) and all(e.get(k) == v for k, v in fields.items())]

    def opened(self):
        """Addresses given to the default browser since the start."""
        return self.session.browser_log()[self.browser_start:]

    def presents(self):
        """Layered-window presents so far, whole or in part (the launcher started with +relay)."""
        return self.program.errors().count("Call user32.UpdateLayeredWindow")

    def debugger_lines(self):
        marker = "OutputDebugStringA "
        return [line.split(marker, 1)[1] for line in self.program.errors().splitlines() if marker in line]

    def started(self):
        """Programs the launcher started that still run, besides the default browser's helper.
        ShellExecuteW has created its process by the time it returns, so this needs no wait."""
        code, out, _ = self.session.run("winedbg", "--command", "info process")
        assert code == 0, out
        # One process a line, its name in quotes, indented under the process that started it.
        children, depth = [], None
        for line in out.splitlines()[1:]:
            if "'" not in line:
                continue
            indent, name = line.index("'"), line[line.index("'") + 1:line.rindex("'")]
            if depth is not None and indent > depth:
                children.append(name)
            elif name.lower() == "launcher.exe":
                depth = indent
            else:
                depth = None
        return [name for name in children if name.lower() != "winebrowser.exe"]

    def focus_page(self):
        """Clicks into the first login window's page and waits for the keyboard there."""
        focus_page(self.session, *self.at(*PAGE_POINT))

    def typed_into_page(self, *keys):
        """Types keys and answers the characters the page received, once all of them came or not."""
        start = len(self.log())
        self.session.key(*keys)
        received = lambda: [chr(e.get("key")) for e in self.log()[start:]
                            if e.event == "Key" and e.get("msg") == WM_CHAR]
        try:
            wait_for(lambda: len(received()) >= len(keys), 5, what="the keys in the page")
        except AssertionError:
            pass
        return received()

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


def wait_keyboard_in_page(s, what="the page focused"):
    wait_for(lambda: s.foreground()["focusclass"] == "StandInBrowser", 5, what=what)


def focus_page(s, x, y):
    s.click(x, y)
    wait_keyboard_in_page(s)


def start_other_program(s):
    """Another program, a host of a page of its own, in front of the launcher; answers it."""
    other = s.start(s.paths.standin_host, "--url", "http://other.test/", "--rect", "0,0,320,200")
    wait_for(lambda: s.foreground()["class"] == "StandInTestHost", 10, what="the other program in front")
    s.wait_standin(2, condition=lambda live: all(r["url"] for r in live))
    return other


def drag_window(s, hwnd, x, y, dx, dy, steps=8):
    """Presses at (x, y) and drags the window by (dx, dy). The window's move loop starts from a
    message the window posts itself, and follows the pointer from where it is at that moment:
    nudge the pointer until the window answers, then move it relative to that point."""
    left, top = s.window(hwnd)["rect"][:2]
    s.mouse_move(x, y)
    s.mouse_down()
    try:
        nudge = [0]

        def following():
            nudge[0] += 1
            s.mouse_move(x, y + nudge[0])
            now = s.window(hwnd)["rect"][:2]
            return (now[0] - left, now[1] - top) if now != (left, top) else None
        moved = wait_for(following, 10, interval=0.05, what="the window's move loop")
        start_x, start_y = x - moved[0], y + nudge[0] - moved[1]
        for step in range(1, steps + 1):
            s.mouse_move(start_x + dx * step // steps, start_y + dy * step // steps)
        wait_for(lambda: s.window(hwnd)["rect"][:2] == (left + dx, top + dy), 5, what="the window dragged")
    finally:
        s.mouse_up()
