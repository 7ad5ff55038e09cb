"""The end-to-end tests' Wine prefix: where things are, the stand-in browser control registered in
place of the platform's, the default browser's capture, and the wineserver serving it."""

import fcntl
import os
import socket
import subprocess

from harness.programs import QUIET, WINE, WINE_ARCH, WINESERVER
from harness.waiting import HarnessError

STANDIN_CLSID = "{3B0CCF32-A83A-428F-9B56-70CC39BC6BC3}"
PROGID = "Shell.Explorer.2"

WINE_DLL_OVERRIDES = "mscoree,mshtml="
# With WINEDEBUG=+relay only these calls are traced: one "Call user32.<name>(" line each on stderr.
RELAYED = "user32.UpdateLayeredWindow;user32.UpdateLayeredWindowIndirect"
# With E2E_WINDOW_MANAGER=openbox a session runs on a display of its own under openbox, and Wine
# manages its windows as on a desktop (Managed=Y): the way a player's windows are treated.
MANAGED = os.environ.get("E2E_WINDOW_MANAGER") == "openbox"
# The display scale of the prefix (E2E_DPI with its own E2E_WINEPREFIX): HKCU\Control Panel\Desktop
# LogPixels, which Wine reads as each process starts. 96 leaves a default prefix as it is.
DPI = int(os.environ.get("E2E_DPI", "96"))


def scaled(edge):
    """A 96-DPI design edge at the prefix's DPI, rounded as the launcher rounds edges (halves up)."""
    return (edge * DPI + 48) // 96


def _env_path(name, default):
    value = os.environ.get(name)
    return os.path.abspath(value if value else default)


class Paths:
    """Where things are, from the environment CTest gives (see README.md)."""

    def __init__(self):
        self.build_dir = _env_path("E2E_BUILD_DIR", os.getcwd())
        here = os.path.join(self.build_dir, "tests", "e2e")
        self.prefix = _env_path("E2E_WINEPREFIX", os.path.join(self.build_dir, "wineprefix-e2e"))
        self.standin_dll = _env_path("E2E_STANDIN_DLL", os.path.join(here, "standin.dll"))
        self.standinctl = _env_path("E2E_STANDINCTL", os.path.join(here, "standinctl.exe"))
        self.standin_host = _env_path("E2E_STANDIN_HOST", os.path.join(here, "standin_host.exe"))
        self.browser_script = _env_path("E2E_BROWSER_SCRIPT", os.path.join(here, "browser-capture.sh"))
        self.screenshots = os.path.join(self.build_dir, "screenshots")
        self.logs = os.path.join(self.build_dir, "e2e-logs")

    def target(self, name):
        """Path of a build target passed with add_e2e_test(... TARGETS name), else <build>/<name>.exe."""
        value = os.environ.get("E2E_TARGET_" + name)
        if value:
            return value
        for candidate in (os.path.join(self.build_dir, name + ".exe"),
                          os.path.join(self.build_dir, "bin", name + ".exe")):
            if os.path.exists(candidate):
                return candidate
        raise HarnessError("no path for target %r: pass it with add_e2e_test(... TARGETS %s)" % (name, name))


def windows_path(unix_path):
    """The Windows form of an absolute Unix path in a Wine prefix (drive Z: is the Unix root)."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")



_BROWSER_SCRIPT = """#!/bin/sh
# Stands in for the default browser in the end-to-end Wine prefix: records each address.
for address in "$@"; do
    printf '%s\\n' "$address" >> "${BROWSER_LOG:-/dev/null}"
done
"""


def wine_environment(paths, winedebug="-all"):
    env = dict(os.environ)
    env.update(WINEPREFIX=paths.prefix, WINEARCH=WINE_ARCH, WINELOADER=WINE, WINEDLLOVERRIDES=WINE_DLL_OVERRIDES,
               WINEDEBUG=winedebug)
    env.pop("WINESERVER", None)
    return env


def _reg_escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def _registration(paths):
    """Registry values the e2e prefix needs: (hive file, key as Wine stores it, value name, data)."""
    clsid_key = "Software\\\\Classes\\\\CLSID\\\\" + STANDIN_CLSID
    return [
        ("system.reg", "Software\\\\Classes\\\\" + PROGID + "\\\\CLSID", "@", STANDIN_CLSID),
        ("system.reg", clsid_key + "\\\\InprocServer32", "@", windows_path(paths.standin_dll)),
        ("system.reg", clsid_key + "\\\\InprocServer32", "\"ThreadingModel\"", "Apartment"),
        ("user.reg", "Software\\\\Wine\\\\WineBrowser", "\"Browsers\"", paths.browser_script),
        ("user.reg", "Software\\\\Wine\\\\X11 Driver", "\"Managed\"", "Y" if MANAGED else "N"),
        ("user.reg", "Software\\\\Wine\\\\Debug", "\"RelayInclude\"", RELAYED),
    ] + ([("user.reg", "Control Panel\\\\Desktop", "\"LogPixels\"", DPI)] if DPI != 96 else [])


def _reg_file(paths):
    dll = _reg_escape(windows_path(paths.standin_dll))
    return "\r\n".join([
        "REGEDIT4",
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\%s\\CLSID]" % PROGID,
        '@="%s"' % STANDIN_CLSID,
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\%s]" % STANDIN_CLSID,
        '@="Stand-in browser control for end-to-end tests"',
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\%s\\InprocServer32]" % STANDIN_CLSID,
        '@="%s"' % dll,
        '"ThreadingModel"="Apartment"',
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\%s\\ProgID]" % STANDIN_CLSID,
        '@="%s"' % PROGID,
        "",
        "[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]",
        '"Browsers"="%s"' % _reg_escape(paths.browser_script),
        "",
        "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]",
        '"Managed"="%s"' % ("Y" if MANAGED else "N"),
        "",
        "[HKEY_CURRENT_USER\\Software\\Wine\\Debug]",
        '"RelayInclude"="%s"' % RELAYED,
        "",
    ] + (["[HKEY_CURRENT_USER\\Control Panel\\Desktop]", '"LogPixels"=dword:%08x' % DPI, ""] if DPI != 96 else [])
      + [""])


def _registry_sections(path):
    """Key (lower case, as escaped in the file) -> list of its value lines, from a Wine hive file."""
    sections = {}
    current = None
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.rstrip("\n")
                if line.startswith("["):
                    current = sections.setdefault(line[1:line.rfind("]")].lower(), [])
                elif current is not None:
                    current.append(line)
    except FileNotFoundError:
        pass
    return sections


def _registered(paths):
    hives = {}
    for hive, key, name, data in _registration(paths):
        if hive not in hives:
            hives[hive] = _registry_sections(os.path.join(paths.prefix, hive))
        expected = '%s=dword:%08x' % (name, data) if isinstance(data, int) else '%s="%s"' % (name, _reg_escape(data))
        if expected.lower() not in (v.lower() for v in hives[hive].get(key.lower(), [])):
            return False
    return True


def _server_socket(prefix):
    st = os.stat(prefix)
    return "/tmp/.wine-%d/server-%x-%x/socket" % (os.getuid(), st.st_dev, st.st_ino)


def server_running(prefix):
    """Whether a wineserver serves the prefix now (its socket accepts a connection); starts nothing."""
    if not os.path.isdir(prefix):
        return False
    path = _server_socket(prefix)
    if not os.path.exists(path):
        return False
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect(path)
        return True
    except OSError:
        return False
    finally:
        probe.close()


def _update_pending(prefix):
    """Whether Wine would run its prefix update (which re-registers its own browser control)."""
    try:
        with open(os.path.join(prefix, ".update-timestamp")) as f:
            stamp = f.read().strip()
    except FileNotFoundError:
        return True
    if stamp == "disable":
        return False
    for inf in ("/usr/share/wine/wine.inf", "/usr/lib/wine/wine.inf"):
        if os.path.exists(inf):
            return stamp != str(int(os.stat(inf).st_mtime))
    return False


def _write_browser_script(paths):
    os.makedirs(os.path.dirname(paths.browser_script), exist_ok=True)
    current = None
    if os.path.exists(paths.browser_script):
        with open(paths.browser_script) as f:
            current = f.read()
    if current != _BROWSER_SCRIPT:
        with open(paths.browser_script, "w") as f:
            f.write(_BROWSER_SCRIPT)
    os.chmod(paths.browser_script, 0o755)


def ensure_prefix(paths=None):
    """Creates the e2e prefix once and (re)registers the stand-in and the browser capture when needed.

    Must run while no wineserver serves the prefix, so that its hive files are current.
    """
    paths = paths or Paths()
    if not os.path.exists(paths.standin_dll):
        raise HarnessError("stand-in not built: %s" % paths.standin_dll)
    _write_browser_script(paths)
    os.makedirs(os.path.dirname(paths.prefix), exist_ok=True)
    env = wine_environment(paths)
    with open(paths.prefix + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if server_running(paths.prefix):
            return
        if not os.path.exists(os.path.join(paths.prefix, "system.reg")):
            subprocess.run([WINE, "wineboot.exe", "-i"], env=env, check=True, timeout=300, **QUIET)
            subprocess.run([WINESERVER, "-w"], env=env, timeout=120, **QUIET)
        elif _update_pending(paths.prefix):
            subprocess.run([WINE, "wineboot.exe", "-u"], env=env, timeout=300, **QUIET)
            subprocess.run([WINESERVER, "-w"], env=env, timeout=120, **QUIET)
        if _registered(paths):
            return
        reg = os.path.join(paths.prefix, "e2e-standin.reg")
        with open(reg, "w", encoding="ascii", newline="") as f:
            f.write(_reg_file(paths))
        subprocess.run([WINE, "reg", "import", windows_path(reg)], env=env, check=True, timeout=120, **QUIET)
        subprocess.run([WINESERVER, "-w"], env=env, timeout=120, **QUIET)
        if not _registered(paths):
            raise HarnessError("registering the stand-in in %s did not take" % paths.prefix)
