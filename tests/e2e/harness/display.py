"""The X display a session runs on: a virtual one (Xvfb) of its own when needed, its taskbar's
work area, the window manager's presence, and the windows the X server maps."""

import os
import select
import subprocess
import threading

from harness.programs import QUIET, kill_group
from harness.waiting import HarnessError

DEFAULT_SCREEN = "1920x1080x24"


def start_xvfb(screen):
    """Starts Xvfb on a display number it finds free itself (-displayfd), which no other session
    starting at the same time can take first; answers (":N", its process)."""
    read_end, write_end = os.pipe()
    try:
        popen = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp",
                                  "-noreset"], pass_fds=(write_end,), start_new_session=True, **QUIET)
        os.close(write_end)
        write_end = None
        with os.fdopen(read_end, "rb") as pipe:
            read_end = None
            # Written once the server listens; at its end without a number it did not start.
            ready, _, _ = select.select([pipe], [], [], 10)
            number = pipe.readline().strip() if ready else b""
    finally:
        for fd in (read_end, write_end):
            if fd is not None:
                os.close(fd)
    if not number:
        kill_group(popen.pid)
        popen.wait(timeout=10)
        raise HarnessError("Xvfb did not start within 10 s (exit code %s)" % popen.returncode)
    return ":%s" % number.decode(), popen


# A player's desktop has a taskbar. Without a window manager to say where one is, the display is
# given a work area that leaves a bar this high at its bottom (Wine reads the root window's
# _NET_WORKAREA). Under Wine a window that covers a whole monitor also has the pointer clipped
# to it through an X grab, which Windows does not do; when it was active as it came to cover the
# monitor, the grab can outlast the full screen, and clicks then reach that window only.
TASKBAR_HEIGHT = 40


def reserve_taskbar():
    """Gives the display a work area above a taskbar, unless something already set one."""
    from Xlib import Xatom, display
    d = display.Display()
    try:
        root = d.screen().root
        if root.get_full_property(d.intern_atom("_NET_WORKAREA"), Xatom.CARDINAL) is None:
            geometry = root.get_geometry()
            root.change_property(d.intern_atom("_NET_WORKAREA"), Xatom.CARDINAL, 32,
                                 [0, 0, geometry.width, geometry.height - TASKBAR_HEIGHT])
            d.sync()
    finally:
        d.close()


def window_manager_running():
    """Whether a window manager has announced itself on the display's root window."""
    from Xlib import Xatom, display
    d = display.Display()
    try:
        return d.screen().root.get_full_property(d.intern_atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW) is not None
    finally:
        d.close()


def work_area():
    """The display's work area as (left, top, right, bottom)."""
    from Xlib import Xatom, display
    d = display.Display()
    try:
        x, y, width, height = d.screen().root.get_full_property(d.intern_atom("_NET_WORKAREA"), Xatom.CARDINAL).value[:4]
        return (x, y, x + width, y + height)
    finally:
        d.close()


class MapWatcher:
    """Records, from the X server, each top-level window as it is mapped, which is when a player
    first sees it: (X window id, x, y, width, height) in order. With Managed=N every top-level
    Wine window is an X window of its own. Use as a with block around what maps the windows."""

    def __init__(self):
        from Xlib import X, display
        self._x = X
        self._display = display.Display()
        self._display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self._display.sync()
        self._geometry = {}
        self._stopped = threading.Event()
        self.maps = []
        self._thread = threading.Thread(target=self._watch, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, kind, value, traceback):
        self._stopped.set()
        self._thread.join(5)
        self._display.close()
        return False

    def _watch(self):
        X = self._x
        while not self._stopped.is_set():
            while self._display.pending_events():
                event = self._display.next_event()
                if event.type in (X.CreateNotify, X.ConfigureNotify):
                    self._geometry[event.window.id] = (event.x, event.y, event.width, event.height)
                elif event.type == X.MapNotify:
                    self.maps.append((event.window.id,) + self._geometry.get(event.window.id, (None,) * 4))
            self._stopped.wait(0.005)
