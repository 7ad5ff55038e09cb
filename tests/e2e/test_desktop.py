"""The login window on a desktop with a window manager (openbox; Wine manages its windows): the
keyboard goes into the page at the start, after a click into the page with another program in
front, and after a minimise and a restore from outside."""

import os
import subprocess
import time

import harness
from harness import wait_for
from launcher import Launcher, start_other_program
from login_window import MINIMIZE_BUTTON, button_centre


ACTIVATION_EVENTS = ("FrameActivate", "Focus", "DoVerb")
SETTLED_SECONDS = 0.5


def page_focused(s, launcher):
    """Waits until the keyboard is in the page and stays there. After a restore the window manager and
    Wine hand the activation between the window and its page back and forth a few times, and a key
    typed meanwhile can reach no window."""
    last = {"count": None, "since": 0.0}

    def settled():
        count = len([e for e in launcher.log() if e.event in ACTIVATION_EVENTS])
        if count != last["count"]:
            last.update(count=count, since=time.monotonic())
        return (time.monotonic() - last["since"] >= SETTLED_SECONDS
                and s.foreground()["focusclass"] == "StandInBrowser")
    wait_for(settled, 10, what="the page focused, its activation settled")


def check_the_keyboard_reaches_the_page_however_the_window_comes_back(s):
    launcher = Launcher(s)
    page_focused(s, launcher)
    assert launcher.typed_into_page("a", "b") == ["a", "b"]

    other = start_other_program(s)
    launcher.focus_page()
    assert launcher.typed_into_page("c", "d") == ["c", "d"]
    # With another program's window on the screen, openbox at times ends a restore with its own focus
    # on that window while Wine keeps the launcher's page in front, and keys reach no window.
    other.kill()

    # Minimised with its button, restored by the window manager as the taskbar would.
    s.click(*launcher.at(*button_centre(MINIMIZE_BUTTON)))
    wait_for(lambda: s.window(launcher.window["hwnd"])["minimized"], 10, what="the login window minimised")
    found = subprocess.run(["xdotool", "search", "--name", "^%s$" % os.environ["LAUNCHER_PRODUCT_NAME"]],
                           capture_output=True, text=True, timeout=30).stdout.split()
    assert len(found) == 1, found
    s.xdotool("windowactivate", found[0])
    wait_for(lambda: not s.window(launcher.window["hwnd"])["minimized"], 10, what="the login window restored")
    page_focused(s, launcher)
    assert launcher.typed_into_page("e") == ["e"]


if __name__ == "__main__":
    harness.run_checks("desktop", after_each=harness.Session.end_programs_without_faults)
