"""The screen compared with what should show there: the launcher's own images at a place, the
colours of a region, the stand-in's page painted at a point, the same pixels in two screenshots."""

import os
import sys

from PIL import Image, ImageChops

import harness
from harness import wait_for

IMAGES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "images")
sys.path.insert(0, os.path.join(IMAGES, "..", "..", "tools"))
from make_art import SKIN_SIZE, open_skin  # noqa: E402  the art's own reader of a cropped skin


def twin(name):
    """A twice-size image as the launcher places it: a cropped skin on its whole canvas."""
    path = os.path.join(IMAGES, "2x", name + ".png")
    if name == "skin":
        return open_skin(path, (2 * SKIN_SIZE[0], 2 * SKIN_SIZE[1]))
    return Image.open(path).convert("RGBA")


def colours(shot, rect=None):
    """The colours a screenshot shows, in rect (left, top, right, bottom) or all over."""
    image = Image.open(shot.path).convert("RGB")
    if rect:
        image = image.crop(rect)
    return {colour for _, colour in image.getcolors(1 << 24)}


def image_difference(shot, left, top, png):
    """Largest channel difference between the screen at (left, top) and a resource image."""
    expected = Image.open(os.path.join(IMAGES, png)).convert("RGB")
    actual = Image.open(shot.path).convert("RGB").crop((left, top, left + expected.width, top + expected.height))
    return max(high for _, high in ImageChops.difference(expected, actual).getextrema())


def wait_image(s, left, top, png, label):
    """Waits until the screen shows the resource image at (left, top); answers the screenshot."""
    def shown():
        shot = s.screenshot(label)
        return shot if image_difference(shot, left, top, png) <= 6 else None
    return wait_for(shown, 5, interval=0.1, what="%s on the screen at (%d, %d)" % (png, left, top))


def wait_page_shown(s, label, x, y):
    """Waits until the screen shows the stand-in's page at (x, y); answers the screenshot."""
    return wait_for(lambda: (lambda shot: shot if shot.pixel(x, y) == harness.STANDIN_BACKGROUND else None)(
        s.screenshot(label)), 5, interval=0.1, what="the page shown at (%d, %d)" % (x, y))


def same_pixels(first, second, rect):
    crops = [Image.open(shot.path).convert("RGB").crop(rect) for shot in (first, second)]
    return ImageChops.difference(*crops).getbbox() is None


def shows_on_screen(record, shot):
    """Whether a window is visible with some of its area on the screen."""
    left, top, right, bottom = record["rect"]
    width, height = shot.size
    return record["visible"] and max(left, 0) < min(right, width) and max(top, 0) < min(bottom, height)
