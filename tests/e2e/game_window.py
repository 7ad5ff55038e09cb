"""The game window as the tests know it: reached by a game login in the login window, its title
bar, buttons and caption, and a new login window once it has closed."""

from PIL import Image, ImageChops

import harness
from harness import wait_for
from launcher import Launcher, focus_page
from login_window import GAME_ADDRESS, LOGIN_PAGE, login_window, size

TITLE_BAR_HEIGHT = 30
TITLE_BAR = (0x30, 0x29, 0x21)
COLOUR_KEY = (0xFF, 0x00, 0xFF)
# Title-bar buttons: image name and distance of the left edge from the window's right edge.
BUTTONS = [("game_minimize", 96), ("game_maximize", 64), ("game_close", 32)]
BUTTON_SIZE = (30, 27)
TITLE_POINT = (400, 12)  # on the title bar, on no button
ICON_LEFT = 8  # the icon's left edge in the title bar


def button_point(rect, name):
    """Screen point in the middle of a title-bar button of the window at rect."""
    return (rect[2] - harness.scaled(dict(BUTTONS)[name] - BUTTON_SIZE[0] // 2),
            rect[1] + harness.scaled(BUTTON_SIZE[1] // 2))


class Game:
    """A game window reached by a game login in the launcher's login window."""

    def __init__(self, s, launcher=None):
        self.session = s
        self.launcher = launcher or Launcher(s)
        s.navigate(GAME_ADDRESS)
        self.standin = s.wait_standin(condition=lambda live: live[0]["url"] == GAME_ADDRESS)
        self.host = s.wait_window({"hwnd": self.standin["host"]})
        self.window = s.wait_window({"hwnd": self.host["owner"]})
        self.hwnd = self.window["hwnd"]
        # Stand-ins are numbered afresh when their DLL is loaded again: this one is the last made.
        entries = s.standin_log()
        self.log_start = max(i for i, e in enumerate(entries) if e.event == "Create" and e.pid == self.launcher.pid)
        self.obj = entries[self.log_start].get("obj")

    def log(self, event=None, **fields):
        """The game page's stand-in log entries."""
        return [e for e in self.session.standin_log()[self.log_start:] if e.pid == self.launcher.pid
                and e.get("obj") == self.obj and (event is None or e.event == event)
                and all(e.get(k) == v for k, v in fields.items())]

    def refreshes(self):
        return len([e for e in self.log() if e.event in ("Refresh", "Refresh2")])

    def focus_page(self):
        focus_page(self.session, size(self.window["rect"])[0] // 2, 500)

    def focus_title_bar(self):
        self.session.click(*TITLE_POINT)
        wait_for(lambda: self.session.foreground()["focus"] == self.hwnd, 5, what="the game window focused")


def assert_caption(shot, rect, bar_height, icon_size):
    """The title bar of the window at rect shows at its left the icon and the name in light text,
    vertically centred on the bar, and nothing but its own colour above and below them."""
    left, top, right, _ = rect
    bar = Image.open(shot.path).convert("RGB").crop((left, top, right - harness.scaled(96), top + bar_height))
    drawn = ImageChops.difference(bar, Image.new("RGB", bar.size, TITLE_BAR)).convert("L").point(
        lambda v: 255 if v > 8 else 0)
    icon_left, icon_top = harness.scaled(ICON_LEFT), (bar_height - icon_size) // 2
    icon = drawn.crop((icon_left, icon_top, icon_left + icon_size, icon_top + icon_size))
    assert icon.histogram()[255] > icon_size * icon_size // 4, ("icon", shot.path)
    text = bar.crop((icon_left + icon_size, 0, bar.width, bar_height))
    light = [i // text.width for i, pixel in enumerate(text.getdata()) if min(pixel) >= 0xA0]
    # Centred as a line of text is: its ink lies a little above the middle, over the descent.
    assert len(light) > 20 and abs(min(light) - (bar_height - 1 - max(light))) <= harness.scaled(2), \
        ("text", light and (min(light), max(light)), shot.path)
    for rows in ((0, icon_top), (icon_top + icon_size, bar_height)):
        assert not drawn.crop((0, rows[0], bar.width, rows[1])).getbbox(), (rows, shot.path)


def assert_game_closed_and_login_back(s, game, where, order):
    """The game page was closed, unadvised and released in the given order, the game window is gone
    and a new login window shows the login page."""
    # The control's last release may come from the message loop after the window is gone.
    wait_for(lambda: game.log("FinalRelease"), 10, what="the game page's final release")
    events = [e.event for e in game.log()]
    for earlier, later in zip(order, order[1:]):
        assert earlier in events and later in events and events.index(earlier) < events.index(later), \
            (where, events)
    s.wait_standin(condition=lambda live: live[0]["url"] == LOGIN_PAGE)
    s.wait_window(login_window(game.launcher.pid))
    assert s.window(game.hwnd) is None and s.window(game.host["hwnd"]) is None, where
    assert game.launcher.program.running, where
