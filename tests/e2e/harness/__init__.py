"""The harness of the end-to-end tests: a Wine prefix with the stand-in
browser control registered, programs started under Wine on a display, the
stand-in's control tool, logs, screenshots and real input through xdotool.

Standard library only (PIL is used for pixels when installed). Every process
the harness starts is ended by its id when the session closes, also when a
test fails or the test process is interrupted.
"""

import sys
import time

from harness.display import TASKBAR_HEIGHT, MapWatcher, work_area
from harness.prefix import DPI, RELAYED, STANDIN_CLSID, WINE_DLL_OVERRIDES, Paths, scaled, windows_path
from harness.programs import WINE, WINE_ARCH, Program
from harness.records import LogEntry, parse_record
from harness.screen import (STANDIN_BACKGROUND, STANDIN_FRAME, STANDIN_FRAME_FOCUSED, STANDIN_TEXT, Screenshot,
                            colour_close)
from harness.session import Session
from harness.waiting import HarnessError, wait_for

__all__ = ["DPI", "RELAYED", "STANDIN_BACKGROUND", "STANDIN_CLSID", "STANDIN_FRAME", "STANDIN_FRAME_FOCUSED",
           "STANDIN_TEXT", "TASKBAR_HEIGHT", "WINE", "WINE_ARCH", "WINE_DLL_OVERRIDES", "HarnessError", "LogEntry",
           "MapWatcher", "Paths", "Program", "Screenshot", "Session", "colour_close", "parse_record", "run_checks",
           "scaled", "wait_for", "windows_path", "work_area"]


def run_checks(name, checks=None, winedebug="-all", after_each=None):
    """Runs check functions, each given the session, in one session; prints one line per check and
    '<passed> passed, <failed> failed' at the end; exits non-zero when any failed. Without checks, the
    check_* functions of the script run, in the order they are written there.
    after_each(session), when given, runs after every check, e.g. to end what a failed check left."""
    if checks is None:
        script = sys.modules["__main__"]
        checks = [f for n, f in vars(script).items()
                  if n.startswith("check_") and callable(f) and f.__module__ == "__main__"]
    passed = failed = 0
    with Session(name, winedebug=winedebug) as session:
        for check in checks:
            started = time.monotonic()
            try:
                check(session)
                if after_each is not None:
                    after_each(session)
            except Exception as error:  # a failed check must not stop the others
                failed += 1
                print("FAIL %s (%.1f s): %s: %s" % (check.__name__, time.monotonic() - started,
                                                     type(error).__name__, error), flush=True)
                if after_each is not None:
                    try:
                        after_each(session)
                    except Exception as cleanup_error:
                        print("     clean-up after it failed too: %s" % cleanup_error, flush=True)
            else:
                passed += 1
                print("ok   %s (%.1f s)" % (check.__name__, time.monotonic() - started), flush=True)
    print("%d passed, %d failed" % (passed, failed), flush=True)
    sys.exit(1 if failed else 0)
