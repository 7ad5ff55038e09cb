"""The bench itself: the stand-in control under a minimal host, standinctl, the logs,
the default-browser capture and the screenshots, before the program's web view uses them."""

import harness
from harness import STANDIN_CLSID, colour_close, wait_for

START = "http://start.test/kolv/login?user=a%20b&next=/x"
CLOSE_MARK = "/close-now"
WS_OVERLAPPEDWINDOW = 0x00CF0000
WS_CHILD = 0x40000000


def start_host(s, *args, winedebug=None):
    """Starts the minimal host; answers (program, its stand-in record) once the stand-in shows START.
    A host that Wine did not start is started again, twice at most."""
    before = {r["hwnd"] for r in s.standins()}
    for attempt in range(3):
        program = s.start(s.paths.standin_host, "--url", START, "--close-on", CLOSE_MARK, *args, winedebug=winedebug)
        def shown():
            if program.never_started:
                return "not started"
            assert program.running, "the host ended with %s: %s" % (program.returncode, program.errors()[-2000:])
            return next((r for r in s.standins() if r["hwnd"] not in before and r["url"] == START), None)
        record = wait_for(shown, 15, what="the host's stand-in")
        if record != "not started":
            return program, record
        s.note_not_started("standin_host", attempt)
    raise AssertionError("the host was not started by Wine, three times")


def close_host(s, program, record):
    """Ends a host the way a program ends its web view, from inside NavigateComplete2."""
    reply = s.navigate("http://end.test" + CLOSE_MARK, hwnd=record["hwnd"])
    assert program.wait(10) == 0, program.errors()
    return reply


def sink_lines(program, dispid):
    return [harness.parse_record(line) for line in program.lines()
            if line.startswith("host sink=") and ("\tdispid=%d\t" % dispid) in line]


def check_creation_through_the_progid_gives_the_stand_in(s):
    program, record = start_host(s)
    try:
        out = program.output()
        assert "host progid-clsid=%s\thr=0x00000000" % STANDIN_CLSID in out, out
        assert "host user-class=%s" % STANDIN_CLSID in out, out
        pid = record["pid"]
        events = [e.event for e in s.standin_log() if e.pid == pid]
        expected = ["Create", "SetClientSite", "InPlaceActivate", "DoVerb", "Advise", "Navigate2"]
        assert events[:len(expected)] == expected, events
        activation = s.log_events("InPlaceActivate", obj=1)[-1]
        assert activation.get("parent") == record["host"], (activation, record)
        assert s.log_events("DoVerb")[-1].get("verb") == -5
    finally:
        close_host(s, program, record)


def check_navigate2_raises_navigate_complete_then_document_complete(s):
    program, record = start_host(s, "--sinks", "2")
    try:
        wait_for(lambda: len(sink_lines(program, 259)) == 2, 5, what="DocumentComplete at both sinks")
        sinks = sink_lines(program, 252) + sink_lines(program, 259)
        order = [line.split("\t")[1] for line in program.lines() if line.startswith("host sink=")]
        assert order == ["dispid=252", "dispid=252", "dispid=259", "dispid=259"], order
        for r in sinks:
            assert r["args"] == "ok" and r["url"] == START, r
        raised = [(e.get("dispid"), e.get("url")) for e in s.log_events("Event", obj=1) if e.pid == record["pid"]]
        assert raised == [(252, START), (259, START)], raised
    finally:
        close_host(s, program, record)


def check_standinctl_navigate_raises_both_events_and_repaints(s):
    program, record = start_host(s)
    try:
        address = "http://s1.kolv.ops.test/login.php?uid=7&key=abc"
        reply = s.navigate(address)
        assert reply.get("252") == "raised" and reply.get("259") == "raised", reply
        assert [r["url"] for r in sink_lines(program, 252)] == [START, address]
        assert [r["url"] for r in sink_lines(program, 259)] == [START, address]
        assert s.standins()[0]["url"] == address
        assert s.log_events("ControlNavigate")[-1].get("url") == address
    finally:
        close_host(s, program, record)


def check_new_window_requests_report_the_hosts_cancel(s):
    cancelling, first = start_host(s, "--cancel", "1", "--rect", "40,40,520,340")
    allowing, second = start_host(s, "--cancel", "0", "--rect", "560,40,1040,340")
    try:
        code, _, err = s.run(s.paths.standinctl, "newwindow3", "http://a.test/")
        assert code == 2 and "give --index or --hwnd" in err, (code, err)
        popup = "http://pay.ops.test/?payway=1&gname=kolv"
        assert s.new_window3(popup, hwnd=first["hwnd"]) == -1
        assert s.new_window3(popup, hwnd=second["hwnd"]) == 0
        index_of_first = next(r["index"] for r in s.standins() if r["hwnd"] == first["hwnd"])
        assert s.new_window2(index=index_of_first) == -1
        assert s.new_window2(hwnd=second["hwnd"]) == 0
        request = sink_lines(cancelling, 273)[0]
        assert request["args"] == "ok" and request["url"] == popup and request["context"] == START, request
        assert request["flags"] == "6", request
        results = [(e.event, e.get("cancel")) for e in s.standin_log() if e.event.endswith("Result")]
        assert results == [("NewWindow3Result", -1), ("NewWindow3Result", 0),
                           ("NewWindow2Result", -1), ("NewWindow2Result", 0)], results
    finally:
        close_host(s, cancelling, first)
        close_host(s, allowing, second)


def check_navigate_error_passes_its_arguments_and_reports_the_hosts_cancel(s):
    cancelling, first = start_host(s, "--cancel", "1", "--rect", "40,40,520,340")
    allowing, second = start_host(s, "--cancel", "0", "--rect", "560,40,1040,340")
    try:
        missing = "http://gone.ops.test/kolv/login"
        assert s.navigate_error(missing, hwnd=first["hwnd"]) == -1
        assert s.navigate_error(missing, status=404, hwnd=second["hwnd"]) == 0
        assert s.navigate_error(missing + "/side", status="0x800C0007", frame=True, hwnd=second["hwnd"]) == 0
        seen = [(r["args"], r["status"], r["frame"], r["url"]) for r in sink_lines(cancelling, 271) + sink_lines(
            allowing, 271)]
        assert seen == [("ok", -0x7FF3FFFB, 0, missing), ("ok", 404, 0, missing),
                        ("ok", 0x800C0007 - (1 << 32), 1, missing + "/side")], seen
        results = [(e.get("cancel"), e.get("status"), e.get("frame")) for e in s.log_events("NavigateErrorResult")]
        assert results == [(-1, -0x7FF3FFFB, 0), (0, 404, 0), (0, 0x800C0007 - (1 << 32), 1)], results
        # Left uncancelled, the page itself shows the control's error page; a frame's error does not.
        assert [e.get("url") for e in s.log_events("ErrorPage")] == [missing], s.log_events("ErrorPage")
    finally:
        close_host(s, cancelling, first)
        close_host(s, allowing, second)


def check_a_stalled_navigation_raises_nothing(s):
    stall = "/never-answers"
    program = s.start(s.paths.standin_host, "--url", START + stall, "--close-on", CLOSE_MARK,
                      env={"STANDIN_STALL": stall})
    record = s.wait_standin(condition=lambda live: live[0]["pid"] and s.log_events("Stalled"))
    try:
        assert [e.get("url") for e in s.log_events("Stalled")] == [START + stall]
        assert not sink_lines(program, 252) and record["url"] == "", (program.lines(), record)
        assert s.navigate("http://other.test" + stall) == {"252": "stalled"}
        assert s.navigate("http://other.test/answers").get("259") == "raised"
        assert [r["url"] for r in sink_lines(program, 259)] == ["http://other.test/answers"]
    finally:
        close_host(s, program, record)


def check_window_inspector_reports_geometry_and_styles(s):
    program, record = start_host(s, "--rect", "100,50,740,530")
    try:
        host = s.wait_window({"class": "StandInTestHost", "visible": True})
        assert host["hwnd"] == record["host"], (host, record)
        assert host["class"] == "StandInTestHost" and host["text"] == "stand-in test host", host
        assert host["rect"] == (100, 50, 740, 530) and host["visible"] and host["owner"] == 0, host
        assert host["style"] & WS_OVERLAPPEDWINDOW == WS_OVERLAPPEDWINDOW, hex(host["style"])
        child = next(w for w in s.windows(children=True) if w["hwnd"] == record["hwnd"])
        assert child["class"] == "StandInBrowser" and child["parent"] == record["host"], child
        assert child["style"] & WS_CHILD and child["rect"] == host["client"], (child, host)
        assert child["text"] == START
        assert s.foreground()["hwnd"] == record["host"]
    finally:
        close_host(s, program, record)


def check_screenshot_shows_the_painted_address(s):
    program, record = start_host(s, "--rect", "40,40,840,440")
    try:
        left, top, right, bottom = record["rect"]
        shot = s.screenshot("standin-start")
        assert colour_close(shot.pixel(right - 40, bottom - 40), harness.STANDIN_BACKGROUND), shot.pixel(
            right - 40, bottom - 40)
        text_band = (left + 16, top + 40, right - 16, top + 80)
        before = shot.count(text_band, harness.STANDIN_TEXT, tolerance=40)
        assert before > 300, before
        s.navigate("http://w.test/")
        after = s.screenshot("standin-short-address").count(text_band, harness.STANDIN_TEXT, tolerance=40)
        assert 0 < after < before / 2, (before, after)
    finally:
        close_host(s, program, record)


def check_keyboard_reaches_the_clicked_control(s):
    program, record = start_host(s)
    try:
        left, top, right, bottom = record["rect"]
        s.click((left + right) // 2, (top + bottom) // 2)
        s.wait_log("Focus", focused=1)
        s.wait_log("UIActivate")
        assert s.foreground()["focusclass"] == "StandInBrowser"
        s.key("Return", "F5")
        for key in (0x0D, 0x74):
            s.wait_log("Key", msg=0x0100, key=key)
            s.wait_log("TranslateAccelerator", msg=0x0100, key=key)
        shot = s.screenshot("standin-focused")
        assert colour_close(shot.pixel(left + 1, (top + bottom) // 2), harness.STANDIN_FRAME_FOCUSED), shot.pixel(
            left + 1, (top + bottom) // 2)
    finally:
        close_host(s, program, record)


def check_a_host_may_close_the_control_inside_an_event(s):
    program, record = start_host(s)
    reply = close_host(s, program, record)
    assert reply.get("252") == "raised" and reply.get("259") == "dropped", reply
    tail = [e.event for e in s.standin_log() if e.pid == record["pid"]]
    tail = tail[tail.index("ControlNavigate"):]
    for earlier, later in [("Unadvise", "Close"), ("Close", "WindowDestroyed"), ("WindowDestroyed", "FinalRelease")]:
        assert tail.index(earlier) < tail.index(later), tail
    assert "host closed" in program.output()
    assert not s.standins()


def check_repeated_closes_under_heap_checking(s):
    cycles = 20
    program = s.start(s.paths.standin_host, "--url", "http://cycle.test" + CLOSE_MARK, "--close-on", CLOSE_MARK,
                      "--cycles", cycles, "--sinks", "2", winedebug="warn+heap", name="cycles")
    assert program.wait(60) == 0, program.errors()
    pid = s.log_events("Create")[-1].pid
    assert len([e for e in s.log_events("FinalRelease") if e.pid == pid]) == cycles
    assert len([e for e in s.log_events("Unadvise") if e.pid == pid]) == 2 * cycles
    heap = [line for line in program.errors().splitlines() if "heap" in line]
    assert not heap, heap[:5]


def check_default_browser_is_captured(s):
    address = "http://pay.ops.test/?payway=1&gname=kolv%20x"
    code, _, _ = s.run("start", address)
    assert code == 0
    wait_for(lambda: address in s.browser_log(), 10, what="the address in the browser log")
    assert s.browser_log() == [address]


if __name__ == "__main__":
    harness.run_checks("standin_bench", after_each=harness.Session.end_programs)
