"""The login window as the tests know it: its page and the address of a game login, the skin and
the hole its page shows through, its six buttons, and its skin and page as the screen shows them."""

import os

from PIL import Image, ImageChops

import harness
from images import IMAGES, colours

LOGIN_PAGE = "http://passport.ops.test/kolv/login"
GAME_ADDRESS = "http://s1.kolv.ops.test/login.php?uid=7&key=abc"
PROGRAM_ADDRESS = "file:///C:/windows/system32/notepad.exe"
SKIN_SIZE = (1186, 954)
PAGE_RECT = (477, 450, 574, 285)  # x, y, width, height in the login window
SKIN_POINT = (460, 600)  # opaque skin left of the hole, on no button
SKIN_POINT_RIGHT = (1080, 600)  # opaque skin right of the hole
PAGE_POINT = (PAGE_RECT[0] + 200, PAGE_RECT[1] + 150)
# name, top-left in the login window, size, address opened (None: no link)
BUTTONS = [
    ("site", (542, 405), (80, 37), "http://www.ops.test/kolv"),
    ("recharge", (652, 405), (80, 37), "http://pay.ops.test/?payway=1&gname=kolv"),
    ("forum", (789, 406), (80, 37), "http://bbs.ops.test/forum-2256-1.html"),
    ("service", (897, 406), (80, 37), "http://kf.ops.test/"),
    ("minimize", (1014, 364), (22, 22), None),
    ("close", (1045, 364), (22, 22), None),
]
MINIMIZE_BUTTON, CLOSE_BUTTON = BUTTONS[4], BUTTONS[5]


def login_window(pid):
    """Criteria of the login window of the process."""
    return lambda w: w["pid"] == pid and w["class"] == "LoginerWind" and size(w["rect"]) == SKIN_SIZE


def size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def button_centre(button):
    """The middle of a button (a row of BUTTONS) in the login window."""
    _, (x, y), (width, height), _ = button
    return x + width // 2, y + height // 2


def page_rect_for(left, top):
    x, y, width, height = PAGE_RECT
    return left + x, top + y, left + x + width, top + y + height


def assert_skin_and_page_at(shot, left, top):
    """The screen shows the skin at (left, top), pixel for pixel as laid over the black root
    window, and the stand-in's page fully painted inside the page rectangle, as far as both lie
    on the screen."""
    skin = Image.open(os.path.join(IMAGES, "skin.png")).convert("RGBA")
    expected = Image.alpha_composite(Image.new("RGBA", skin.size, (0, 0, 0, 255)), skin).convert("RGB")
    x, y, width, height = PAGE_RECT
    expected.paste((0, 0, 0), (x, y, x + width, y + height))
    screen = Image.open(shot.path).convert("RGB")
    actual = Image.new("RGB", skin.size)
    actual.paste(screen, (-left, -top))
    visible = (max(0, -left), max(0, -top), min(skin.width, screen.width - left), min(skin.height, screen.height - top))
    actual.paste((0, 0, 0), (x, y, x + width, y + height))
    difference = ImageChops.difference(expected.crop(visible), actual.crop(visible)).convert("L")
    worst = difference.getextrema()[1]
    assert worst <= 3, "the screen differs from the skin by up to %d outside the page: %s" % (worst, shot.path)
    # The page shows nothing but the stand-in's colours.
    page_left, page_top, page_right, page_bottom = page_rect_for(left, top)
    page = colours(shot, (max(page_left, 0), page_top, min(page_right, screen.width), page_bottom))
    assert harness.STANDIN_BACKGROUND in page and harness.STANDIN_TEXT in page, shot.path
    assert (0, 0, 0) not in page, "part of the page is not painted: %s" % shot.path
