"""Soak: many full cycles (login, game, close, a fresh login) in one process must not make it grow.

Under Wine the handle and GDI counters answer 0, so the measure is the resident size Linux reports
for the process running launcher.exe, sampled each time a fresh login window is in front. A leaked
login surface or skin image alone is 4.5 MB per cycle; the limit is 64 KiB per cycle on average."""

import statistics
import sys
import time

import harness
from cycle import Cycle, game_address

CYCLES = 30
FIRST_MEASURED = 5
WINDOW = 5
LIMIT_KIB_PER_CYCLE = 64


def resident_kib(unix_pid):
    with open("/proc/%d/status" % unix_pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise AssertionError("no VmRSS for process %d" % unix_pid)


def least_squares_slope(points):
    xs = [x for x, _ in points]
    ys = [y for _, y in points]
    mean_x, mean_y = statistics.fmean(xs), statistics.fmean(ys)
    return (sum((x - mean_x) * (y - mean_y) for x, y in points)
            / sum((x - mean_x) ** 2 for x in xs))


def growth_per_cycle(samples):
    """KiB per cycle from cycle FIRST_MEASURED to the last: the change between the medians of the
    first and the last WINDOW samples over the cycles between their middles (robust against the odd
    sample), and the least-squares slope over the same cycles."""
    measured = [(cycle, kib) for cycle, kib in samples if cycle >= FIRST_MEASURED]
    early, late = measured[:WINDOW], measured[-WINDOW:]
    distance = statistics.median(c for c, _ in late) - statistics.median(c for c, _ in early)
    robust = (statistics.median(k for _, k in late) - statistics.median(k for _, k in early)) / distance
    return robust, least_squares_slope(measured)


def main():
    with harness.Session("soak") as s:
        launcher = Cycle(s)
        launcher.wait_login()
        unix_pid = launcher.unix_pid()
        samples = []
        started = time.monotonic()
        for cycle in range(1, CYCLES + 1):
            samples.append((cycle, resident_kib(unix_pid)))
            launcher.log_in(game_address(cycle))
            launcher.close_game()
            print("cycle %2d: %6d KiB resident at the login window, %.1f s in" % (
                cycle, samples[-1][1], time.monotonic() - started), flush=True)
        launcher.close_login()
        code = launcher.wait_exit()

    robust, slope = growth_per_cycle(samples)
    print("growth from cycle %d to %d: %.1f KiB/cycle (medians of %d), %.1f KiB/cycle (least squares); "
          "limit %d KiB/cycle; %.1f s for %d cycles" % (FIRST_MEASURED, CYCLES, robust, WINDOW, slope,
                                                        LIMIT_KIB_PER_CYCLE, time.monotonic() - started, CYCLES))
    failures = []
    if robust > LIMIT_KIB_PER_CYCLE:
        failures.append("the process grew by %.1f KiB per cycle" % robust)
    if code != 0:
        failures.append("exit code %d" % code)
    for failure in failures:
        print("FAIL " + failure, flush=True)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
