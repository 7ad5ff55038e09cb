#!/usr/bin/env python3
"""Runs the launcher's benchmarks under Wine in the end-to-end prefix, where the stand-in
control is the browser, prints the table and writes it with every raw figure as JSON.

Started by scripts/bench, which builds and provides the display; E2E_BUILD_DIR names the build.
"""

import argparse
import datetime
import json
import os
import re
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

MIB = 1024 * 1024
# The architecture of the build measured, from the Wine loader that runs it; figures of the two
# architectures are never put in one ratio.
ARCH = "x64" if harness.WINE_ARCH == "win64" else "x86"
OBJDUMP = {"x64": "x86_64-w64-mingw32-objdump", "x86": "i686-w64-mingw32-objdump"}[ARCH]


# Start-up is measured again at each of these display scales, each in a prefix of its own, with
# 96 DPI among them: the ratios to 96 DPI are taken within one run.
SCALES = (96, 120, 144, 168, 192)


class BenchError(Exception):
    pass


def spread(values):
    """Median, min and max of a list of numbers."""
    return {"median": statistics.median(values), "min": min(values), "max": max(values), "count": len(values)}


def parse_report(text):
    start, end = text.find("{"), text.rfind("}")
    if start < 0 or end < start:
        raise BenchError("no report in the output: %r" % text[-400:])
    return json.loads(text[start:end + 1])


def run_timed(session, exe, *args, timeout=60.0):
    """Runs a bench program to its end in the session; answers (report, spawn time in ns since 1970)."""
    spawned = time.time_ns()
    code, out, err = session.run(exe, *args, timeout=timeout)
    if code != 0:
        raise BenchError("%s %s exited with %d: %s" % (os.path.basename(exe), " ".join(map(str, args)), code,
                                                     err.strip()[-2000:]))
    return parse_report(out), spawned


def measure_startup(session, bench, empty, floor, runs):
    """Empty program, the floor of a skinned window and the launcher's start-up, alternated, each in
    a fresh process."""
    empty_start, our_start, first_present, shown, share = [], [], [], [], []
    floor_shown, our_shown, our_complete, ratio_shown, ratio_complete = [], [], [], [], []
    steps = {name: [] for name in ("toolkit", "images", "skin_and_window", "page", "surface_and_present", "show",
                                   "page_painted")}
    warm_first_present = []
    for _ in range(runs):
        report, spawned = run_timed(session, empty)
        empty_ms = (report["entry_unix_ns"] - spawned) / 1e6
        report, spawned = run_timed(session, floor)
        floor_ms = (report["entry_unix_ns"] - spawned) / 1e6 + report["shown_ms"]
        report, spawned = run_timed(session, bench, "startup")
        if not [e for e in session.log_events("Create") if e.pid == int(report["startup.pid"])]:
            raise BenchError("the stand-in was not the browser of bench.exe startup (pid %d)" % report["startup.pid"])
        entry_ms = (report["startup.entry_unix_ns"] - spawned) / 1e6
        cold = {key[len("startup.cold."):]: value for key, value in report.items() if key.startswith("startup.cold.")}
        if not cold["page_visible"]:
            raise BenchError("bench.exe startup showed no page")
        empty_start.append(empty_ms)
        our_start.append(entry_ms)
        first_present.append(cold["first_present_ms"])
        shown.append(cold["shown_ms"])
        share.append(entry_ms + cold["first_present_ms"] - empty_ms)
        floor_shown.append(floor_ms)
        our_shown.append(entry_ms + cold["shown_ms"])
        our_complete.append(entry_ms + cold["complete_ms"])
        ratio_shown.append(our_shown[-1] / floor_ms)
        ratio_complete.append(our_complete[-1] / floor_ms)
        steps["toolkit"].append(cold["toolkit_ms"])
        steps["images"].append(cold["constructed_ms"] - cold["toolkit_ms"])
        steps["skin_and_window"].append(cold["create_message_start_ms"] - cold["constructed_ms"])
        steps["page"].append(cold["create_message_end_ms"] - cold["create_message_start_ms"])
        steps["surface_and_present"].append(cold["first_present_ms"] - cold["create_message_end_ms"])
        steps["show"].append(cold["shown_ms"] - cold["first_present_ms"])
        steps["page_painted"].append(cold["complete_ms"] - cold["shown_ms"])
        warm_first_present.append(report["startup.warm.first_present_ms"])
    return {
        "runs": runs,
        "empty_spawn_to_entry_ms": spread(empty_start),
        "spawn_to_entry_ms": spread(our_start),
        "entry_to_first_present_ms": spread(first_present),
        "entry_to_shown_ms": spread(shown),
        "first_present_beyond_empty_start_ms": spread(share),
        "floor_spawn_to_shown_ms": spread(floor_shown),
        "spawn_to_shown_ms": spread(our_shown),
        "spawn_to_complete_frame_ms": spread(our_complete),
        "shown_over_floor": spread(ratio_shown),
        "complete_frame_over_floor": spread(ratio_complete),
        "steps_ms": {name: spread(values) for name, values in steps.items()},
        "second_window_to_first_present_ms": spread(warm_first_present),
        "raw": {"empty_spawn_to_entry_ms": empty_start, "spawn_to_entry_ms": our_start,
                "entry_to_first_present_ms": first_present, "entry_to_shown_ms": shown,
                "floor_spawn_to_shown_ms": floor_shown, "spawn_to_shown_ms": our_shown,
                "spawn_to_complete_frame_ms": our_complete},
    }


def startup_at(dpi, runs):
    """Start-up at a DPI: this script again, start-up only, in a prefix whose LogPixels is that."""
    env = dict(os.environ, E2E_DPI=str(dpi),
               E2E_WINEPREFIX=os.path.join(harness.Paths().build_dir, "wineprefix-bench-%d" % dpi))
    done = subprocess.run([sys.executable, os.path.abspath(__file__), "--startup-only", "--runs", str(runs)],
                          env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=600)
    if done.returncode != 0:
        raise BenchError("start-up at %d DPI failed: %s" % (dpi, done.stderr.strip()[-2000:]))
    return parse_report(done.stdout)


def measure_scales(runs, rounds):
    """Start-up at every scale of SCALES, the scales taken in turn for each of `rounds` rounds of
    `runs` processes, so that a change of the machine's load falls on all of them alike. The ratio
    to 96 DPI is taken round by round, of the rounds' medians."""
    samples = {dpi: [] for dpi in SCALES}
    for _ in range(rounds):
        for dpi in SCALES:
            samples[dpi].append(startup_at(dpi, runs))
    scales = {}
    for dpi in SCALES:
        merged = {"dpi": dpi, "rounds": rounds, "runs_per_round": runs}
        for key in ("spawn_to_shown_ms", "floor_spawn_to_shown_ms", "spawn_to_complete_frame_ms"):
            merged[key] = spread([v for part in samples[dpi] for v in part["raw"][key]])
        for key in ("shown_over_floor", "complete_frame_over_floor"):
            merged[key] = spread([part[key]["median"] for part in samples[dpi]])
        merged["steps_ms"] = {name: spread([part["steps_ms"][name]["median"] for part in samples[dpi]])
                              for name in samples[dpi][0]["steps_ms"]}
        merged["shown_over_96"] = spread([part["spawn_to_shown_ms"]["median"] / base["spawn_to_shown_ms"]["median"]
                                          for part, base in zip(samples[dpi], samples[96])])
        scales[str(dpi)] = merged
    return scales


def scales_table(scales):
    lines = ["| Display scale | DPI | Spawn → shown, median (min–max), ms | Ratio to 96 DPI, median of rounds (min–max) "
             "| Target | | Ours / floor at that scale | Images | Skin and window | Surface and present |",
             "|---|---|---|---|---|---|---|---|---|---|"]
    for dpi in SCALES:
        z = scales[str(dpi)]
        shown, ratio, floor, steps = z["spawn_to_shown_ms"], z["shown_over_96"], z["shown_over_floor"], z["steps_ms"]
        met = "" if dpi == 96 else ("met" if ratio["median"] <= 1.5 else "**missed**")
        lines.append("| %d %% | %d | %s (%s–%s) | %s (%s–%s) | %s | %s | %s | %s | %s | %s |" % (
            dpi * 100 // 96, dpi, fmt(shown["median"], 0), fmt(shown["min"], 0), fmt(shown["max"], 0),
            fmt(ratio["median"], 2), fmt(ratio["min"], 2), fmt(ratio["max"], 2), "" if dpi == 96 else "≤ 1.5", met,
            fmt(floor["median"], 2), fmt(steps["images"]["median"]), fmt(steps["skin_and_window"]["median"]),
            fmt(steps["surface_and_present"]["median"])))
    return "\n".join(lines)


def growth(samples, warmup, window=5):
    """Resident growth per launch cycle, measured as the soak test does: samples[n] is taken after
    cycle n (samples[0] before the first); from cycle `warmup` on, the change between the medians
    of the first and the last `window` samples over the cycles between their middles, beside the
    least-squares slope and the spread of the single steps."""
    measured = [(cycle, kib) for cycle, kib in enumerate(samples) if cycle >= warmup]
    early, late = measured[:window], measured[-window:]
    distance = statistics.median(c for c, _ in late) - statistics.median(c for c, _ in early)
    robust = (statistics.median(k for _, k in late) - statistics.median(k for _, k in early)) / distance
    mean_x = statistics.fmean(c for c, _ in measured)
    mean_y = statistics.fmean(k for _, k in measured)
    slope = (sum((c - mean_x) * (k - mean_y) for c, k in measured)
             / sum((c - mean_x) ** 2 for c, _ in measured))
    steps = [b - a for (_, a), (_, b) in zip(measured, measured[1:])]
    return {"cycles": len(samples) - 1, "warmup": warmup, "resident_kib": samples,
            "growth_kib_per_cycle": robust, "least_squares_kib_per_cycle": slope, "step_kib": spread(steps)}


def voluntary_switches(pid):
    """Voluntary context switches of all threads of a Linux process (a Windows process under Wine)."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/status" % (pid, task)) as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("voluntary_ctxt_switches"))
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return total


def switches_per_second(program, seconds):
    """The program's voluntary context switches per second over the given seconds, after 2 s to settle."""
    time.sleep(2)
    before = voluntary_switches(program.pid)
    time.sleep(seconds)
    return (voluntary_switches(program.pid) - before) / seconds


def measure_idle(session, launcher, floor, seconds):
    """How often a shown window with no input wakes up: the launcher's login window, showing its page
    (the stand-in), beside the floor's shown window over the same time."""
    shown = session.start(floor, "--idle", name="bench_floor_idle")
    harness.wait_for(lambda: "{" in shown.output(), 30, what="the floor's window shown")
    floor_rate = switches_per_second(shown, seconds)
    shown.kill()
    ours = session.start(launcher, name="launcher_idle")
    session.wait_standin()
    harness.wait_for(lambda: session.find_windows({"class": "LoginerWind", "visible": True}), 30,
                     what="the login window shown")
    our_rate = switches_per_second(ours, seconds)
    ours.kill()
    return {"seconds": seconds, "ours_per_second": our_rate, "floor_per_second": floor_rate}


def imports(exe):
    """DLL name -> number of functions imported, from objdump -p."""
    out = subprocess.run([OBJDUMP, "-p", exe], check=True, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, timeout=60).stdout.decode("utf-8", "replace")
    table = {}
    current = None
    for line in out.splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            current = match.group(1)
            table[current] = 0
        elif current and re.match(r"\s*[0-9a-f]+\s+\d+\s+\S+", line):
            table[current] += 1
        elif current and not line.strip():
            current = None
    return table


def machine():
    def text(command):
        try:
            return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30,
                                  check=False).stdout.decode().strip()
        except OSError:
            return ""
    model = ""
    for line in text(["lscpu"]).splitlines():
        if line.startswith("Model name:"):
            model = line.split(":", 1)[1].strip()
    debian = ""
    if os.path.exists("/etc/debian_version"):
        with open("/etc/debian_version") as f:
            debian = f.read().strip()
    return {"cores": os.cpu_count(), "cpu": model, "debian": debian, "architecture": ARCH,
            "wine_loader": harness.WINE, "wine": text([harness.WINE, "--version"]),
            "display": "Xvfb %s" % os.environ.get("SCREEN_SIZE", "1920x1080x24")}


def commit():
    """The commit measured, with +changes when product sources differ from it in the working tree."""
    def git(*args):
        return subprocess.run(["git", "-C", ROOT] + list(args), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=30, check=False).stdout.decode().strip()
    changed = git("status", "--porcelain", "--", "app", "toolkit", "windows", "webview", "resources")
    return git("rev-parse", "--short", "HEAD") + (" +changes" if changed else "")


def fmt(value, digits=1):
    return "%.*f" % (digits, value)


def row(measure, figures, target, met, command, digits=1):
    if isinstance(figures, dict):
        cells = [fmt(figures["median"], digits), fmt(figures["min"], digits), fmt(figures["max"], digits)]
    else:
        cells = [figures, "", ""]
    verdict = "" if met is None else ("met" if met else "**missed**")
    return "| %s | %s | %s | %s | %s | %s | `%s` |" % (measure, cells[0], cells[1], cells[2], target, verdict, command)


def table(results):
    s, w, p, c, z = (results["startup"], results["sweep"], results["present"], results["cycles"], results["size"])
    d = results["dirty_present"]
    i = results["idle"]
    k = c["standin_kept_loaded"]
    sweep_cmd = "bench.exe sweep --moves %d --baseline-moves %d" % (w["ours"]["moves"], w["literal"]["moves"])
    present_cmd = "bench.exe present --count %d" % p["us_per_call"]["count"]
    floor_cmd = "bench.exe startup + bench_floor.exe"
    lines = [
        "| Measure | Median | Min | Max | Target | | Command |",
        "|---|---|---|---|---|---|---|",
        row("Wine's empty-process start: spawn of `wine` → entry (ms)", s["empty_spawn_to_entry_ms"], "", None,
            "bench_empty.exe"),
        row("Our process start: spawn → entry of bench.exe (ms)", s["spawn_to_entry_ms"], "", None,
            "bench.exe startup"),
        row("Start-up, our own time: entry → first present of the skin (ms)", s["entry_to_first_present_ms"],
            "", None, "bench.exe startup"),
        row("Start-up: entry → window shown (ms)", s["entry_to_shown_ms"], "", None, "bench.exe startup"),
        row("Start-up: spawn → first present, minus the empty start of the same round (ms)",
            s["first_present_beyond_empty_start_ms"], "< 50 ms",
            s["first_present_beyond_empty_start_ms"]["median"] < 50, "bench.exe startup + bench_empty.exe"),
        row("Floor (skin decoded, layered window presented once and shown): spawn → shown (ms)",
            s["floor_spawn_to_shown_ms"], "", None, "bench_floor.exe"),
        row("Ours: spawn → window and page shown (ms)", s["spawn_to_shown_ms"], "", None, "bench.exe startup"),
        row("Ours: spawn → first complete frame, page painted (ms)", s["spawn_to_complete_frame_ms"], "", None,
            "bench.exe startup"),
        row("Ours / floor, spawn → shown (ratio per round)", s["shown_over_floor"], "≤ 1.5",
            s["shown_over_floor"]["median"] <= 1.5, floor_cmd, 2),
        row("Ours / floor, spawn → first complete frame (ratio per round)", s["complete_frame_over_floor"], "≤ 1.5",
            s["complete_frame_over_floor"]["median"] <= 1.5, floor_cmd, 2),
    ]
    for name, label in (("images", "the buttons' six normal images (PNG; the first loads the codecs)"), ("skin_and_window", "skin PNG and window up to "
                        "WM_CREATE"), ("page", "WM_CREATE: the page (stand-in)"), ("surface_and_present",
                        "surface, skin drawn, first present"), ("show", "ShowWindow, UpdateWindow, page shown"),
                        ("page_painted", "the page painted")):
        lines.append(row("&nbsp;&nbsp;of which %s (ms)" % label, s["steps_ms"][name], "", None, "bench.exe startup"))
    lines += [
        row("Second login window in the same process: start → first present (ms)",
            s["second_window_to_first_present_ms"], "", None, "bench.exe startup"),
        row("Pointer sweep, ours: time per move (µs); mean %s" % fmt(w["ours"]["us_per_move"]["mean"]),
            w["ours"]["us_per_move"], "", None, sweep_cmd, 2),
        row("Pointer sweep, literal rule: time per move (µs); mean %s" % fmt(w["literal"]["us_per_move"]["mean"]),
            w["literal"]["us_per_move"], "", None, sweep_cmd),
        row("Presents per move: ours / before / literal", "%.4f / %.4f / %.2f" % (w["ours"]["presents_per_move"],
            w["previous"]["presents_per_move"], w["literal"]["presents_per_move"]), "", None, sweep_cmd),
        row("Presents on the %d moves that change no image (ours)" % w["ours"]["idle_moves"],
            "%d" % w["ours"]["presents_on_idle_moves"], "0", w["ours"]["presents_on_idle_moves"] == 0, sweep_cmd),
        row("Presents on the %d moves that change images (ours; %d of them partial) / image changes" % (
            w["ours"]["changing_moves"], w["ours"]["partial_presents"]), "%d / %d" % (
            w["ours"]["presents_on_changing_moves"], w["ours"]["image_changes"]), "one per move",
            w["ours"]["presents_on_changing_moves"] == w["ours"]["changing_moves"], sweep_cmd),
        row("Most presents in one move (ours); in the first move", "%d; %d" % (
            w["ours"]["most_presents_in_a_move"], w["ours"]["first_move_presents"]), "≤ 1; ≤ 1",
            w["ours"]["most_presents_in_a_move"] <= 1 and w["ours"]["first_move_presents"] <= 1, sweep_cmd),
        row("Image-changing move, before (a whole present per image) / ours (ratio of means; ours %s ms)" % fmt(
            w["ours"]["us_per_changing_move"]["mean"] / 1000), fmt(w["previous_over_ours_changing_mean"], 2), "",
            None, sweep_cmd),
        row("Literal / ours, time per move (ratio of means; of medians %s)" % fmt(w["ratio_median"], 0),
            fmt(w["ratio_mean"]), "≥ 20", w["ratio_mean"] >= 20, sweep_cmd),
        row("One full-surface present, 4 × %d × %d bytes (ms)" % (p["width"], p["height"]),
            {stat: value / 1000 for stat, value in p["us_per_call"].items()}, "", None, present_cmd),
        row("One present of a changed %d × %d rectangle (ms)" % (p["dirty_width"], p["dirty_height"]),
            {stat: value / 1000 for stat, value in p["us_per_dirty_call"].items()}, "", None, present_cmd),
        row("Full / changed-rectangle present (ratio of medians)", fmt(d["ratio"], 2), "≥ 2.5", d["ratio"] >= 2.5,
            present_cmd),
        row("Resident growth per launch cycle, cycles %d to %d (KiB; least squares %s)" % (
            c["warmup"], c["cycles"], fmt(c["least_squares_kib_per_cycle"])), fmt(c["growth_kib_per_cycle"]),
            "< 64 KiB", c["growth_kib_per_cycle"] < 64, "bench.exe cycles --count %d" % c["cycles"]),
        row("&nbsp;&nbsp;working-set change of single cycles after warm-up (KiB)", c["step_kib"], "", None,
            "bench.exe cycles --count %d" % c["cycles"]),
        row("&nbsp;&nbsp;the same with the stand-in's DLL kept loaded (KiB per cycle; least squares %s)" %
            fmt(k["least_squares_kib_per_cycle"]), fmt(k["growth_kib_per_cycle"]), "", None,
            "bench.exe cycles --count %d --keep-loaded standin.dll" % k["cycles"]),
        row("Idle, login window shown, no input: voluntary context switches per second, ours / floor (over %d s)" %
            i["seconds"], "%s / %s" % (fmt(i["ours_per_second"]), fmt(i["floor_per_second"])), "≤ floor + 1",
            i["ours_per_second"] <= i["floor_per_second"] + 1, "launcher.exe + bench_floor.exe --idle"),
        row("launcher.exe size (bytes; %.2f MiB)" % (z["bytes"] / MIB), "%d" % z["bytes"], "< 2 MiB",
            z["bytes"] < 2 * MIB, "stat build/%s/launcher.exe" % ARCH),
        row("launcher.exe imports", ", ".join("%s (%d)" % (dll, n) for dll, n in z["imports"].items()), "", None,
            "%s -p launcher.exe" % OBJDUMP),
    ]
    return "\n".join(lines)


def summarise_sweep(report, key):
    prefix = "sweep.%s." % key
    flat = {k[len(prefix):]: v for k, v in report.items() if k.startswith(prefix)}
    out = {name: flat[name] for name in ("moves", "presents", "presents_per_move", "presents_expected", "idle_moves",
                                         "presents_on_idle_moves", "changing_moves", "presents_on_changing_moves",
                                         "moves_with_wrong_count", "most_presents_in_a_move", "first_move_presents",
                                         "partial_presents", "image_changes")}
    for part in ("us_per_move", "us_per_idle_move", "us_per_changing_move"):
        out[part] = {stat: flat["%s.%s" % (part, stat)] for stat in ("count", "median", "min", "max", "mean", "total")}
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--runs", type=int, default=20, help="fresh processes for start-up (default 20)")
    parser.add_argument("--moves", type=int, default=10000, help="pointer moves per sweep (default 10000)")
    parser.add_argument("--baseline-moves", type=int, default=None,
                        help="moves of the literal sweep (default: all; it costs about 70 ms each)")
    parser.add_argument("--presents", type=int, default=200, help="full-surface presents timed (default 200)")
    parser.add_argument("--cycles", type=int, default=30, help="launch cycles (default 30)")
    parser.add_argument("--warmup", type=int, default=5, help="first cycle the growth counts from (default 5)")
    parser.add_argument("--idle", type=int, default=10, help="seconds of each idle window (default 10)")
    parser.add_argument("--startup-only", action="store_true",
                        help="measure start-up only, at the prefix's DPI, and print it as JSON")
    parser.add_argument("--scale-rounds", type=int, default=4,
                        help="rounds of start-up at every display scale in turn (default 4)")
    parser.add_argument("--scale-runs", type=int, default=5, help="fresh processes per scale and round (default 5)")
    parser.add_argument("--scales-only", action="store_true",
                        help="measure start-up at every display scale only, print its table and write it")
    args = parser.parse_args()

    paths = harness.Paths()
    build = paths.build_dir
    bench = os.path.join(build, "bench", "bench.exe")
    empty = os.path.join(build, "bench", "bench_empty.exe")
    floor = os.path.join(build, "bench", "bench_floor.exe")
    launcher = os.path.join(build, "launcher.exe")
    baseline_moves = args.moves if args.baseline_moves is None else args.baseline_moves
    if args.startup_only:
        with harness.Session("bench-%d" % harness.DPI) as session:
            startup = measure_startup(session, bench, empty, floor, args.runs)
        startup["dpi"] = harness.DPI
        print(json.dumps(startup))
        return

    results = {"date": datetime.date.today().isoformat(), "commit": commit(), "machine": machine(),
               "load_average": {}}
    if args.scales_only:
        measure_scales_into(results, args, launcher)
        write(results, build)
        print(results["scales_table"])
        return
    with harness.Session("bench") as session:
        results["load_average"]["startup"] = os.getloadavg()[0]
        print("start-up: %d rounds of bench_empty.exe, bench_floor.exe and bench.exe startup ..." % args.runs,
              flush=True)
        results["startup"] = measure_startup(session, bench, empty, floor, args.runs)
        report, _ = run_timed(session, bench, "parts", "--rounds", 10)
        results["startup"]["parts_ms"] = {key[len("parts."):]: value for key, value in report.items()}
        results["load_average"]["sweep"] = os.getloadavg()[0]
        print("pointer sweep: %d moves, literal %d ..." % (args.moves, baseline_moves), flush=True)
        report, _ = run_timed(session, bench, "sweep", "--moves", args.moves, "--baseline-moves", baseline_moves,
                              timeout=600 + baseline_moves * 0.5)
        results["sweep"] = {key: summarise_sweep(report, key) for key in ("ours", "previous", "literal")}
        results["sweep"].update({key: report["sweep." + key] for key in (
            "moves_over_buttons", "ratio_mean", "ratio_median", "previous_over_ours_changing_mean")})
        results["load_average"]["present_and_cycles"] = os.getloadavg()[0]
        print("presents and launch cycles ...", flush=True)
        report, _ = run_timed(session, bench, "present", "--count", args.presents, timeout=300)
        results["present"] = {key: int(report["present." + key]) for key in (
            "width", "height", "dirty_width", "dirty_height")}
        for key in ("us_per_call", "us_per_dirty_call"):
            results["present"][key] = {stat: report["present.%s.%s" % (key, stat)]
                                       for stat in ("count", "median", "min", "max", "mean")}
        full_ms = results["present"]["us_per_call"]["median"] / 1000
        dirty_ms = results["present"]["us_per_dirty_call"]["median"] / 1000
        results["dirty_present"] = {"full_ms": full_ms, "dirty_ms": dirty_ms, "ratio": full_ms / dirty_ms}
        report, _ = run_timed(session, bench, "cycles", "--count", args.cycles, timeout=300)
        results["cycles"] = growth(report["cycles.resident_kib"], args.warmup)
        report, _ = run_timed(session, bench, "cycles", "--count", args.cycles, "--keep-loaded",
                              harness.windows_path(session.paths.standin_dll), timeout=300)
        results["cycles"]["standin_kept_loaded"] = growth(report["cycles.resident_kib"], args.warmup)
        print("idle: %d s of the floor's window, then %d s of the launcher's ..." % (args.idle, args.idle), flush=True)
        results["idle"] = measure_idle(session, launcher, floor, args.idle)
    measure_scales_into(results, args, launcher)
    results["table"] = table(results)
    write(results, build)
    print(results["table"])
    print()
    print(results["scales_table"])
    print("\nwritten to %s" % os.path.join(build, "bench", "results.json"))


def measure_scales_into(results, args, launcher):
    results["load_average"]["scales"] = os.getloadavg()[0]
    print("start-up at %s DPI: %d rounds of %d processes each, each scale in a prefix of its own ..." % (
        ", ".join(map(str, SCALES)), args.scale_rounds, args.scale_runs), flush=True)
    results["startup_scales"] = measure_scales(args.scale_runs, args.scale_rounds)
    results["scales_table"] = scales_table(results["startup_scales"])
    results["size"] = {"bytes": os.path.getsize(launcher), "imports": imports(launcher)}


def write(results, build):
    """Writes results.json and prints what was measured on which machine."""
    output = os.path.join(build, "bench", "results.json")
    os.makedirs(os.path.dirname(output), exist_ok=True)
    with open(output, "w") as f:
        json.dump(results, f, indent=2)
    m = results["machine"]
    print("\n%s, commit %s, %s build under %s (%s); %d cores (%s), Debian %s, %s; load average (1 min) as each "
          "part began: %s\n" % (
        results["date"], results["commit"], m["architecture"], m["wine_loader"], m["wine"], m["cores"], m["cpu"],
        m["debian"], m["display"],
        ", ".join("%s %.2f" % item for item in results["load_average"].items())))


if __name__ == "__main__":
    try:
        main()
    except (BenchError, AssertionError, harness.HarnessError) as error:
        print("bench failed: %s" % error, file=sys.stderr)
        sys.exit(1)
