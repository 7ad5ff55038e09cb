"""A page that cannot be loaded, end to end on the unmodified launcher: the notice that takes its
place in the login and the game window, the control's error page refused, the Retry button, Enter
and F5 each navigating once to the failed address until the page is back, what changes nothing,
a game login after a failure, a page that never answers, and pages that answer slowly (a document
that completes long after it arrived, a link that turns into a download), which are no failures."""

import time

import harness
from harness import wait_for
from game_window import COLOUR_KEY, TITLE_BAR_HEIGHT, Game, assert_caption
from images import colours, image_difference, same_pixels, wait_page_shown
from launcher import Launcher, wait_keyboard_in_page
from login_window import GAME_ADDRESS, LOGIN_PAGE, login_window, page_rect_for

PANEL = (0x1C, 0x16, 0x2E)
HEADLINE = (0xF2, 0xE2, 0xBA)
RETRY_SIZE = (96, 37)
# From the top of the notice's text block to its button, and the block's height.
BUTTON_TOP = 72
BLOCK_HEIGHT = BUTTON_TOP + RETRY_SIZE[1]
INET_E_RESOURCE_NOT_FOUND = -0x7FF3FFFB
INET_E_CANNOT_CONNECT = -0x7FF3FFFC
STALL_PERIOD = 30
DOWNLOAD = "http://passport.ops.test/files/client.zip"
SC_MINIMIZE, SC_RESTORE = 0xF020, 0xF120


def retry_button(area):
    """Top-left corner of the Retry button of a notice over area (left, top, right, bottom)."""
    left, top, right, bottom = area
    return left + (right - left - RETRY_SIZE[0]) // 2, top + (bottom - top - BLOCK_HEIGHT) // 2 + BUTTON_TOP


def centre(corner):
    return corner[0] + RETRY_SIZE[0] // 2, corner[1] + RETRY_SIZE[1] // 2


def wait_notice(s, host, area, label, timeout=5):
    """Waits until the page's host is hidden and the screen shows the notice over area; answers the shot."""
    wait_for(lambda: not s.window(host)["visible"], timeout, interval=0.2, what="the page's host hidden")

    def shown():
        shot = s.screenshot(label)
        return shot if image_difference(shot, *retry_button(area), "retry_normal.png") <= 6 else None
    shot = wait_for(shown, 5, interval=0.1, what="the notice's Retry button over %r" % (area,))
    found = colours(shot, area)
    assert PANEL in found and harness.STANDIN_BACKGROUND not in found, shot.path
    left, top, right, _ = area
    button_top = retry_button(area)[1]
    text = (left, button_top - BUTTON_TOP, right, button_top - 8)
    assert shot.count(text, HEADLINE, tolerance=24) > 100, shot.path
    return shot


def wait_page(s, host, area, label):
    """Waits until the page's host and the page are on the screen again over area."""
    wait_for(lambda: s.window(host)["visible"], 5, what="the page's host shown again")
    return wait_page_shown(s, label, (area[0] + area[2]) // 2, area[3] - 20)


def navigations(log, address):
    return [e for e in log("Navigate2") if e.get("url") == address]


def retry(s, how, where, focus):
    """Retries by pressing the Retry button at where, once it shows that the pointer is on it, or a
    key in the window focus."""
    if how == "button":
        s.mouse_move(*centre(where))
        wait_for(lambda: image_difference(s.screenshot("retry-hover"), *where, "retry_hover.png") <= 6, 5,
                 interval=0.1, what="the Retry button under the pointer")
        s.click(*centre(where))
        return
    wait_for(lambda: s.foreground()["focus"] == focus, 5, what="the window with the keyboard")
    s.key(how)


def check_the_login_notice_and_each_way_to_retry(s):
    launcher = Launcher(s)
    log = launcher.log
    host, login = launcher.host["hwnd"], launcher.window["hwnd"]
    area = page_rect_for(launcher.left, launcher.top)
    page = wait_page(s, host, area, "login-page")
    for how, status in (("F5", INET_E_RESOURCE_NOT_FOUND), ("Return", 404), ("button", INET_E_CANNOT_CONNECT)):
        assert s.navigate_error(LOGIN_PAGE, status=status) == -1, how
        shot = wait_notice(s, host, area, "login-notice-" + how)
        # The skin round the hole is untouched, its opaque row above the hole included.
        frame = (area[0] - 30, area[1] - 40, area[2] + 30, area[1])
        assert same_pixels(page, shot, frame), (page.path, shot.path)
        before = len(navigations(log, LOGIN_PAGE))
        retry(s, how, retry_button(area), login)
        wait_page(s, host, area, "login-back-" + how)
        # One navigation per press, never a refresh; the page's place is where it was.
        time.sleep(0.5)
        assert len(navigations(log, LOGIN_PAGE)) == before + 1, (how, log("Navigate2"))
        assert s.window(host)["rect"] == page_rect_for(launcher.left, launcher.top)
    assert not log("Refresh") and not log("ErrorPage"), log("ErrorPage")
    results = [(e.get("cancel"), e.get("status")) for e in log("NavigateErrorResult")]
    assert results == [(-1, INET_E_RESOURCE_NOT_FOUND), (-1, 404), (-1, INET_E_CANNOT_CONNECT)], results


def check_frame_errors_and_answers_below_400_change_nothing(s):
    launcher = Launcher(s)
    log = launcher.log
    host = launcher.host["hwnd"]
    area = page_rect_for(launcher.left, launcher.top)
    wait_page(s, host, area, "unchanged-before")
    assert s.navigate_error("http://ads.ops.test/banner", status=404, frame=True) == 0
    assert s.navigate_error("http://ads.ops.test/banner", status=INET_E_RESOURCE_NOT_FOUND, frame=True) == 0
    assert s.navigate_error(LOGIN_PAGE, status=304) == 0
    assert s.navigate_error(LOGIN_PAGE, status=204) == 0
    shot = s.screenshot("unchanged-after")
    assert s.window(host)["visible"] and PANEL not in colours(shot, area), shot.path
    assert harness.STANDIN_BACKGROUND in colours(shot, area), shot.path
    # Enter and F5 stay the page's.
    s.key("F5")
    time.sleep(0.5)
    assert [e.get("url") for e in log("Navigate2")] == [LOGIN_PAGE] and not log("ErrorPage")


def check_the_game_notice_below_the_title_bar(s):
    game = Game(s)
    log = game.log
    host = game.host["hwnd"]
    width, height = game.window["rect"][2:]
    area = (0, TITLE_BAR_HEIGHT, width, height)
    wait_page(s, host, area, "game-page")
    for how, status in (("button", 500), ("F5", INET_E_CANNOT_CONNECT)):
        # Not on the Retry button, which lights up under a pointer left there by the last round.
        s.mouse_move(width // 2, TITLE_BAR_HEIGHT // 2)
        assert s.navigate_error(GAME_ADDRESS, status=status) == -1, how
        shot = wait_notice(s, host, area, "game-notice-" + how)
        assert_caption(shot, game.window["rect"], TITLE_BAR_HEIGHT, s.small_icon())
        assert COLOUR_KEY not in colours(shot), shot.path
        if how == "button":
            # In full screen the notice fills the whole monitor, and below the title bar again after.
            s.key("F11")
            wait_notice(s, host, (0, 0) + shot.size, "game-notice-full-screen")
            s.key("F11")
            wait_for(lambda: s.window(game.hwnd)["rect"] == game.window["rect"], 5, what="back from full screen")
            wait_notice(s, host, area, "game-notice-back")
        before = len(navigations(log, GAME_ADDRESS))
        retry(s, how, retry_button(area), game.hwnd)
        wait_page(s, host, area, "game-back-" + how)
        time.sleep(0.5)
        assert len(navigations(log, GAME_ADDRESS)) == before + 1, (how, log("Navigate2"))
    assert s.window(host)["rect"] == (0, TITLE_BAR_HEIGHT, width, height)
    assert game.refreshes() == 0 and not log("ErrorPage"), log("Refresh")


def check_a_game_login_is_detected_after_a_failure(s):
    launcher = Launcher(s)
    area = page_rect_for(launcher.left, launcher.top)
    assert s.navigate_error(LOGIN_PAGE) == -1
    wait_notice(s, launcher.host["hwnd"], area, "detected-notice")
    game = Game(s, launcher)
    assert s.window(launcher.window["hwnd"]) is None and game.window["visible"]
    assert game.launcher.program.running


def minimise_and_restore(s, hwnd, failing=None):
    """Minimised and restored with the system menu's commands while the window is active, as the
    system hides and shows its owned page then; the page failing at the address meanwhile."""
    s.syscommand(hwnd, SC_MINIMIZE)
    wait_for(lambda: s.window(hwnd)["minimized"], 5, what="the window minimised")
    if failing:
        assert s.navigate_error(failing) == -1
    s.syscommand(hwnd, SC_RESTORE)
    wait_for(lambda: not s.window(hwnd)["minimized"], 5, what="the window restored")


def check_a_minimised_window_brings_its_page_back_only_when_it_should_be_seen(s):
    launcher = Launcher(s)
    area = page_rect_for(launcher.left, launcher.top)
    launcher.focus_page()
    s.key("F6")
    wait_for(lambda: s.foreground()["focus"] == launcher.window["hwnd"], 5, what="the login window focused")
    minimise_and_restore(s, launcher.window["hwnd"], failing=LOGIN_PAGE)
    wait_notice(s, launcher.host["hwnd"], area, "minimised-login-notice")
    assert not s.window(launcher.host["hwnd"])["visible"]
    # F5, not Enter: the buttons have the keyboard.
    retry(s, "F5", None, launcher.window["hwnd"])
    wait_page(s, launcher.host["hwnd"], area, "minimised-login-back")

    game = Game(s, launcher)
    width, height = game.window["rect"][2:]
    area = (0, TITLE_BAR_HEIGHT, width, height)
    game.focus_title_bar()
    minimise_and_restore(s, game.hwnd)
    wait_page(s, game.host["hwnd"], area, "minimised-game-back")
    wait_keyboard_in_page(s, "the keyboard in the game page")
    game.focus_title_bar()
    minimise_and_restore(s, game.hwnd, failing=GAME_ADDRESS)
    wait_notice(s, game.host["hwnd"], area, "minimised-game-notice")
    assert not s.window(game.host["hwnd"])["visible"]


def start_pages_that_answer_slowly(s):
    """Two launchers whose pages answer, but slowly: the login page's document arrives and completes a
    minute later, as with images or a frame that take long; and a link that turns into a download
    (FileDownload, then no document). Answers the page hosts of both, with the slow one's pid."""
    slow = s.start(s.paths.target("launcher"), env={"STANDIN_SLOW": "/kolv/login", "STANDIN_SLOW_MS": "60000"},
                   name="slow")
    download = s.start(s.paths.target("launcher"), env={"STANDIN_DOWNLOAD": "/files/"}, name="download")
    live = s.wait_standin(count=2, condition=lambda live: all(r["url"] == LOGIN_PAGE for r in live))
    slow_pid = s.wait_log("SlowDocument", url=LOGIN_PAGE)[0].pid
    page = next(r for r in live if r["pid"] != slow_pid)
    for record in live:
        s.wait_window(lambda w: login_window(record["pid"])(w) and w["visible"])
    reply = harness.parse_record(s.ctl("beforenavigate", DOWNLOAD, "--hwnd", "0x%x" % page["hwnd"])[0])
    assert reply.get("250") == "raised" and reply.get("270") == "raised", reply
    assert slow.running and download.running
    return [r["host"] for r in live], slow_pid


def start_stalled_pages_stopped_or_waiting_on_an_alert(s):
    """Two launchers whose login pages never answer: one page is stopped (window.stop(), Escape:
    DownloadComplete with the control idle, and nothing else), the other shows an alert, which waits
    on the player. Answers their page hosts and pids."""
    hosts, pids = [], []
    for action in (s.stop, s.alert):
        s.start(s.paths.target("launcher"), env={"STANDIN_STALL": "/kolv/login"}, name=action.__name__)
        pid = s.wait_log("Stalled", count=len(pids) + 1, url=LOGIN_PAGE)[-1].pid
        s.wait_window(lambda w: login_window(pid)(w) and w["visible"])
        standin = s.wait_standin(len(pids) + 3, condition=lambda live: pid in [r["pid"] for r in live])
        page = next(r for r in standin if r["pid"] == pid)
        assert action(hwnd=page["hwnd"]), action.__name__
        hosts.append(page["host"])
        pids.append(pid)
    return hosts, pids


def check_a_login_page_that_never_answers_gives_way_to_the_notice(s):
    # In the same wait, beside it: pages that answer slowly, a stopped page and one whose alert
    # waits on the player are not taken for failed.
    answering, slow_pid = start_pages_that_answer_slowly(s)
    stopped_or_waiting, others = start_stalled_pages_stopped_or_waiting_on_an_alert(s)
    answering += stopped_or_waiting
    started = time.monotonic()
    program = s.start(s.paths.target("launcher"), env={"STANDIN_STALL": "/kolv/login"})
    stalled = s.wait_log("Stalled", count=3, url=LOGIN_PAGE)[-1]
    pid = stalled.pid
    assert pid not in others
    login = s.wait_window(lambda w: login_window(pid)(w) and w["visible"])
    host = next(r for r in s.wait_standin(count=5) if r["pid"] == pid)["host"]
    area = page_rect_for(*login["rect"][:2])
    wait_for(lambda: s.window(host)["visible"], 5, what="the page's host shown with its window")
    wait_notice(s, host, area, "stalled-notice", timeout=STALL_PERIOD + 10)
    waited = time.monotonic() - started
    assert STALL_PERIOD - 5 < waited < STALL_PERIOD + 10, waited
    # More than the period after their navigations began, the slow pages still show; the slow
    # document has not completed yet.
    assert all(s.window(h)["visible"] for h in answering), [s.window(h) for h in answering]
    completed = [e for e in s.log_events("Event", name="DocumentComplete") if e.pid == slow_pid]
    assert not completed and s.log_events("FileDownloadResult", url=DOWNLOAD), completed
    # Never retried by itself; Enter tries once more, and it stalls again.
    time.sleep(2)
    stalls = lambda: [e for e in s.log_events("Stalled") if e.pid == pid]
    assert len(stalls()) == 1 and len([e for e in s.log_events("Navigate2") if e.pid == pid]) == 1
    retry(s, "Return", None, login["hwnd"])
    wait_for(lambda: len(stalls()) == 2, 5, what="the second navigation")
    assert not s.window(host)["visible"] and program.running
    assert all(s.window(h)["visible"] for h in answering), [s.window(h) for h in answering]


if __name__ == "__main__":
    harness.run_checks("notice", after_each=harness.Session.end_programs_without_faults)
