"""The web-view operations of the program end to end: WindManager's CreateWebView and friends,
driven by webview_probe, with the stand-in control behind "shell.Explorer.2"."""

import re

import harness
from harness import wait_for

START = "http://start.test/kolv/login?user=a%20b&next=/x"
NEXT = "http://s1.kolv.ops.test/login.php?uid=7&key=abc"
QUIT = "http://end.test/quit"
POPUP = "http://pay.ops.test/?payway=1&gname=kolv"
CYCLES = 100

WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
WS_EX_TOOLWINDOW = 0x00000080
WM_KEYDOWN = 0x0100
WM_KEYUP = 0x0101
VK_RETURN = 0x0D
VK_F5 = 0x74


class Probe:
    """One run of webview_probe and the stand-in log lines written since it started."""

    def __init__(self, s, *args, winedebug=None, name=None):
        self.session = s
        self.log_start = len(s.standin_log())
        self.program = s.start(s.paths.target("webview_probe"), *args, winedebug=winedebug, name=name)

    def records(self, kind):
        prefix = kind + "\t"
        return [harness.parse_record(line) for line in self.program.lines() if line.startswith(prefix)]

    def callbacks(self, view=None):
        """(view, kind, url) of each callback, in order."""
        calls = [(int(r["view"]), int(r["kind"]), r["url"]) for r in self.records("callback")]
        return [c[1:] for c in calls if c[0] == view] if view is not None else calls

    def steps(self, name):
        return [r for r in self.records("step") if r["name"] == name]

    def wait_callbacks(self, expected, view=None, timeout=10):
        return wait_for(lambda: self.callbacks(view) == expected, timeout,
                        what="callbacks %r (have %r)" % (expected, self.callbacks(view)))

    def log(self, event=None):
        entries = self.session.standin_log()[self.log_start:]
        return [e for e in entries if event is None or e.event == event]

    def finish(self, timeout=20):
        code = self.program.wait(timeout)
        assert code == 0, (code, self.program.output()[-2000:], self.program.errors()[-2000:])
        assert self.steps("released"), self.program.output()[-2000:]


def controls(entries):
    """The stand-in log lines of each control, in creation order. Serial numbers start again at 1
    when the stand-in's module is loaded again, so each load is a generation of its own."""
    generation, by_control = 0, {}
    for e in entries:
        if e.event == "Unload":
            generation += 1
        elif e.get("obj") is not None:
            by_control.setdefault((generation, e.get("obj")), []).append(e)
    return list(by_control.values())


def heap_complaints(program):
    return [line for line in program.errors().splitlines() if re.search(r"(warn|err):heap", line)]


def assert_released_in_order(entries):
    """Unadvise, Close, the site taken away and the final Release, in that order, once each."""
    events = [e.event if e.event != "SetClientSite" else "SetClientSite:" + e.get("site") for e in entries]
    wanted = ["Unadvise", "Close", "SetClientSite:null", "FinalRelease"]
    for event in wanted:
        assert events.count(event) == 1, (event, events)
    positions = [events.index(event) for event in wanted]
    assert positions == sorted(positions), events
    assert events[-1] == "FinalRelease", events


def check_create_web_view_hosts_and_navigates_the_stand_in(s):
    probe = Probe(s, "views", "false=" + START)
    # The stand-in's window exists before its first navigation completes and its host is shown.
    standin = s.wait_standin(condition=lambda live: live[0]["url"] == START and live[0]["visible"])
    created = wait_for(lambda: probe.steps("created"), 10, what="the created step")[0]
    host = created["hwnd"]
    assert created["class"] == "AtlAxWin80", created
    assert standin["host"] == host and standin["root"] == host and standin["url"] == START, (standin, created)
    window = next(w for w in s.windows() if w["hwnd"] == host)
    assert window["class"] == "AtlAxWin80" and window["visible"] and window["owner"] == 0, window
    assert window["style"] & WS_POPUP and not window["style"] & WS_CAPTION, hex(window["style"])
    assert window["exstyle"] & WS_EX_TOOLWINDOW, hex(window["exstyle"])

    probe.wait_callbacks([(1, 2, START), (1, 1, START)])
    order = [e.event for e in probe.log() if e.event in
             ("Create", "SetClientSite", "InPlaceActivate", "DoVerb", "Advise", "Navigate2")]
    firsts = sorted(set(order), key=order.index)
    assert firsts == ["Create", "SetClientSite", "InPlaceActivate", "DoVerb", "Advise", "Navigate2"], order
    assert probe.log("InPlaceActivate")[0].get("parent") == host
    assert probe.log("DoVerb")[0].get("hr") == 0
    assert [e.get("url") for e in probe.log("Navigate2")] == [START]

    reply = s.navigate(NEXT)
    assert reply.get("252") == "raised" and reply.get("259") == "raised", reply
    probe.wait_callbacks([(1, 2, START), (1, 1, START), (1, 2, NEXT), (1, 1, NEXT)])

    s.navigate(QUIT)
    probe.finish()
    (entries,) = controls(probe.log())
    assert_released_in_order(entries)


def check_new_window3_cancel_follows_the_answer(s):
    urls = {"true": "http://one.test/", "false": "http://two.test/", "unbound": "http://three.test/"}
    probe = Probe(s, "views", *("%s=%s" % (binding, url) for binding, url in urls.items()))
    standins = s.wait_standin(3, condition=lambda live: sorted(r["url"] for r in live) == sorted(urls.values()))
    hwnd = {binding: next(r["hwnd"] for r in standins if r["url"] == url) for binding, url in urls.items()}
    probe.wait_callbacks([(2, urls["true"]), (1, urls["true"])], view=1)
    probe.wait_callbacks([(2, urls["false"]), (1, urls["false"])], view=2)

    assert s.new_window3(POPUP, hwnd=hwnd["true"]) == -1
    assert s.new_window3(POPUP, hwnd=hwnd["false"]) == 0
    # With nobody bound to send it to the default browser, a new window is refused.
    assert s.new_window3(POPUP, hwnd=hwnd["unbound"]) == -1
    assert s.new_window2(hwnd=hwnd["unbound"]) == -1
    # NewWindow2 reaches a bound callback as a completed navigation without address; the answer is
    # not written back, even from a callback that cancels new windows.
    assert s.new_window2(hwnd=hwnd["true"]) == 0

    assert [e.get("cancel") for e in probe.log("NewWindow3Result")] == [-1, 0, -1]
    assert [r for r in probe.records("callback") if r["kind"] == "3"] == [
        {"view": "1", "kind": "3", "answer": "1", "url": POPUP},
        {"view": "2", "kind": "3", "answer": "0", "url": POPUP}]
    assert probe.callbacks(view=1)[-1] == (2, ""), probe.callbacks(view=1)
    assert probe.callbacks(view=3) == []

    s.navigate(QUIT, hwnd=hwnd["true"])
    probe.finish()
    for entries in controls(probe.log()):
        assert_released_in_order(entries)


def check_destroying_its_own_web_view_inside_navigate_complete_repeatedly(s):
    probe = Probe(s, "cycles", CYCLES, "http://cycle.test/c", winedebug="warn+heap", name="cycles")
    probe.finish(timeout=60)
    heap = heap_complaints(probe.program)
    assert not heap, heap[:10]

    addresses = ["http://cycle.test/c?cycle=%d" % n for n in range(1, CYCLES + 1)]
    assert probe.callbacks() == [(n, 2, url) for n, url in enumerate(addresses, 1)], probe.callbacks()[:5]
    destroyed = probe.steps("destroyed-in-event")
    assert [int(r["view"]) for r in destroyed] == list(range(1, CYCLES + 1))
    # OLE, and so the control's module, stays with the thread while the control's call runs on.
    assert all(r["apartment"] == "1" for r in destroyed), [r for r in destroyed if r["apartment"] != "1"][:3]
    assert probe.steps("cycles-done") and not probe.steps("destroyed")

    per_control = controls(probe.log())
    assert len(per_control) == CYCLES, len(per_control)
    for url, entries in zip(addresses, per_control):
        # Destroyed inside NavigateComplete2, the control is torn down only once its call is over:
        # the DocumentComplete queued behind it is still raised, and reaches no callback.
        raised = [(e.get("dispid"), e.get("url")) for e in entries if e.event == "Event"]
        assert raised == [(252, url), (259, url)], raised
        assert_released_in_order(entries)


def check_destroying_its_web_view_inside_the_first_navigate2(s):
    address = "http://now.test/start?a=1#raise-now"
    probe = Probe(s, "destroy-in-create", address, winedebug="warn+heap", name="destroy-in-create")
    code = probe.program.wait(20)
    assert not heap_complaints(probe.program), heap_complaints(probe.program)[:10]
    assert probe.steps("created") == [{"name": "created", "returned": "null", "destroyed": "1"}], probe.steps("created")
    assert code == 0, (code, probe.program.output()[-2000:], probe.program.errors()[-2000:])
    # Raised inside CreateWebView: the callback ran before it returned.
    first = [line.split("\t")[:2] for line in probe.program.lines()[:3]]
    assert first == [["callback", "view=0"], ["step", "name=destroyed-in-event"], ["step", "name=created"]], first
    assert probe.callbacks() == [(0, 2, address)], probe.callbacks()
    destroyed = probe.steps("destroyed-in-event")
    assert [r["apartment"] for r in destroyed] == ["1"], destroyed
    assert probe.steps("released"), probe.program.output()[-2000:]

    (entries,) = controls(probe.log())
    events = [e.event for e in entries]
    assert events.index("Navigate2") < events.index("Event") < events.index("Unadvise"), events
    assert [(e.get("dispid"), e.get("url")) for e in entries if e.event == "Event"] == [(252, address), (259, address)]
    assert_released_in_order(entries)


def check_accelerator_translation_and_refresh_reach_the_control(s):
    address = "http://game.test/play?x=1"
    probe = Probe(s, "keys", address)
    probe.finish()
    control = probe.log("InPlaceActivate")[0].get("window")
    translated = [(e.get("msg"), e.get("key"), e.get("hwnd")) for e in probe.log("TranslateAccelerator")]
    assert translated == [(WM_KEYDOWN, VK_F5, control), (WM_KEYDOWN, VK_RETURN, control),
                          (WM_KEYUP, VK_RETURN, control)], translated
    assert [int(r["hwnd"]) for r in probe.steps("translated")] == [control] * 3
    # F5 is the host's: the control hands it over and does not reload by itself.
    assert [r["handled"] for r in probe.steps("translated")] == ["1", "0", "0"]
    assert not probe.log("OwnRefresh")

    events = [e.event for e in probe.log() if e.event in ("Refresh", "Event")]
    assert events == ["Event", "Event", "Refresh", "Event"], events
    assert [e.get("url") for e in probe.log("Refresh")] == [address]
    assert [(e.get("dispid"), e.get("url")) for e in probe.log("Event")] == [
        (252, address), (259, address), (259, address)]
    assert probe.callbacks() == [(1, 2, address), (1, 1, address), (1, 1, address)]
    kinds = [line.split("\t")[0] for line in probe.program.lines()]
    refreshed = probe.program.lines().index("step\tname=refreshed")
    assert kinds[refreshed + 1] == "callback" and kinds.count("callback") == 3, probe.program.lines()


if __name__ == "__main__":
    harness.run_checks("webview", after_each=harness.Session.end_programs_without_faults)
