"""Screenshots and their pixels (PIL, when installed), and the colours the stand-in paints."""

# What the stand-in paints: background, text, and the frame with and without the keyboard focus.
STANDIN_BACKGROUND = (240, 248, 255)
STANDIN_TEXT = (16, 32, 64)
STANDIN_FRAME_FOCUSED = (0, 120, 215)
STANDIN_FRAME = (160, 160, 160)


class Screenshot:
    """A PNG of the whole screen and its pixels."""

    def __init__(self, path):
        self.path = path
        self._image = None

    def _load(self):
        if self._image is None:
            from PIL import Image
            self._image = Image.open(self.path).convert("RGB")
        return self._image

    @property
    def size(self):
        return self._load().size

    def pixel(self, x, y):
        return self._load().getpixel((x, y))

    def count(self, rect, colour, tolerance=0):
        """How many pixels of rect (left, top, right, bottom) are within tolerance of colour."""
        image = self._load()
        left, top, right, bottom = rect
        total = 0
        for y in range(max(top, 0), min(bottom, image.size[1])):
            for x in range(max(left, 0), min(right, image.size[0])):
                p = image.getpixel((x, y))
                if all(abs(p[i] - colour[i]) <= tolerance for i in range(3)):
                    total += 1
        return total


def colour_close(actual, expected, tolerance=8):
    return all(abs(actual[i] - expected[i]) <= tolerance for i in range(3))
