"""A page's modal UI (alert, confirm, prompt, the control's own dialogs) end to end on the unmodified
launcher: the window that holds the page is disabled until the box is answered, nothing closes the
page meanwhile, and a close or a login that came in the meantime is carried out once, after."""

import time

import harness
from harness import wait_for
from game_window import Game, assert_game_closed_and_login_back, button_point
from launcher import Launcher
from login_window import GAME_ADDRESS

WS_DISABLED = 0x08000000
MESSAGE_BOX = "#32770"


def show_alert(s, pid):
    """The page's alert(); answers the message box's record once it shows."""
    assert s.alert().get("alert") == "shown"
    return s.wait_window(lambda w: w["pid"] == pid and w["class"] == MESSAGE_BOX and w["visible"])


def answer(s, box):
    wait_for(lambda: s.foreground().get("hwnd") == box["hwnd"], 5, what="the message box in front")
    s.key("Return")
    wait_for(lambda: s.window(box["hwnd"]) is None, 5, what="the message box answered")


def disabled(s, hwnd):
    return bool(s.window(hwnd)["style"] & WS_DISABLED)


def check_an_alert_disables_the_game_window_until_it_is_answered(s):
    game = Game(s)
    box = show_alert(s, game.launcher.pid)
    assert box["owner"] == game.host["hwnd"], (box, game.host)
    assert disabled(s, game.hwnd), s.window(game.hwnd)
    # A click on Close reaches no disabled window.
    close = button_point(game.window["rect"], "game_close")
    s.click(*close)
    time.sleep(0.5)
    assert s.window(game.hwnd) and not game.log("Close"), game.log()
    answer(s, box)
    wait_for(lambda: not disabled(s, game.hwnd), 5, what="the game window enabled again")
    shown = game.log("AlertShown")
    assert [e.event for e in game.log() if e.event.startswith("Alert")] == ["AlertShown", "AlertEnded"], shown
    # Both announcements reached the host: its UI handler's and its frame's.
    assert shown[0].details.endswith("handler=1 frame=1"), shown
    s.click(*close)
    assert_game_closed_and_login_back(s, game, "Close after the alert", ["AlertEnded", "Unadvise", "Close"])


def check_a_close_during_the_alert_is_carried_out_once_it_is_answered(s):
    game = Game(s)
    box = show_alert(s, game.launcher.pid)
    # A screen reader's press of Close (posted to the window), and WM_CLOSE as the taskbar sends it.
    s.ctl("accessible", "--hwnd", "0x%x" % game.hwnd, "--press", "Close")
    s.close_window(game.hwnd)
    time.sleep(1)
    assert s.window(game.hwnd) and disabled(s, game.hwnd), s.window(game.hwnd)
    assert not game.log("Unadvise") and not game.log("Close"), game.log()
    answer(s, box)
    assert_game_closed_and_login_back(s, game, "Close put off", ["AlertEnded", "Unadvise", "Close", "FinalRelease"])
    assert len(game.log("Close")) == 1, game.log("Close")


def check_a_login_during_the_alert_opens_the_game_once_it_is_answered(s):
    launcher = Launcher(s)
    login = launcher.window["hwnd"]
    box = show_alert(s, launcher.pid)
    assert disabled(s, login), s.window(login)
    assert s.navigate(GAME_ADDRESS).get("252") == "raised"
    time.sleep(0.5)
    assert s.window(login) and not launcher.log("Close"), launcher.log()
    answer(s, box)
    s.wait_standin(condition=lambda live: live[0]["url"] == GAME_ADDRESS)
    assert s.window(login) is None and launcher.program.running
    events = [e.event for e in launcher.log() if e.event in ("AlertEnded", "Close")]
    assert events[:2] == ["AlertEnded", "Close"], events


if __name__ == "__main__":
    harness.run_checks("modal", after_each=harness.Session.end_programs_without_faults)
