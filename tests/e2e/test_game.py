"""The game window of the unmodified launcher, end to end: reached by a game login in the login
window, its geometry and paint, the title-bar drag, maximise and restore, minimise, F5, full screen
with F11, new-window requests, and the ways back to a new login window."""

import os


import harness
from harness import wait_for
from game_window import (BUTTON_SIZE, BUTTONS, COLOUR_KEY, TITLE_BAR, TITLE_BAR_HEIGHT, TITLE_POINT, Game,
                         assert_caption, assert_game_closed_and_login_back, button_point)
from images import colours, image_difference, shows_on_screen, wait_image, wait_page_shown
from launcher import WM_CHAR, WS_EX_LAYERED, Launcher, drag_window, wait_keyboard_in_page
from login_window import GAME_ADDRESS, PROGRAM_ADDRESS, size

REFRESH_COMPLETELY = 3
VK_F11 = 0x7A
SHELL_STYLES = 0x80000000 | 0x00010000 | 0x00020000 | 0x00080000  # WS_POPUP, WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_SYSMENU


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
    assert [e.get("url") for e in game.log("Navigate2")] == [GAME_ADDRESS]

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
    drag_window(s, game.hwnd, *TITLE_POINT, -80, 40)
    dragged = s.window(game.hwnd)["rect"]
    assert dragged == (-80, 40, width - 80, height + 40), dragged
    page = (dragged[0], dragged[1] + TITLE_BAR_HEIGHT, dragged[2], dragged[3])
    wait_for(lambda: s.window(game.host["hwnd"])["rect"] == page, 5, what="the page under the dragged title bar")

    s.click(*button_point(dragged, "game_maximize"))
    maximised = wait_for(lambda: (lambda w: w if w["maximized"] else None)(s.window(game.hwnd)), 5,
                         what="the game window maximised")["rect"]
    assert maximised[:2] == (0, 0), maximised
    wait_for(lambda: s.window(game.host["hwnd"])["rect"] == (0, TITLE_BAR_HEIGHT) + maximised[2:], 5,
             what="the page over the maximised window")
    shot = wait_page_shown(s, "game-maximised", maximised[2] // 2, 500)
    for name, offset in BUTTONS:
        assert image_difference(shot, maximised[2] - offset, 0, name + "_normal.png") <= 6, (name, shot.path)

    s.click(*button_point(maximised, "game_maximize"))
    wait_for(lambda: s.window(game.hwnd)["rect"] == dragged and not s.window(game.hwnd)["maximized"], 5,
             what="the dragged rectangle back")
    wait_for(lambda: s.window(game.host["hwnd"])["rect"] == page, 5, what="the page back under the title bar")
    wait_page_shown(s, "game-restored", width // 2, 500)

    s.click(*button_point(dragged, "game_minimize"))
    wait_for(lambda: s.window(game.hwnd)["minimized"], 5, what="the game window minimised")
    screen = s.screenshot("game-minimised")
    assert not shows_on_screen(s.window(game.host["hwnd"]), screen), s.window(game.host["hwnd"])
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
        s.mouse_move(*button_point(rect, "game_close"))
        wait_image(s, *close, "game_close_hover.png", "game-close-hover")
        s.mouse_move(*away)
        wait_image(s, *close, "game_close_normal.png", "game-close-left")

    # A double-click on the title bar maximises, a second restores; the page keeps its place.
    for maximised in (True, False):
        s.mouse_move(*TITLE_POINT)
        s.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: s.window(game.hwnd)["maximized"] == maximised, 5, what="maximised %s" % maximised)
        assert s.window(game.hwnd)["rect"] == harness.work_area()

    # Minimised, the page is hidden and keeps its size: a game resets when its page shrinks.
    resized = len(game.log("SetObjectRects"))
    s.click(*button_point(rect, "game_minimize"))
    wait_for(lambda: s.window(game.hwnd)["minimized"], 5, what="the game window minimised")
    assert not s.window(game.host["hwnd"])["visible"] and len(game.log("SetObjectRects")) == resized


def check_a_restored_window_puts_the_keyboard_in_its_page(s):
    game = Game(s)
    game.focus_title_bar()
    s.click(*button_point(game.window["rect"], "game_minimize"))
    wait_for(lambda: s.window(game.hwnd)["minimized"], 5, what="the game window minimised")
    # Activated while minimised, then restored, as Alt+Tab and the taskbar bring it back.
    s.ctl("restore", "--hwnd", "0x%x" % game.hwnd)
    wait_keyboard_in_page(s, "the keyboard in the page")
    assert game.launcher.typed_into_page("a") == ["a"]


def check_f5_and_new_windows(s):
    game = Game(s)
    game_popup = "https://pay.ops.test/?payway=1&gname=kolv&from=game"
    assert s.new_window3(PROGRAM_ADDRESS) == -1
    assert game.launcher.started() == [], game.launcher.started()
    assert s.new_window3(game_popup) == -1
    assert s.window_closing() == -1 and not game.log("WindowClosingDialog")
    results = [(e.get("cancel"), e.get("url")) for e in game.log("NewWindow3Result")]
    assert results == [(-1, PROGRAM_ADDRESS), (-1, game_popup)], results
    wait_for(lambda: game.launcher.opened() == [game_popup], 10, what="the game's popup in the browser log")

    # One reload per press, and Ctrl+F5 one without the cache. Keys are handled in order: once the
    # page has the character after them, every reload they caused has been asked for.
    def press_in_page(*keys):
        game.focus_page()
        typed = len(game.log("Key", msg=WM_CHAR, key=ord("a")))
        s.key(*keys, "a")
        wait_for(lambda: len(game.log("Key", msg=WM_CHAR, key=ord("a"))) > typed, 5, what="the keys in the page")
        return [(e.event, e.get("level")) for e in game.log() if e.event.startswith("Refresh")]

    assert press_in_page("F5", "ctrl+F5") == [("Refresh", None), ("Refresh2", REFRESH_COMPLETELY)]
    # F5 on the title bar, then once more in the page: only the page's press refreshes.
    game.focus_title_bar()
    s.key("F5")
    assert len(press_in_page("F5")) == 3, game.log()
    assert not game.log("OwnRefresh"), game.log("OwnRefresh")
    assert game.launcher.opened() == [game_popup], game.launcher.opened()


def check_f11_full_screen_and_back_from_the_page_the_title_bar_and_the_buttons(s):
    game = Game(s)
    monitor = (0, 0) + s.screenshot("game-monitor").size
    children = lambda: [r for r in map(harness.parse_record, s.ctl("accessible", "--hwnd", "0x%x" % game.hwnd))
                        if "id" in r]
    # The page first, with a click: afterwards Wine may keep the pointer grabbed by the game window
    # (see harness.TASKBAR_HEIGHT), and the later rounds click its title bar only.
    for where, maximised in (("page", False), ("title bar", True), ("buttons", False)):
        if maximised != s.window(game.hwnd)["maximized"]:
            s.click(*button_point(s.window(game.hwnd)["rect"], "game_maximize"))
            wait_for(lambda: s.window(game.hwnd)["maximized"] == maximised, 5, what="maximised %s" % maximised)
        before = s.window(game.hwnd)["rect"]
        if where == "page":
            game.focus_page()
        else:
            game.focus_title_bar()
        if where == "buttons":
            s.key("Tab")
            focused = lambda child: int(child["state"], 16) & 0x4  # STATE_SYSTEM_FOCUSED
            wait_for(lambda: any(focused(c) for c in children()[1:]), 5, what="the focus ring")
        s.key("F11")
        # No title bar, the page over the whole monitor, the taskbar's place included, and no
        # buttons for the keyboard or screen readers.
        wait_for(lambda: s.window(game.hwnd)["rect"] == monitor and s.window(game.host["hwnd"])["rect"] == monitor,
                 5, what="full screen from the " + where)
        assert not s.window(game.hwnd)["maximized"], where
        wait_page_shown(s, "game-full-screen", monitor[2] // 2, TITLE_BAR_HEIGHT // 2)
        assert len(children()) == 1, (where, children())
        s.key("F11")
        wait_for(lambda: s.window(game.hwnd)["rect"] == before and s.window(game.hwnd)["maximized"] == maximised,
                 5, what="back from full screen to %r" % (before,))
        wait_for(lambda: s.window(game.host["hwnd"])["rect"] == (before[0], before[1] + TITLE_BAR_HEIGHT) + before[2:],
                 5, what="the page below the title bar again")
    # The control saw no F11. In full screen Alt+Space opens the system menu and Alt+F4 closes the window.
    assert not [e for e in game.log() if e.get("key") == VK_F11], game.log()
    s.key("F11")
    wait_for(lambda: s.window(game.hwnd)["rect"] == monitor, 5, what="full screen")
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
    s.click(*button_point(game.window["rect"], "game_close"))
    assert_game_closed_and_login_back(s, game, "close button", ["Unadvise", "Close", "FinalRelease"])
    # The fresh login window puts the keyboard into its page: the first keys reach it.
    wait_keyboard_in_page(s, "the new login page focused")
    assert game.launcher.typed_into_page("a") == ["a"]


def check_alt_f4_from_the_title_bar_and_from_the_page(s):
    launcher = Launcher(s)
    for where in ("title bar", "page"):
        game = Game(s, launcher)
        if where == "page":
            game.focus_page()
        else:
            game.focus_title_bar()
        s.key("alt+F4")
        # The page goes before the window and its owned host, as with the close button.
        assert_game_closed_and_login_back(s, game, where, ["Unadvise", "Close", "FinalRelease"])


if __name__ == "__main__":
    harness.run_checks("game", after_each=harness.Session.end_programs_without_faults)
