"""The whole launch cycle on the display with the stand-in browser, a screenshot per step.

    demo.py [--docs DIR]    with --docs, also writes DIR/login.png and DIR/game.png for the README

At a display scale other than 100 % (E2E_DPI, in a prefix of its own) the screenshots and the
pictures carry the scale in their names: demo-150-NN-step.png, DIR/login-150.png.
"""

import argparse
import os
import subprocess
import sys

import harness
from cycle import Cycle, game_address
from game_window import TITLE_BAR
from harness import STANDIN_BACKGROUND, colour_close, wait_for

# The README's pictures: what the login window shows (its transparent margin trimmed), and the
# game window scaled to half.
GAME_DOCS_SCALE = "50%"
TRIM_MARGIN = 16
SCALE_SUFFIX = "" if harness.DPI == 96 else "-%d" % (harness.DPI * 100 // 96)


class Camera:
    """Numbered screenshots of the whole screen: build/screenshots/demo-NN-label.png."""

    def __init__(self, session):
        self.folder = session.paths.screenshots
        self.count = 0
        self.name = "demo" + SCALE_SUFFIX

    def capture(self, label):
        path = os.path.join(self.folder, "%s-%02d-%s.png" % (self.name, self.count + 1, label))
        subprocess.run(["import", "-window", "root", path], check=True, timeout=30, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return harness.Screenshot(path)

    def shoot(self, label, *probes):
        """A screenshot once every (x, y, colour) probe shows its colour: windows paint after they appear."""
        def taken():
            picture = self.capture(label)
            ready = all(colour_close(picture.pixel(x, y), colour, 12) for x, y, colour in probes)
            return picture if ready else None
        picture = wait_for(taken, 10, interval=0.1, what="%s painted" % label)
        self.count += 1
        return picture


def page_probe(record):
    left, top, right, bottom = record["rect"]
    return right - 12, bottom - 12, STANDIN_BACKGROUND


def step(number, text, picture=None):
    where = " -> %s" % os.path.relpath(picture.path) if picture else ""
    print("step %d: %s%s" % (number, text, where), flush=True)


def crop(source, target, rect=None, scale=None):
    command = ["convert", source]
    if rect:
        left, top, right, bottom = rect
        command += ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage",
                    "-fuzz", "1%", "-trim", "+repage", "-bordercolor", "black", "-border", str(TRIM_MARGIN)]
    if scale:
        command += ["-resize", scale]
    subprocess.run(command + ["-strip", target], check=True, timeout=60)


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--docs", help="folder to write login.png and game.png to")
    options = parser.parse_args()

    with harness.Session("demo") as s:
        camera = Camera(s)
        launcher = Cycle(s)
        login = launcher.wait_login()
        login_shot = camera.shoot("login", page_probe(launcher.page))
        step(1, "login window %dx%d at (%d, %d), its page on %s" % (
            login["rect"][2] - login["rect"][0], login["rect"][3] - login["rect"][1],
            login["rect"][0], login["rect"][1], launcher.page["url"]), login_shot)

        address = game_address(1)
        game = launcher.log_in(address)
        game_shot = camera.shoot("game", (10, 2, TITLE_BAR), page_probe(launcher.page))
        step(2, "scripted login to %s: game window %dx%d at (%d, %d), its page on %s" % (
            address, game["rect"][2] - game["rect"][0], game["rect"][3] - game["rect"][1],
            game["rect"][0], game["rect"][1], launcher.page["url"]), game_shot)

        button = launcher.game_close_button()
        launcher.close_game()
        step(3, "game window's close button clicked at (%d, %d): game window gone, fresh login window, "
             "new page on %s" % (button[0], button[1], launcher.page["url"]),
             camera.shoot("fresh-login", page_probe(launcher.page)))

        button = launcher.login_close_button()
        launcher.close_login()
        code = launcher.wait_exit()
        wait_for(lambda: not launcher.windows_left(), 5, what="no window left")
        step(4, "login window's close button clicked at (%d, %d): process ended with exit code %d, "
             "no window left" % (button[0], button[1], code), camera.shoot("closed"))

    if options.docs:
        os.makedirs(options.docs, exist_ok=True)
        names = ["login%s.png" % SCALE_SUFFIX, "game%s.png" % SCALE_SUFFIX]
        crop(login_shot.path, os.path.join(options.docs, names[0]), rect=login["rect"])
        crop(game_shot.path, os.path.join(options.docs, names[1]), scale=GAME_DOCS_SCALE)
        print("README pictures: %s" % ", ".join(os.path.relpath(os.path.join(options.docs, name)) for name in names))
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
