"""A page's modal UI (alert, confirm, prompt, the control's own dialogs) end to end on the unmodified
launcher: the window that holds the page is disabled until the box is answered, nothing closes the
page meanwhile, and a close or a login that came in the meantime is carried out once, after."""

import time

import harness
from harness import wait_for
from test_game import Game, assert_game_closed_and_login_back
from test_login import GAME_ADDRESS, Launcher, window

WS_DISABLED = 0x08000000
MESSAGE_BOX = "#32770"


def show_alert(s, pid):
    """The page's alert(); answers the message box's record once it shows."""
    assert s.alert().get("alert") == "shown"
    return s.wait_window(lambda w: w["pid"] == pid and w["class"] == MESSAGE_BOX and w["visible"])


def answer(s, box):
    wait_for(lambda: s.foreground().get("hwnd") == box["hwnd"], 5, what="the message box in front")
    s.key("Return")
    wait_for(lambda: window(s, box["hwnd"]) is None, 5, what="the message box answered")


def disabled(s, hwnd):
    return bool(window(s, hwnd)["style"] & WS_DISABLED)


def check_an_alert_disables_the_game_window_until_it_is_answered(s):
    game = Game(s)
    box = show_alert(s, game.launcher.pid)
    assert box["owner"] == game.host["hwnd"], (box, game.host)
    assert disabled(s, game.hwnd), window(s, game.hwnd)
    # A click on Close reaches no disabled window.
    close = game.button_point(game.window["rect"], "game_close")
    s.click(*close)
    time.sleep(0.5)
    assert window(s, game.hwnd) and not game.log(s, "Close"), game.log(s)
    answer(s, box)
    wait_for(lambda: not disabled(s, game.hwnd), 5, what="the game window enabled again")
    shown = game.log(s, "AlertShown")
    assert [e.event for e in game.log(s) if e.event.startswith("Alert")] == ["AlertShown", "AlertEnded"], shown
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
    assert window(s, game.hwnd) and disabled(s, game.hwnd), window(s, game.hwnd)
    assert not game.log(s, "Unadvise") and not game.log(s, "Close"), game.log(s)
    answer(s, box)
    assert_game_closed_and_login_back(s, game, "Close put off", ["AlertEnded", "Unadvise", "Close", "FinalRelease"])
    assert len(game.log(s, "Close")) == 1, game.log(s, "Close")


def check_a_login_during_the_alert_opens_the_game_once_it_is_answered(s):
    launcher = Launcher(s)
    login = launcher.window["hwnd"]
    box = show_alert(s, launcher.pid)
    assert disabled(s, login), window(s, login)
    assert s.navigate(GAME_ADDRESS).get("252") == "raised"
    time.sleep(0.5)
    assert window(s, login) and not launcher.log(s, "Close"), launcher.log(s)
    answer(s, box)
    s.wait_standin(condition=lambda live: live[0]["url"] == GAME_ADDRESS)
    assert window(s, login) is None and launcher.program.running
    events = [e.event for e in launcher.log(s) if e.event in ("AlertEnded", "Close")]
    assert events[:2] == ["AlertEnded", "Close"], events


if __name__ == "__main__":
    harness.run_checks("modal", [
        check_an_alert_disables_the_game_window_until_it_is_answered,
        check_a_close_during_the_alert_is_carried_out_once_it_is_answered,
        check_a_login_during_the_alert_opens_the_game_once_it_is_answered,
    ], after_each=harness.Session.end_programs_without_faults)
