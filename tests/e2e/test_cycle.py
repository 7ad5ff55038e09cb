"""The launch cycle end to end: every login opens a game window on the detected address, every
closed game window brings a fresh login window, and the ways the process ends."""

import harness
from cycle import EXIT_WINEDEBUG, Cycle, complaints, game_address
from harness import wait_for
from login_window import LOGIN_PAGE, SKIN_SIZE


def expect_navigations(s, pid, expected):
    """The addresses the process's pages were told to load, in order."""
    actual = [e.get("url") for e in s.log_events("Navigate2") if e.pid == pid]
    assert actual == expected, actual


def created(s, pid):
    """How many stand-ins the process made."""
    return len([e for e in s.log_events("Create") if e.pid == pid])


def apartment_ends(s, pid):
    """How often the GUI thread's COM apartment ended (the stand-in's initialize spy saw the final
    uninitialisation, which unloads every in-process server)."""
    return len([e for e in s.log_events("ApartmentEnded") if e.pid == pid])


def assert_ended_cleanly(launcher):
    code = launcher.wait_exit()
    assert code == 0, (code, launcher.program.errors())
    assert complaints(launcher.program.errors()) == [], launcher.program.errors()
    wait_for(lambda: not launcher.windows_left(), 5, what="no window of the process left")


def check_every_login_opens_a_game_and_every_closed_game_a_fresh_login(s):
    launcher = Cycle(s)
    first = launcher.wait_login()
    left, top, right, bottom = first["rect"]
    assert (right - left, bottom - top) == SKIN_SIZE, first

    first_address = game_address(1)
    game = launcher.log_in(first_address)
    assert game["rect"][:2] == (0, 0), game
    assert s.find_windows({"hwnd": first["hwnd"]}) == [], "the login window outlived the login"
    s.wait_log("FinalRelease", obj=1)

    second = launcher.close_game()
    assert second["hwnd"] != first["hwnd"] and second["rect"] == first["rect"], (first, second)
    expect_navigations(s, launcher.pid, [LOGIN_PAGE, first_address, LOGIN_PAGE])
    assert created(s, launcher.pid) == 3, created(s, launcher.pid)
    # The apartment lives through the cycle: no host's OLE ended it between login, game and login.
    assert apartment_ends(s, launcher.pid) == 0, s.log_events("ApartmentEnded")

    second_address = game_address(2)
    second_game = launcher.log_in(second_address)
    assert second_game["hwnd"] != game["hwnd"], (game, second_game)
    assert launcher.page["url"] == second_address, launcher.page
    launcher.close_game()
    expect_navigations(s, launcher.pid, [LOGIN_PAGE, first_address, LOGIN_PAGE, second_address, LOGIN_PAGE])

    # Both game windows have painted, so their brushes are released at exit before GDI+ shuts down.
    launcher.close_login()
    assert_ended_cleanly(launcher)
    assert s.browser_log() == []


def check_alt_f4_on_the_first_login_window_ends_the_process(s):
    launcher = Cycle(s)
    login = launcher.wait_login()
    s.key("alt+F4")
    assert_ended_cleanly(launcher)
    assert created(s, launcher.pid) == 1, "a game window opened after a login window closed without a login"
    assert login["hwnd"] not in {w["hwnd"] for w in s.windows()}


def check_alt_f4_on_the_game_brings_a_login_and_on_that_login_ends_the_process(s):
    launcher = Cycle(s)
    launcher.wait_login()
    game = launcher.log_in(game_address(3))
    wait_for(lambda: s.foreground().get("hwnd") == game["hwnd"], 5, what="the game window in front")
    s.key("alt+F4")
    launcher.wait_login()
    assert s.find_windows({"hwnd": game["hwnd"]}) == [], "the game window outlived Alt+F4"
    expect_navigations(s, launcher.pid, [LOGIN_PAGE, game_address(3), LOGIN_PAGE])

    assert apartment_ends(s, launcher.pid) == 0, s.log_events("ApartmentEnded")

    # A login loop that ends without a login ends the cycle, also after a game; the apartment with it.
    s.key("alt+F4")
    assert_ended_cleanly(launcher)
    assert created(s, launcher.pid) == 3, created(s, launcher.pid)
    assert apartment_ends(s, launcher.pid) == 1, s.log_events("ApartmentEnded")


def check_command_line_arguments_change_nothing(s):
    plain = Cycle(s, name="plain")
    expected = plain.wait_login()
    plain.close_login()
    assert_ended_cleanly(plain)

    trap = game_address(7)
    launcher = Cycle(s, trap, "/min", "--fullscreen", "-nologin", "x y", "%TEMP%", "über", name="with-arguments")
    login = launcher.wait_login()
    assert login["rect"] == expected["rect"] and not login["minimized"], (expected, login)
    expect_navigations(s, launcher.pid, [LOGIN_PAGE])
    address = game_address(8)
    launcher.log_in(address)
    assert launcher.page["url"] == address
    launcher.close_game()
    expect_navigations(s, launcher.pid, [LOGIN_PAGE, address, LOGIN_PAGE])
    launcher.close_login()
    assert_ended_cleanly(launcher)


if __name__ == "__main__":
    harness.run_checks("cycle", winedebug=EXIT_WINEDEBUG, after_each=harness.Session.end_programs_without_faults)
