"""The game window of the unmodified launcher, end to end: reached by a game login in the login
window, its geometry and paint, the title-bar drag, maximise and restore, minimise, F5, full screen
with F11, new-window requests, and the ways back to a new login window."""

import os

from PIL import Image, ImageChops

import harness
from harness import wait_for
from test_login import (GAME_ADDRESS, LOGIN_PAGE, PROGRAM_ADDRESS, WS_EX_LAYERED, Launcher, colours, drag,
                        image_difference, login_window, shows_on_screen, size, typed_into_page, wait_image, window)

TITLE_BAR_HEIGHT = 30
TITLE_BAR = (0x30, 0x29, 0x21)
COLOUR_KEY = (0xFF, 0x00, 0xFF)
# Title-bar buttons: image name and distance of the left edge from the window's right edge.
BUTTONS = [("game_minimize", 96), ("game_maximize", 64), ("game_close", 32)]
BUTTON_SIZE = (30, 27)
TITLE_POINT = (400, 12)  # on the title bar, on no button
ICON_LEFT = 8  # the icon's left edge in the title bar
WM_CHAR = 0x0102
REFRESH_COMPLETELY = 3
VK_F11 = 0x7A
SHELL_STYLES = 0x80000000 | 0x00010000 | 0x00020000 | 0x00080000  # WS_POPUP, WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_SYSMENU


class Game:
    """A game window reached by a game login in the launcher's login window."""

    def __init__(self, s, launcher=None):
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

    def log(self, s, event=None, **fields):
        """The game page's stand-in log entries."""
        return [e for e in s.standin_log()[self.log_start:] if e.pid == self.launcher.pid
                and e.get("obj") == self.obj and (event is None or e.event == event)
                and all(e.get(k) == v for k, v in fields.items())]

    def refreshes(self, s):
        return len([e for e in self.log(s) if e.event in ("Refresh", "Refresh2")])

    def button_point(self, rect, name):
        """Screen point in the middle of a title-bar button of the window at rect."""
        return rect[2] - dict(BUTTONS)[name] + BUTTON_SIZE[0] // 2, rect[1] + BUTTON_SIZE[1] // 2

    def focus_page(self, s):
        s.click(size(self.window["rect"])[0] // 2, 500)
        wait_for(lambda: s.foreground()["focusclass"] == "StandInBrowser", 5, what="the page focused")

    def focus_title_bar(self, s):
        s.click(*TITLE_POINT)
        wait_for(lambda: s.foreground()["focus"] == self.hwnd, 5, what="the game window focused")


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


def wait_page_shown(s, label, x, y):
    """Waits until the screen shows the page at (x, y); answers the screenshot."""
    return wait_for(lambda: (lambda shot: shot if shot.pixel(x, y) == harness.STANDIN_BACKGROUND else None)(
        s.screenshot(label)), 5, interval=0.1, what="the page shown at (%d, %d)" % (x, y))


def assert_game_closed_and_login_back(s, game, where, order):
    """The game page was closed, unadvised and released in the given order, the game window is gone
    and a new login window shows the login page."""
    # The control's last release may come from the message loop after the window is gone.
    wait_for(lambda: game.log(s, "FinalRelease"), 10, what="the game page's final release")
    events = [e.event for e in game.log(s)]
    for earlier, later in zip(order, order[1:]):
        assert earlier in events and later in events and events.index(earlier) < events.index(later), \
            (where, events)
    s.wait_standin(condition=lambda live: live[0]["url"] == LOGIN_PAGE)
    s.wait_window(login_window(game.launcher.pid))
    assert window(s, game.hwnd) is None and window(s, game.host["hwnd"]) is None, where
    assert game.launcher.program.running, where


def check_geometry_and_paint(s):
    launcher = Launcher(s)
    with harness.MapWatcher() as watcher:
        game = Game(s, launcher)
        rect = game.window["rect"]
        width, height = size(rect)
        page = (0, TITLE_BAR_HEIGHT, width, height - TITLE_BAR_HEIGHT)
        wait_for(lambda: page in [m[1:] for m in watcher.maps], 5, what="the game page mapped")
    # The page is first seen after its window, at its place; both are the only windows mapped at the left edge.
    mapped = [m[1:] for m in watcher.maps if m[1] == 0]
    assert mapped == [(0, 0, width, height), page], (mapped, watcher.maps)
    shot = wait_page_shown(s, "game-window", width // 2, 500)
    # The work area of the screen, above the taskbar.
    assert rect == harness.work_area() and width == shot.size[0] and game.window["client"] == rect, (rect, shot.size)
    assert game.window["exstyle"] & WS_EX_LAYERED and game.window["owner"] == 0, game.window
    assert game.host["rect"] == (0, TITLE_BAR_HEIGHT, width, height) and game.host["visible"], game.host
    assert game.standin["rect"] == game.host["client"], (game.standin, game.host)
    assert [e.get("url") for e in game.log(s, "Navigate2")] == [GAME_ADDRESS]

    for name, offset in BUTTONS:
        difference = image_difference(shot, width - offset, 0, name + "_normal.png")
        assert difference <= 6, (name, difference, shot.path)
    assert_caption(shot, rect, TITLE_BAR_HEIGHT, s.small_icon())
    title_bar = set()
    gaps = [(width - 66, 0, width - 64, TITLE_BAR_HEIGHT), (width - 34, 0, width - 32, TITLE_BAR_HEIGHT),
            (width - 2, 0, width, TITLE_BAR_HEIGHT), (width - 96, BUTTON_SIZE[1], width, TITLE_BAR_HEIGHT)]
    for gap in gaps:
        title_bar |= colours(shot, gap)
    assert title_bar == {TITLE_BAR}, (title_bar, shot.path)
    # The page area is see-through: the page shows, the key colour nowhere.
    page = colours(shot, (0, TITLE_BAR_HEIGHT, width, shot.size[1]))
    assert harness.STANDIN_BACKGROUND in page and harness.STANDIN_TEXT in page, shot.path
    assert COLOUR_KEY not in colours(shot), shot.path


def check_drag_maximise_restore_and_minimise(s):
    game = Game(s)
    width, height = size(game.window["rect"])
    drag(s, game.hwnd, *TITLE_POINT, -80, 40)
    dragged = window(s, game.hwnd)["rect"]
    assert dragged == (-80, 40, width - 80, height + 40), dragged
    page = (dragged[0], dragged[1] + TITLE_BAR_HEIGHT, dragged[2], dragged[3])
    wait_for(lambda: window(s, game.host["hwnd"])["rect"] == page, 5, what="the page under the dragged title bar")

    s.click(*game.button_point(dragged, "game_maximize"))
    maximised = wait_for(lambda: (lambda w: w if w["maximized"] else None)(window(s, game.hwnd)), 5,
                         what="the game window maximised")["rect"]
    assert maximised[:2] == (0, 0), maximised
    wait_for(lambda: window(s, game.host["hwnd"])["rect"] == (0, TITLE_BAR_HEIGHT) + maximised[2:], 5,
             what="the page over the maximised window")
    shot = wait_page_shown(s, "game-maximised", maximised[2] // 2, 500)
    for name, offset in BUTTONS:
        assert image_difference(shot, maximised[2] - offset, 0, name + "_normal.png") <= 6, (name, shot.path)

    s.click(*game.button_point(maximised, "game_maximize"))
    wait_for(lambda: window(s, game.hwnd)["rect"] == dragged and not window(s, game.hwnd)["maximized"], 5,
             what="the dragged rectangle back")
    wait_for(lambda: window(s, game.host["hwnd"])["rect"] == page, 5, what="the page back under the title bar")
    wait_page_shown(s, "game-restored", width // 2, 500)

    s.click(*game.button_point(dragged, "game_minimize"))
    wait_for(lambda: window(s, game.hwnd)["minimized"], 5, what="the game window minimised")
    screen = s.screenshot("game-minimised")
    assert not shows_on_screen(window(s, game.host["hwnd"]), screen), window(s, game.host["hwnd"])
    assert harness.STANDIN_BACKGROUND not in colours(screen), screen.path
    assert game.launcher.program.running


def check_a_named_window_whose_title_bar_acts_at_once(s):
    game = Game(s)
    # Named for the taskbar, Alt+Tab and screen readers; the shell may minimise and maximise it and
    # Alt+Space opens its system menu, as its own buttons do. The page's host stays out of the taskbar.
    assert game.window["text"] == os.environ["LAUNCHER_PRODUCT_NAME"], game.window
    assert game.window["style"] & SHELL_STYLES == SHELL_STYLES, game.window
    assert game.host["owner"] == game.hwnd and game.host["text"] == "", game.host

    # The close button lights up on the screen as the pointer reaches it, and goes out as it moves
    # on along the title bar or straight into the page.
    rect = game.window["rect"]
    close = (rect[2] - dict(BUTTONS)["game_close"], rect[1])
    for away in (TITLE_POINT, (rect[2] - 10, 300)):
        s.mouse_move(*game.button_point(rect, "game_close"))
        wait_image(s, *close, "game_close_hover.png", "game-close-hover")
        s.mouse_move(*away)
        wait_image(s, *close, "game_close_normal.png", "game-close-left")

    # A double-click on the title bar maximises, a second restores; the page keeps its place.
    for maximised in (True, False):
        s.mouse_move(*TITLE_POINT)
        s.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: window(s, game.hwnd)["maximized"] == maximised, 5, what="maximised %s" % maximised)
        assert window(s, game.hwnd)["rect"] == harness.work_area()

    # Minimised, the page is hidden and keeps its size: a game resets when its page shrinks.
    resized = len(game.log(s, "SetObjectRects"))
    s.click(*game.button_point(rect, "game_minimize"))
    wait_for(lambda: window(s, game.hwnd)["minimized"], 5, what="the game window minimised")
    assert not window(s, game.host["hwnd"])["visible"] and len(game.log(s, "SetObjectRects")) == resized


def check_a_restored_window_puts_the_keyboard_in_its_page(s):
    game = Game(s)
    game.focus_title_bar(s)
    s.click(*game.button_point(game.window["rect"], "game_minimize"))
    wait_for(lambda: window(s, game.hwnd)["minimized"], 5, what="the game window minimised")
    # Activated while minimised, then restored, as Alt+Tab and the taskbar bring it back.
    s.ctl("restore", "--hwnd", "0x%x" % game.hwnd)
    wait_for(lambda: s.foreground()["focusclass"] == "StandInBrowser", 5, what="the keyboard in the page")
    assert typed_into_page(s, game.launcher, "a") == ["a"]


def check_f5_and_new_windows(s):
    game = Game(s)
    game_popup = "https://pay.ops.test/?payway=1&gname=kolv&from=game"
    assert s.new_window3(PROGRAM_ADDRESS) == -1
    assert game.launcher.started(s) == [], game.launcher.started(s)
    assert s.new_window3(game_popup) == -1
    assert s.window_closing() == -1 and not game.log(s, "WindowClosingDialog")
    results = [(e.get("cancel"), e.get("url")) for e in game.log(s, "NewWindow3Result")]
    assert results == [(-1, PROGRAM_ADDRESS), (-1, game_popup)], results
    wait_for(lambda: game.launcher.opened(s) == [game_popup], 10, what="the game's popup in the browser log")

    # One reload per press, and Ctrl+F5 one without the cache. Keys are handled in order: once the
    # page has the character after them, every reload they caused has been asked for.
    def press_in_page(*keys):
        game.focus_page(s)
        typed = len(game.log(s, "Key", msg=WM_CHAR, key=ord("a")))
        s.key(*keys, "a")
        wait_for(lambda: len(game.log(s, "Key", msg=WM_CHAR, key=ord("a"))) > typed, 5, what="the keys in the page")
        return [(e.event, e.get("level")) for e in game.log(s) if e.event.startswith("Refresh")]

    assert press_in_page("F5", "ctrl+F5") == [("Refresh", None), ("Refresh2", REFRESH_COMPLETELY)]
    # F5 on the title bar, then once more in the page: only the page's press refreshes.
    game.focus_title_bar(s)
    s.key("F5")
    assert len(press_in_page("F5")) == 3, game.log(s)
    assert not game.log(s, "OwnRefresh"), game.log(s, "OwnRefresh")
    assert game.launcher.opened(s) == [game_popup], game.launcher.opened(s)


def check_f11_full_screen_and_back_from_the_page_the_title_bar_and_the_buttons(s):
    game = Game(s)
    monitor = (0, 0) + s.screenshot("game-monitor").size
    children = lambda: [r for r in map(harness.parse_record, s.ctl("accessible", "--hwnd", "0x%x" % game.hwnd))
                        if "id" in r]
    # The page first, with a click: afterwards Wine may keep the pointer grabbed by the game window
    # (see harness.TASKBAR_HEIGHT), and the later rounds click its title bar only.
    for where, maximised in (("page", False), ("title bar", True), ("buttons", False)):
        if maximised != window(s, game.hwnd)["maximized"]:
            s.click(*game.button_point(window(s, game.hwnd)["rect"], "game_maximize"))
            wait_for(lambda: window(s, game.hwnd)["maximized"] == maximised, 5, what="maximised %s" % maximised)
        before = window(s, game.hwnd)["rect"]
        if where == "page":
            game.focus_page(s)
        else:
            game.focus_title_bar(s)
        if where == "buttons":
            s.key("Tab")
            focused = lambda child: int(child["state"], 16) & 0x4  # STATE_SYSTEM_FOCUSED
            wait_for(lambda: any(focused(c) for c in children()[1:]), 5, what="the focus ring")
        s.key("F11")
        # No title bar, the page over the whole monitor, the taskbar's place included, and no
        # buttons for the keyboard or screen readers.
        wait_for(lambda: window(s, game.hwnd)["rect"] == monitor and window(s, game.host["hwnd"])["rect"] == monitor,
                 5, what="full screen from the " + where)
        assert not window(s, game.hwnd)["maximized"], where
        wait_page_shown(s, "game-full-screen", monitor[2] // 2, TITLE_BAR_HEIGHT // 2)
        assert len(children()) == 1, (where, children())
        s.key("F11")
        wait_for(lambda: window(s, game.hwnd)["rect"] == before and window(s, game.hwnd)["maximized"] == maximised,
                 5, what="back from full screen to %r" % (before,))
        wait_for(lambda: window(s, game.host["hwnd"])["rect"] == (before[0], before[1] + TITLE_BAR_HEIGHT) + before[2:],
                 5, what="the page below the title bar again")
    # The control saw no F11. In full screen Alt+Space opens the system menu and Alt+F4 closes the window.
    assert not [e for e in game.log(s) if e.get("key") == VK_F11], game.log(s)
    s.key("F11")
    wait_for(lambda: window(s, game.hwnd)["rect"] == monitor, 5, what="full screen")
    menus = lambda: s.find_windows({"class": "#32768", "pid": game.launcher.pid, "visible": True})
    s.key("alt+space")
    wait_for(menus, 5, what="the system menu in full screen")
    s.key("Escape")
    wait_for(lambda: not menus(), 5, what="the system menu closed")
    s.key("Escape")
    wait_for(lambda: s.foreground()["capture"] == 0, 5, what="out of the menu mode")
    s.key("alt+F4")
    assert_game_closed_and_login_back(s, game, "full screen", ["Unadvise", "Close", "FinalRelease"])


def check_close_button_brings_a_new_login_window(s):
    game = Game(s)
    s.click(*game.button_point(game.window["rect"], "game_close"))
    assert_game_closed_and_login_back(s, game, "close button", ["Unadvise", "Close", "FinalRelease"])
    # The fresh login window puts the keyboard into its page: the first keys reach it.
    wait_for(lambda: s.foreground()["focusclass"] == "StandInBrowser", 5, what="the new login page focused")
    assert typed_into_page(s, game.launcher, "a") == ["a"]


def check_alt_f4_from_the_title_bar_and_from_the_page(s):
    launcher = Launcher(s)
    for where in ("title bar", "page"):
        game = Game(s, launcher)
        if where == "page":
            game.focus_page(s)
        else:
            game.focus_title_bar(s)
        s.key("alt+F4")
        # The page goes before the window and its owned host, as with the close button.
        assert_game_closed_and_login_back(s, game, where, ["Unadvise", "Close", "FinalRelease"])


if __name__ == "__main__":
    harness.run_checks("game", [
        check_geometry_and_paint,
        check_drag_maximise_restore_and_minimise,
        check_a_named_window_whose_title_bar_acts_at_once,
        check_a_restored_window_puts_the_keyboard_in_its_page,
        check_f5_and_new_windows,
        check_f11_full_screen_and_back_from_the_page_the_title_bar_and_the_buttons,
        check_close_button_brings_a_new_login_window,
        check_alt_f4_from_the_title_bar_and_from_the_page,
    ], after_each=harness.Session.end_programs_without_faults)
