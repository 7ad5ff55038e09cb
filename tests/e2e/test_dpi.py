"""The unmodified launcher on a display at 150 % (a prefix of its own whose LogPixels is 144): the
login window at its scaled size with the page over the scaled hole, a click at a button's scaled
centre, the game window's scaled title bar with its icon and name, and pages laid out at the scale
by a DPI-aware host."""

import harness
from harness import wait_for
from test_game import assert_caption

LOGIN_PAGE = "http://passport.ops.test/kolv/login"
GAME_ADDRESS = "http://s1.kolv.ops.test/login.php?uid=7&key=abc"
OFFICIAL_SITE = "http://www.ops.test/kolv"
# At 144 DPI: the 1186 x 954 skin, its hole (477, 450)-(1051, 735) rounded outward, the Official
# Site button (542, 405), 80 x 37, and the game's 30-pixel title bar.
LOGIN_SIZE = (1779, 1431)
PAGE = (715, 675, 1577, 1103)
SITE_BUTTON = (813, 608, 933, 663)
TITLE_BAR_HEIGHT = 45
TITLE_BAR = (0x30, 0x29, 0x21)


def relative(rect, origin):
    return rect[0] - origin[0], rect[1] - origin[1], rect[2] - origin[0], rect[3] - origin[1]


def laid_out_at_150(s, pid, url):
    """The page's control was told by its host that it is DPI-aware and zoomed to 150 %."""
    wait_for(lambda: [e for e in s.log_events("Zoom", percent="150", result="0x00000000", url=url) if e.pid == pid],
             5, what="the page of %s zoomed to 150 %%" % url)
    flags = [e.get("dpiaware") for e in s.log_events("HostInfo") if e.pid == pid]
    assert flags and set(flags) == {"1"}, flags


def check_both_windows_at_150_percent(s):
    assert harness.DPI == 144
    s.start(s.paths.target("launcher"))
    standin = s.wait_standin(condition=lambda live: live[0]["url"] == LOGIN_PAGE)
    pid = standin["pid"]
    login = s.wait_window(lambda w: w["pid"] == pid and w["class"] == "LoginerWind" and w["visible"])
    origin = login["rect"][:2]
    assert (login["rect"][2] - origin[0], login["rect"][3] - origin[1]) == LOGIN_SIZE, login
    host = s.wait_window({"hwnd": standin["host"], "visible": True})
    assert relative(host["rect"], origin) == PAGE, host
    laid_out_at_150(s, pid, LOGIN_PAGE)

    left, top, right, bottom = SITE_BUTTON
    s.click(origin[0] + (left + right) // 2, origin[1] + (top + bottom) // 2)
    wait_for(lambda: OFFICIAL_SITE in s.browser_log(), 5, what="the official site opened")
    s.screenshot("login-150")

    assert s.navigate(GAME_ADDRESS).get("252") == "raised"
    game_page = s.wait_standin(condition=lambda live: live[0]["url"] == GAME_ADDRESS)
    host = s.wait_window({"hwnd": game_page["host"], "visible": True})
    game = s.wait_window({"hwnd": host["owner"], "visible": True})
    assert host["rect"][1] - game["rect"][1] == TITLE_BAR_HEIGHT, (host, game)
    laid_out_at_150(s, pid, GAME_ADDRESS)
    shot = s.screenshot("game-150")
    x = (game["rect"][0] + game["rect"][2]) // 2
    rows = [shot.pixel(x, game["rect"][1] + y)[:3] for y in range(TITLE_BAR_HEIGHT + 1)]
    assert rows[:TITLE_BAR_HEIGHT] == [TITLE_BAR] * TITLE_BAR_HEIGHT and rows[-1] != TITLE_BAR, (rows, shot.path)
    assert_caption(shot, game["rect"], TITLE_BAR_HEIGHT, s.small_icon())


if __name__ == "__main__":
    harness.run_checks("dpi", [check_both_windows_at_150_percent], after_each=harness.Session.end_programs_without_faults)
