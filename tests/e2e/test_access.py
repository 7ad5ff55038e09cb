"""The unmodified launcher as a screen reader and a player without a mouse meet it: both windows'
buttons found by name at their places through the system's accessibility interface and pressed
there, and the keyboard moved from the page to the buttons with F6, through them, and back."""

import os

from PIL import Image

import harness
from harness import parse_record, wait_for
from game_window import BUTTON_SIZE, BUTTONS as GAME_BUTTONS, Game
from launcher import Launcher, wait_keyboard_in_page
from login_window import BUTTONS

LOGIN_NAMES = ["Official site", "Recharge", "Forum", "Customer service", "Minimise", "Close"]
GAME_NAMES = ["Minimise", "Maximise", "Close"]
ROLE_PUSHBUTTON = 0x2B
STATE_FOCUSED, STATE_FOCUSABLE = 0x4, 0x100000
FOCUS_RING = (0xFF, 0xF4, 0xC0)
MENU_CLASS = "#32768"


def accessible(s, hwnd, press=None):
    """The window's client area and its children as the accessibility probe reports them."""
    lines = s.ctl("accessible", "--hwnd", "0x%x" % hwnd, *(["--press", press] if press else []))
    records = [parse_record(line) for line in lines]
    return [r for r in records if "id" in r], next((r for r in records if "pressed" in r), None)


def assert_buttons(children, names, rects):
    assert [c["name"] for c in children[1:]] == names, children
    for child, rect in zip(children[1:], rects):
        assert child["role"] == str(ROLE_PUSHBUTTON) and child["action"] == "Press", child
        assert int(child["state"], 16) & STATE_FOCUSABLE, child
        assert child["rect"] == rect, (child, rect)


def ring_pixels(shot, left, top, width, height):
    """How many pixels of the focus ring's colour lie on a button's outermost two rows and columns."""
    image = Image.open(shot.path).convert("RGB").crop((left, top, left + width, top + height))
    edge = [(x, y) for x in range(width) for y in range(height) if min(x, y, width - 1 - x, height - 1 - y) < 2]
    return sum(1 for point in edge if harness.colour_close(image.getpixel(point), FOCUS_RING, 24))


def check_a_screen_reader_finds_both_windows_buttons_and_presses_forum(s):
    launcher = Launcher(s)
    children, _ = accessible(s, launcher.window["hwnd"])
    assert children[0]["id"] == "0" and children[0]["name"] == os.environ["LAUNCHER_PRODUCT_NAME"], children[0]
    assert_buttons(children, LOGIN_NAMES, [launcher.at(x, y) + launcher.at(x + w, y + h) for _, (x, y), (w, h), _ in BUTTONS])

    _, pressed = accessible(s, launcher.window["hwnd"], press="Forum")
    assert pressed and int(pressed["result"], 16) == 0, pressed
    wait_for(lambda: launcher.opened() == [BUTTONS[2][3]], 10, what="the forum in the default browser")

    game = Game(s, launcher)
    rect = game.window["rect"]
    children, _ = accessible(s, game.hwnd)
    assert_buttons(children, GAME_NAMES, [(rect[2] - offset, rect[1], rect[2] - offset + BUTTON_SIZE[0],
                                           rect[1] + BUTTON_SIZE[1]) for _, offset in GAME_BUTTONS])
    _, pressed = accessible(s, game.hwnd, press="Maximise")
    wait_for(lambda: accessible(s, game.hwnd)[0][2]["name"] == "Restore", 5, what="Maximise called Restore")


def check_f6_brings_the_keyboard_to_the_buttons_and_back(s):
    launcher = Launcher(s)
    hwnd = launcher.window["hwnd"]
    launcher.focus_page()
    s.key("F6")
    wait_for(lambda: s.foreground()["focus"] == hwnd, 5, what="the login window focused")
    _, (x, y), (width, height), site = BUTTONS[0]
    states = lambda: [int(c["state"], 16) & STATE_FOCUSED for c in accessible(s, hwnd)[0][1:]]
    assert states() == [STATE_FOCUSED, 0, 0, 0, 0, 0], states()
    wait_for(lambda: ring_pixels(s.screenshot("ring-on-site"), *launcher.at(x, y), width, height) > width, 5,
             what="the focus ring on Official site")
    # Tab moves the ring on; Shift+Tab back; Enter opens Official site's page.
    s.key("Tab")
    wait_for(lambda: states()[1] == STATE_FOCUSED, 5, what="the ring on Recharge")
    s.key("shift+Tab", "Return")
    wait_for(lambda: launcher.opened() == [site], 10, what="Official site's page in the default browser")
    # Escape gives the keyboard back to the page, without the ring.
    s.key("Escape")
    wait_keyboard_in_page(s)
    shot = s.screenshot("ring-gone")
    assert ring_pixels(shot, *launcher.at(x, y), width, height) == 0, shot.path
    assert launcher.typed_into_page("a") == ["a"]

    # The game window does the same with its title-bar buttons; F6 gives the keyboard back too.
    game = Game(s, launcher)
    game.focus_page()
    s.key("F6")
    wait_for(lambda: s.foreground()["focus"] == game.hwnd, 5, what="the game window focused")
    focused = [int(c["state"], 16) & STATE_FOCUSED for c in accessible(s, game.hwnd)[0][1:]]
    assert focused == [STATE_FOCUSED, 0, 0], focused
    s.key("F6")
    wait_keyboard_in_page(s, "the game page focused")


def check_alt_space_opens_the_system_menu_from_the_page_and_from_the_buttons(s):
    launcher = Launcher(s)
    launcher.focus_page()
    menus = lambda: s.find_windows({"class": MENU_CLASS, "pid": launcher.pid, "visible": True})
    for where, focused in (("page", lambda f: f["focusclass"] == "StandInBrowser"),
                           ("buttons", lambda f: f["focus"] == launcher.window["hwnd"])):
        if where == "buttons":
            s.key("F6")
            wait_for(lambda: focused(s.foreground()), 5, what="the buttons focused")
        s.key("alt+space")
        wait_for(menus, 5, what="the system menu opened from the %s" % where)
        # As in any window, the first Escape closes the menu and the second leaves the menu mode;
        # the keyboard is where it was.
        s.key("Escape")
        wait_for(lambda: not menus(), 5, what="the system menu closed")
        s.key("Escape")
        wait_for(lambda: (lambda f: f["capture"] == 0 and focused(f))(s.foreground()), 5,
                 what="the keyboard back in the %s" % where)


if __name__ == "__main__":
    harness.run_checks("access", after_each=harness.Session.end_programs_without_faults)
