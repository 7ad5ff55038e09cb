"""The login window of the unmodified launcher, end to end: skin and page geometry, the six
buttons on screen and in effect, new-window requests, drag and minimise, the keyboard and the
foreground rule, the start state, the detection of a game login, and the ways out."""

import os
import time

import harness
from harness import wait_for
from images import colours, shows_on_screen, wait_image
from launcher import (WM_CHAR, WM_KEYDOWN, WS_EX_LAYERED, Launcher, drag_window, focus_page, start_other_program,
                      wait_keyboard_in_page)
from login_window import (BUTTONS, CLOSE_BUTTON, GAME_ADDRESS, LOGIN_PAGE, MINIMIZE_BUTTON, PAGE_POINT, PAGE_RECT,
                          PROGRAM_ADDRESS, SKIN_POINT, SKIN_POINT_RIGHT, SKIN_SIZE, assert_skin_and_page_at,
                          button_centre, page_rect_for, size)

WS_EX_TOOLWINDOW = 0x00000080
WS_MINIMIZEBOX = 0x00020000
VK_TAB, VK_RETURN, VK_F5 = 0x09, 0x0D, 0x74


def check_window_page_and_game_login(s):
    launcher = Launcher(s)
    login, host = launcher.window, launcher.host
    assert size(login["rect"]) == SKIN_SIZE and login["client"] == login["rect"], login
    assert login["exstyle"] & WS_EX_LAYERED and login["owner"] == 0, login
    # Named, and minimised by the shell (Win+D, Win+M) like any window.
    assert login["text"] == os.environ["LAUNCHER_PRODUCT_NAME"] and login["style"] & WS_MINIMIZEBOX, login
    assert host["class"] == "AtlAxWin80" and host["pid"] == launcher.pid, host
    assert host["rect"] == page_rect_for(launcher.left, launcher.top), (host, login)
    assert host["owner"] == login["hwnd"] and host["exstyle"] & WS_EX_TOOLWINDOW and host["visible"], host
    assert launcher.standin["rect"] == host["client"], (launcher.standin, host)
    assert [e.get("url") for e in launcher.log("Navigate2")] == [LOGIN_PAGE]

    # Per-pixel alpha: the screen shows the skin laid over the black root window, and the page
    # through the hole.
    shot = s.screenshot("login-window")
    assert_skin_and_page_at(shot, launcher.left, launcher.top)

    # A game login: the login window and its page go, the game window opens on that address.
    assert s.navigate(GAME_ADDRESS).get("252") == "raised"
    game = s.wait_standin(condition=lambda live: live[0]["url"] == GAME_ADDRESS)
    assert s.window(login["hwnd"]) is None and s.window(host["hwnd"]) is None
    events = [e.event for e in launcher.log()]
    # Stopped at once: the login page's control loads the game's address no further.
    assert "Stop" in events and events.index("Stop") < events.index("Unadvise") < events.index("Close"), events
    assert [e.get("url") for e in launcher.log("Navigate2")] == [LOGIN_PAGE, GAME_ADDRESS]
    game_window = s.wait_window({"hwnd": s.window(game["host"])["owner"]})
    assert launcher.program.running

    # The game window covers the work area; the login window was centred on the full-screen
    # client area.
    assert game_window["rect"] == harness.work_area(), game_window
    full_width, full_height = s.metrics()
    expected_origin = (full_width // 2 - SKIN_SIZE[0] // 2, full_height // 2 - SKIN_SIZE[1] // 2)
    assert (launcher.left, launcher.top) == expected_origin, ((launcher.left, launcher.top), game_window)


def first_map(watcher, size):
    """Index and geometry of the first window of that size mapped, or None."""
    return next(((i,) + m[1:] for i, m in enumerate(watcher.maps) if m[3:] == size), None)


def check_page_appears_with_its_window_and_each_move_presents_once(s):
    s.mouse_move(1, 1)
    with harness.MapWatcher() as watcher:
        launcher = Launcher(s, winedebug="-all,+relay")
        wait_for(lambda: first_map(watcher, SKIN_SIZE) and first_map(watcher, PAGE_RECT[2:]), 5,
                 what="the login window and its page mapped")
    # Never a page without its skin, and never at the size it was created with.
    login, page = first_map(watcher, SKIN_SIZE), first_map(watcher, PAGE_RECT[2:])
    assert login[0] < page[0], watcher.maps
    assert login[1:3] == (launcher.left, launcher.top), (login, launcher.window)
    assert page[1:] == launcher.at(*PAGE_RECT[:2]) + PAGE_RECT[2:], (page, launcher.window)
    assert not [m for m in watcher.maps if m[3] == PAGE_RECT[2] and m[4] != PAGE_RECT[3]], watcher.maps

    # The first move over the window draws every button once, and onto a button: one present.
    # Straight from one button onto the next: one present.
    before = launcher.presents()
    for count, (name, (x, y), (width, height), _) in enumerate(BUTTONS[:2], 1):
        s.mouse_move(*launcher.at(x + width // 2, y + height // 2))
        wait_image(s, *launcher.at(x, y), name + "_hover.png", name + "-hover")
        assert launcher.presents() - before == count, (name, launcher.presents() - before)
    wait_image(s, *launcher.at(*BUTTONS[0][1]), "site_normal.png", "site-left")
    s.mouse_move(1, 1)


def check_buttons_show_their_states_and_links_open_their_addresses(s):
    launcher = Launcher(s)
    page_popup = "http://pay.ops.test/?payway=1&gname=kolv&from=page"
    assert s.new_window3(PROGRAM_ADDRESS) == -1
    assert launcher.started() == [], launcher.started()
    assert s.new_window3(page_popup) == -1
    # window.close() in the page asks nobody and closes nothing.
    assert s.window_closing() == -1
    assert not launcher.log("WindowClosingDialog") and s.window(launcher.window["hwnd"])
    results = [(e.get("cancel"), e.get("url")) for e in launcher.log("NewWindow3Result")]
    assert results == [(-1, PROGRAM_ADDRESS), (-1, page_popup)], results
    wait_for(lambda: launcher.opened() == [page_popup], 10, what="the page's popup in the browser log")

    for name, (x, y), (width, height), address in BUTTONS:
        left, top = launcher.at(x, y)
        wait_image(s, left, top, name + "_normal.png", name + "-normal")
        s.mouse_move(left + width // 2, top + height // 2)
        wait_image(s, left, top, name + "_hover.png", name + "-hover")
        s.mouse_down()
        wait_image(s, left, top, name + "_pressed.png", name + "-pressed")
        if address is None:
            # Minimise and close: leave before releasing, which clicks nothing.
            s.mouse_move(*launcher.at(*SKIN_POINT))
            wait_image(s, left, top, name + "_normal.png", name + "-left")
            s.mouse_up()
            continue
        s.mouse_up()
        wait_for(lambda: address in launcher.opened(), 10, what="%s in the browser log" % address)

    links = [address for _, _, _, address in BUTTONS if address]
    assert launcher.opened() == [page_popup] + links, launcher.opened()

    # A lit button goes out when the pointer leaves it for the page or for outside the window.
    name, (x, y), (width, height), _ = BUTTONS[2]
    left, top = launcher.at(x, y)
    for away in (launcher.at(*PAGE_POINT), (5, 5)):
        s.mouse_move(left + width // 2, top + height // 2)
        wait_image(s, left, top, name + "_hover.png", name + "-lit")
        s.mouse_move(*away)
        wait_image(s, left, top, name + "_normal.png", name + "-out")
    assert launcher.program.running and not s.window(launcher.window["hwnd"])["minimized"]


def check_drag_moves_the_page_along_and_minimise_hides_both(s):
    launcher = Launcher(s)
    login, host = launcher.window["hwnd"], launcher.host["hwnd"]
    # Far enough for the page to leave the screen on the left, as a player may put it aside.
    dx = -(launcher.left + PAGE_RECT[0] + 60)
    drag_window(s, login, *launcher.at(*SKIN_POINT_RIGHT), dx, -50)
    moved = s.window(login)["rect"]
    assert moved[:2] == (launcher.left + dx, launcher.top - 50), moved
    wait_for(lambda: s.window(host)["rect"] == page_rect_for(*moved[:2]), 5, what="the page over the moved hole")
    assert s.standins()[0]["rect"] == page_rect_for(*moved[:2])
    assert_skin_and_page_at(s.screenshot("login-dragged"), *moved[:2])

    x, y = button_centre(MINIMIZE_BUTTON)
    s.click(moved[0] + x, moved[1] + y)
    wait_for(lambda: s.window(login)["minimized"], 5, what="the login window minimised")
    # The page must not stay on the desktop by itself.
    screen = s.screenshot("login-minimised")
    assert not shows_on_screen(s.window(host), screen), s.window(host)
    assert harness.STANDIN_BACKGROUND not in colours(screen), screen.path
    assert launcher.program.running


def check_each_activation_leaves_the_keyboard_in_the_page(s):
    launcher = Launcher(s)
    # Shown: one activation, and the keyboard goes on into the page, where it stays: no timer
    # takes it back.
    wait_keyboard_in_page(s)
    assert launcher.typed_into_page("a", "b") == ["a", "b"]

    # With another program in front, a click into the page leaves the keyboard there.
    other = start_other_program(s)
    launcher.focus_page()
    assert launcher.typed_into_page("c", "d") == ["c", "d"]

    # The other program again, then a press on the skin's button: the click activates the window
    # and the keyboard is in the page again. A press on a button starts no drag.
    s.click(160, 100)
    wait_for(lambda: s.foreground()["class"] == "StandInTestHost", 10, what="the other program in front")
    # Released on the skin outside the button: no click.
    s.mouse_move(*launcher.at(*button_centre(BUTTONS[0])))
    s.mouse_down()
    s.mouse_move(*launcher.at(*SKIN_POINT))
    s.mouse_up()
    wait_keyboard_in_page(s)
    assert launcher.typed_into_page("e") == ["e"]
    other.kill()
    assert launcher.opened() == [], launcher.opened()
    # Nothing is written to a debugger.
    assert launcher.debugger_lines() == [], launcher.debugger_lines()


def check_keys_reach_the_page_once_whatever_it_claims(s):
    # A page that claims every key from the dialog manager, and one that claims none and whose
    # control moves between fields on Tab itself, as an HTML control does.
    for dlgcode, accelerators in (("all", ""), ("none", "%02x" % VK_TAB)):
        launcher = Launcher(s, env={"STANDIN_DLGCODE": dlgcode, "STANDIN_ACCELERATORS": accelerators})
        # The foreground rule gave the page's host the focus: the control is UI-active and was told
        # its frame is active, before any click.
        wait_for(lambda: launcher.log("FrameActivate", active=1), 5, what="the page's frame activated")
        assert launcher.log("UIActivate") and not launcher.log("Click"), dlgcode
        launcher.focus_page()
        typed_at = len(launcher.log())
        s.key("Return", "a", "Tab", "F5", "b")
        wait_for(lambda: launcher.log("Key", msg=WM_CHAR, key=ord("b")), 5, what="the key after F5")
        typed = launcher.log()[typed_at:]
        characters = [e.get("key") for e in typed if e.event == "Key" and e.get("msg") == WM_CHAR]
        by_control = [e.get("key") for e in typed if e.get("handled") == "control"]
        assert characters == [VK_RETURN, ord("a")] + ([] if accelerators else [VK_TAB]) + [ord("b")], (dlgcode, typed)
        assert by_control == ([VK_TAB] if accelerators else []), (dlgcode, typed)
        # F5 is the launcher's, and the login page does not reload: the control never sees it.
        assert not [e for e in typed if e.get("key") == VK_F5], (dlgcode, typed)
        assert not launcher.log("Refresh") and not launcher.log("OwnRefresh"), dlgcode
        s.end_programs_without_faults()


# The browser's shortcuts, which would leave the page, open the control's windows or dialogs.
DROPPED_KEYS = {"ctrl+n": 0x4E, "ctrl+f": 0x46, "ctrl+p": 0x50, "ctrl+o": 0x4F, "ctrl+l": 0x4C, "ctrl+s": 0x53,
                "F3": 0x72, "F7": 0x76, "alt+Left": 0x25, "alt+Right": 0x27}
# Editing and moving about the page.
KEPT_KEYS = {"ctrl+a": 0x41, "ctrl+c": 0x43, "ctrl+x": 0x58, "ctrl+v": 0x56, "ctrl+z": 0x5A, "Tab": VK_TAB,
             "Left": 0x25, "Return": VK_RETURN, "Escape": 0x1B, "Next": 0x22}
VK_BACK = 0x08
KEY_DOWNS = (WM_KEYDOWN, 0x0104)  # and WM_SYSKEYDOWN


def check_the_browsers_shortcuts_do_nothing_and_the_pages_keys_still_work(s):
    launcher = Launcher(s)
    page = s.wait_standin()["rect"]
    outside_field, in_field = (page[0] + 40, page[3] - 20), (page[0] + 40, page[1] + 20)

    def press(point, keys):
        """Keys pressed in the page after a click there; answers the log entries they caused."""
        focus_page(s, *point)
        start = len(launcher.log())
        s.key(*keys, "a")
        entries = lambda: launcher.log()[start:]
        wait_for(lambda: [e for e in entries() if e.event == "Key" and e.get("msg") == WM_CHAR and e.get("key") == ord("a")],
                 5, what="the keys in the page")
        return [e.get("key") for e in entries() if e.event == "Key" and e.get("msg") in KEY_DOWNS], entries()

    reached, entries = press(outside_field, list(DROPPED_KEYS) + ["BackSpace"])
    assert not [e for e in entries if e.event in ("BrowserShortcut", "Edit")], entries
    assert not set(DROPPED_KEYS.values()) & set(reached) and VK_BACK in reached, reached
    reached, entries = press(in_field, list(KEPT_KEYS) + ["BackSpace"])
    offered = [e.get("key") for e in entries if e.event == "TranslateAccelerator" and e.get("msg") == WM_KEYDOWN]
    assert set(KEPT_KEYS.values()) <= set(offered) & set(reached), (offered, reached)
    assert launcher.log("Edit", key=VK_BACK) and not launcher.log("BrowserShortcut"), entries


def check_the_start_state_the_player_chose(s):
    # Started as a shortcut set to "Run: Minimized" or "Maximized" starts it (STARTUPINFO).
    for how in ("/min", "/max"):
        s.start("start.exe", "/wait", how, harness.windows_path(s.paths.target("launcher")), name="start-" + how[1:])
        standin = s.wait_standin(condition=lambda live: live[0]["url"] == LOGIN_PAGE)
        pid, host = standin["pid"], standin["host"]
        login = s.wait_window({"pid": pid, "class": "LoginerWind", "visible": True})["hwnd"]
        if how == "/min":
            # Minimised with its page, and restored with it.
            wait_for(lambda: s.window(login)["minimized"], 5, what="the login window minimised")
            assert not s.window(host)["visible"], s.window(host)
            s.ctl("restore", "--hwnd", "0x%x" % login)
            wait_for(lambda: not s.window(login)["minimized"], 5, what="the login window restored")
        # A skinned window is never maximised.
        wait_for(lambda: s.window(host)["visible"], 5, what="the page shown with its window")
        assert not s.window(login)["maximized"] and size(s.window(login)["rect"]) == SKIN_SIZE, s.window(login)
        s.end_programs_without_faults()


def assert_page_closed_by_the_program(log, where):
    """The page was closed by the program, not torn down with the process."""
    events = [e.event for e in log]
    for earlier, later in [("Unadvise", "Close"), ("Close", "FinalRelease")]:
        assert earlier in events and later in events and events.index(earlier) < events.index(later), \
            (where, events)


def check_close_button_ends_the_process_at_once(s):
    launcher = Launcher(s)
    # What the player copied from the page stays on the clipboard after the launcher ends.
    assert s.ctl("copy", "code 4711") == ["copied=1"]
    pressed = time.monotonic()
    s.click(*launcher.at(*button_centre(CLOSE_BUTTON)))
    assert launcher.program.wait(5) == 0
    assert time.monotonic() - pressed < 3
    assert not s.find_windows({"pid": launcher.pid}) and not s.standins()
    assert launcher.opened() == []
    assert_page_closed_by_the_program(launcher.log(), "close button")
    assert s.ctl("clipboard") == ["text=code 4711"]


def check_alt_f4_ends_the_process_from_the_window_and_from_the_page(s):
    for where in ("window", "page"):
        launcher = Launcher(s)
        if where == "page":
            launcher.focus_page()
        else:
            # The window keeps the keyboard only while its notice stands in for a failed page.
            assert s.navigate_error(LOGIN_PAGE) == -1
            wait_for(lambda: s.foreground()["focus"] == launcher.window["hwnd"], 5, what="the login window focused")
        s.key("alt+F4")
        assert launcher.program.wait(5) == 0, where
        assert_page_closed_by_the_program(launcher.log(), where)
        assert not s.find_windows({"pid": launcher.pid}) and not s.standins(), where


if __name__ == "__main__":
    harness.run_checks("login", after_each=harness.Session.end_programs_without_faults)
