"""How the harness waits for a condition, and how its own steps fail."""

import time


class HarnessError(Exception):
    pass


def wait_for(condition, timeout=10.0, interval=0.05, what=None):
    """Polls condition() until it returns something truthy and returns that; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s (last: %r)"
                                 % (timeout, what or getattr(condition, "__name__", "condition"), last))
        time.sleep(interval)
