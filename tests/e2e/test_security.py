"""The embedded browser's protections in the unmodified launcher's process, end to end, asked by
the stand-in the way the platform's control asks: the feature controls, the page host's security
manager, and in-page navigation kept on the web, in the login window and in the game window."""

import os
import shutil

import harness
from cycle import Cycle, game_address
from game_window import Game
from launcher import Launcher

# INTERNETFEATURELIST: zone elevation, MIME sniffing, window restrictions, ActiveX install and
# file download restrictions, no navigation sounds, no input prompts; and the pop-up blocker,
# which stays off so that the operator's pop-ups still reach the default browser.
REQUIRED_FEATURES = {1, 3, 4, 10, 12, 21, 27}
WEBOC_POPUPMANAGEMENT = 5
S_FALSE, URLPOLICY_DISALLOW, INET_E_DEFAULT_ACTION = 1, 3, 0x800C0011
# URL actions: ActiveX download (signed, unsigned), run, unsafe initialisation; file download, shell
# verb, shell execution at each risk level; Java.
REFUSED_ACTIONS = [0x1001, 0x1004, 0x1200, 0x1201, 0x1803, 0x1804, 0x1806, 0x1807, 0x1808, 0x1C00]
# Script, form submission, cookies and the pop-up manager keep the zone's policy.
DEFAULT_ACTIONS = [0x1400, 0x1601, 0x1A02, 0x1809]
# DLLs that Windows does not always take from its own folder, which the launcher loads.
PLANTED = ["gdiplus", "urlmon", "shcore", "oleacc"]
FEATURE_KEYS = ["HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_" + name
                for name in ("GPU_RENDERING", "BROWSER_EMULATION")]
REFUSED_ADDRESSES = ["file:///C:/windows/system32/notepad.exe", "mailto:player@ops.test", "ms-settings:privacy",
                     "res://ieframe.dll/dnserror.htm", "\\\\server\\share\\setup.exe"]


def probe(s):
    """The stand-in's security probe: enabled features, the QueryService result, and per action
    (HRESULT, policy or None)."""
    actions = ",".join("%x" % a for a in REFUSED_ACTIONS + DEFAULT_ACTIONS)
    record = harness.parse_record(s.ctl("security", actions)[0])
    features = {int(f) for f in record.pop("features").split(",") if f}
    service = int(record.pop("service"), 16)
    answers = {int(action, 16): tuple(None if v == "none" else int(v, 16) for v in value.split("/"))
               for action, value in record.items()}
    return features, service, answers


def assert_protected(s):
    features, service, answers = probe(s)
    assert REQUIRED_FEATURES <= features and WEBOC_POPUPMANAGEMENT not in features, features
    assert service == 0, "QueryService(SID_SInternetSecurityManager) answered 0x%08x" % service
    for action in REFUSED_ACTIONS:
        assert answers[action] == (S_FALSE, URLPOLICY_DISALLOW), (hex(action), answers[action])
    for action in DEFAULT_ACTIONS:
        assert answers[action] == (INET_E_DEFAULT_ACTION, None), (hex(action), answers[action])


def before_navigate(s, address):
    return harness.parse_record(s.ctl("beforenavigate", address)[0])


def assert_navigation_stays_on_the_web(s, launcher, allowed):
    """Every refused address is cancelled and reaches neither the page nor the default browser;
    the allowed web addresses go on to the page."""
    for address in REFUSED_ADDRESSES:
        reply = before_navigate(s, address)
        assert reply.get("cancel") == -1 and "252" not in reply, (address, reply)
    for address in allowed:
        reply = before_navigate(s, address)
        assert reply.get("cancel") == 0 and reply.get("252") == "raised", (address, reply)
        assert s.standins()[0]["url"] == address
    shown = [e.get("url") for e in launcher.log("Event", dispid=252)]
    assert not set(shown) & set(REFUSED_ADDRESSES), shown
    assert launcher.opened() == [], launcher.opened()


def check_login_page(s):
    launcher = Launcher(s)
    assert_protected(s)
    assert_navigation_stays_on_the_web(
        s, launcher, ["http://passport.ops.test/kolv/help", "HTTPS://passport.ops.test/kolv/secure"])
    assert launcher.program.running and s.find_windows({"hwnd": launcher.window["hwnd"]})


def check_game_page(s):
    game = Game(s)
    assert_protected(s)
    assert_navigation_stays_on_the_web(s, game.launcher, ["https://s1.kolv.ops.test/play"])
    assert s.find_windows({"hwnd": game.hwnd})


def check_a_renamed_launcher_sets_the_pages_rendering_and_look_before_its_first_page(s):
    """GPU rendering and the document mode, which the control reads from the registry as it is
    created, are there for the running file's name before the first page; the page is themed."""
    exe = shutil.copy(s.paths.target("launcher"), os.path.join(s.log_dir, "RenamedLauncher.exe"))
    for key in FEATURE_KEYS:
        s.run("reg", "delete", key, "/v", "RenamedLauncher.exe", "/f")
    launcher = s.start(exe)
    pid = s.wait_standin()["pid"]
    host_info = harness.wait_for(lambda: [e for e in s.log_events("HostInfo") if e.pid == pid], 10,
                                 what="the page's host info")[0]
    created = [e for e in s.log_events("Create") if e.pid == pid]
    emulation = int(os.environ["LAUNCHER_BROWSER_EMULATION"])
    assert [(e.get("gpu"), e.get("emulation")) for e in created] == [(1, emulation)], created
    assert host_info.get("theme") == 1, host_info.line
    launcher.kill()


def check_dlls_beside_the_launcher_are_never_loaded(s):
    """A copy of launcher.exe where downloads go, with a DLL under each of those names beside it,
    and Wine told to prefer such a DLL to its own: none is loaded through a cycle and a screen
    reader's question, and the launcher works."""
    folder = os.path.join(s.log_dir, "downloads")
    os.makedirs(folder)
    exe = shutil.copy(s.paths.target("launcher"), folder)
    for name in PLANTED:
        shutil.copy(s.paths.target("planted"), os.path.join(folder, name + ".dll"))
    overrides = "%s;%s=n,b" % (harness.WINE_DLL_OVERRIDES, ",".join(PLANTED))
    launcher = Cycle(s, exe=exe, env={"WINEDLLOVERRIDES": overrides})
    try:
        launcher.wait_login()
        launcher.log_in(game_address(1))
        login = launcher.close_game()
        assert s.ctl("accessible", "--hwnd", "0x%x" % login["hwnd"])[0].startswith("id=0"), "no accessible window"
        launcher.close_login()
        assert launcher.wait_exit() == 0
    finally:
        loaded = sorted(f for f in os.listdir(folder) if f.endswith(".loaded"))
        assert loaded == [], "loaded from beside the launcher: %s" % loaded


if __name__ == "__main__":
    harness.run_checks("security", after_each=harness.Session.end_programs_without_faults)
