"""The unmodified launcher on a display at 150 % (a prefix of its own whose LogPixels is 144): the
login window at its scaled size with the page over the scaled hole, its skin and buttons as sharp
as a Lanczos resample of their twice-size art, a click at a button's scaled centre, the game window's scaled title bar with its icon and name, and pages laid out at the scale
by a DPI-aware host."""

import os

import harness
from game_window import TITLE_BAR, assert_caption
from harness import wait_for
from images import twin
from login_window import BUTTONS, GAME_ADDRESS, LOGIN_PAGE

OFFICIAL_SITE = BUTTONS[0][3]
# At 144 DPI: the 1186 x 954 skin, its hole (477, 450)-(1051, 735) rounded outward, the Official
# Site button (542, 405), 80 x 37, and the game's 30-pixel title bar.
LOGIN_SIZE = (1779, 1431)
PAGE = (715, 675, 1577, 1103)
SITE_BUTTON = (813, 608, 933, 663)
TITLE_BAR_HEIGHT = 45


# Mean difference, over the skin's opaque pixels and inside each button, from the twice-size art
# resampled with Lanczos. A button blurred by one pixel differs by 5 % to 7 %; a button is laid out
# from its panel's scaled corner and may lie a pixel from the place scaled alone.
MOST_SKIN_DIFFERENCE = 0.02
MOST_BUTTON_DIFFERENCE = 0.05
BUTTON_SHIFTS = [(dx, dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]


def lanczos(name, size):
    from PIL import Image
    return twin(name).resize(size, Image.Resampling.LANCZOS)


def mean_difference(shot, reference, mask, origin):
    """Mean of |shown - reference| over the mask's pixels on the screen, as a fraction of 255."""
    from PIL import Image, ImageChops, ImageStat
    shown = Image.open(shot.path).convert("RGB")
    box = (max(origin[0], 0), max(origin[1], 0), min(origin[0] + reference.width, shown.width),
           min(origin[1] + reference.height, shown.height))
    inside = (box[0] - origin[0], box[1] - origin[1], box[2] - origin[0], box[3] - origin[1])
    diff = ImageChops.difference(shown.crop(box), reference.convert("RGB").crop(inside))
    return sum(ImageStat.Stat(diff, mask.crop(inside)).mean) / 3 / 255


def assert_art_like_lanczos(shot, origin):
    """The skin and the buttons as sharp as a Lanczos resample of their twice-size art, the page
    aside; buttons are shown normal."""
    from PIL import Image, ImageDraw
    reference = lanczos("skin", LOGIN_SIZE)
    opaque = reference.getchannel("A").point(lambda a: 255 if a == 255 else 0)
    skin_mask = opaque.copy()
    ImageDraw.Draw(skin_mask).rectangle((PAGE[0], PAGE[1], PAGE[2] - 1, PAGE[3] - 1), fill=0)
    buttons = []
    for name, (x, y), (w, h), _ in BUTTONS:
        rect = (harness.scaled(x), harness.scaled(y), harness.scaled(x + w), harness.scaled(y + h))
        reference.alpha_composite(lanczos(name + "_normal", (rect[2] - rect[0], rect[3] - rect[1])), rect[:2])
        ImageDraw.Draw(skin_mask).rectangle((rect[0], rect[1], rect[2] - 1, rect[3] - 1), fill=0)
        button_mask = Image.new("L", LOGIN_SIZE, 0)
        ImageDraw.Draw(button_mask).rectangle((rect[0], rect[1], rect[2] - 1, rect[3] - 1), fill=255)
        buttons.append((name, button_mask))
    skin = mean_difference(shot, reference, skin_mask, origin)
    assert skin <= MOST_SKIN_DIFFERENCE, (skin, shot.path)
    for name, mask in buttons:
        button = min(mean_difference(shot, reference, mask, (origin[0] + dx, origin[1] + dy))
                     for dx, dy in BUTTON_SHIFTS)
        assert button <= MOST_BUTTON_DIFFERENCE, (name, button, shot.path)


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
    assert_art_like_lanczos(s.screenshot("login-150-art"), origin)

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
    harness.run_checks("dpi", after_each=harness.Session.end_programs_without_faults)
