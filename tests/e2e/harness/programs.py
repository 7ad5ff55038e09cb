"""Windows programs under Wine's loader, each in a process group of its own, and the watchdog that
ends them when the test process dies without cleaning up."""

import os
import signal
import subprocess

# The loader of the build's architecture (CMake and the scripts set WINELOADER and WINEARCH); never
# the `wine` wrapper, which picks the 32-bit loader wherever one is installed, runnable or not.
WINE = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")
WINE_ARCH = os.environ.get("WINEARCH", "win64")
WINESERVER = "/usr/lib/wine/wineserver"

QUIET = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}


def kill_group(pid):
    try:
        os.killpg(pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


class Program:
    """A Windows program started with the Wine loader in its own process group."""

    def __init__(self, name, popen, stdout_path, stderr_path):
        self.name = name
        self.popen = popen
        self.pid = popen.pid
        self.stdout_path = stdout_path
        self.stderr_path = stderr_path

    @property
    def running(self):
        return self.popen.poll() is None

    @property
    def returncode(self):
        return self.popen.poll()

    def wait(self, timeout=10.0):
        """Waits for the exit and answers the exit code (Wine passes the Windows code, modulo 256)."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("%s still running after %.1f s" % (self.name, timeout)) from None

    @property
    def never_started(self):
        """Ended with 1 having written nothing: Wine did not start it (as Session.ctl tells of standinctl)."""
        return self.returncode == 1 and not self.output() and not self.errors()

    def output(self):
        with open(self.stdout_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def errors(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def lines(self):
        return self.output().splitlines()

    def kill(self):
        if self.running:
            kill_group(self.pid)
        try:
            self.popen.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass


class Watchdog:
    """A detached process that ends what a session started if the test process dies without
    cleaning up (CTest ends a test that times out with SIGKILL, which no handler sees).

    The session tells it, over a pipe, each process group, its Xvfb and its wineserver's
    prefix; when the pipe closes without 'done', it kills them."""

    def __init__(self):
        read_fd, self._write_fd = os.pipe()
        child = os.fork()
        if child == 0:
            os.close(self._write_fd)
            self._serve(read_fd)
        os.close(read_fd)
        os.waitpid(child, 0)

    @staticmethod
    def _serve(read_fd):
        try:
            os.setsid()
            if os.fork() != 0:
                os._exit(0)
            null = os.open(os.devnull, os.O_RDWR)
            for fd in (0, 1, 2):
                os.dup2(null, fd)
            os.closerange(3, read_fd)
            os.closerange(read_fd + 1, 1 << 16)
            groups, prefixes, done = [], [], False
            with os.fdopen(read_fd, "r") as orders:
                for line in orders:
                    kind, _, value = line.strip().partition(" ")
                    if kind == "group":
                        groups.append(int(value))
                    elif kind == "server":
                        prefixes.append(value)
                    elif kind == "done":
                        done = True
            if not done:
                for group in groups:
                    kill_group(group)
                for prefix in prefixes:
                    env = dict(os.environ, WINEPREFIX=prefix)
                    subprocess.run([WINESERVER, "-k"], env=env, timeout=30, **QUIET)
        finally:
            os._exit(0)

    def tell(self, kind, value=""):
        if self._write_fd is not None:
            os.write(self._write_fd, ("%s %s\n" % (kind, value)).encode())

    def dismiss(self):
        if self._write_fd is not None:
            self.tell("done")
            os.close(self._write_fd)
            self._write_fd = None
