"""The release: installer/pack's installers, uninstaller, zips and sums under Wine, a package signed
with a throwaway certificate, and scripts/package on a copy of the sources elsewhere. The installer
run is the one of this build's architecture; the packs hold both architectures' builds, which the
scripts lay side by side as <build root>/x86 and <build root>/x64."""

import os
import pwd
import re
import shutil
import struct
import subprocess
import zipfile

import harness
from harness import wait_for

SOURCE, VERSION, PRODUCT, PUBLISHER, FOLDER_NAME, EXE_NAME, ARCH = (os.environ["LAUNCHER_" + name] for name in (
    "SOURCE_DIR", "VERSION", "PRODUCT_NAME", "PUBLISHER", "INSTALL_FOLDER", "EXE_NAME", "ARCH"))
ARCHES = ("x86", "x64")
OLD = "0.9.0"
UNINSTALL = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
FEATURES = ["HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_" + name
            for name in ("GPU_RENDERING", "BROWSER_EMULATION")]
paths = harness.Paths()
work, built = os.path.dirname(paths.prefix), paths.target("launcher")
TREES = [os.path.join(os.path.dirname(paths.build_dir), arch) for arch in ARCHES]
CERT, KEY = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
user, drive = pwd.getpwuid(os.getuid()).pw_name, os.path.join(paths.prefix, "drive_c")
FOLDER = "C:\\users\\%s\\AppData\\Local\\Programs\\%s" % (user, FOLDER_NAME)
EXE = FOLDER + "\\" + EXE_NAME
SHORTCUTS = [os.path.join(drive, "users", user, *where, PRODUCT + ".lnk") for where in
             (("AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs"), ("Desktop",))]
epoch = subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], check=True, capture_output=True,
                       text=True).stdout.strip()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def unix(windows_path):
    return os.path.join(drive, *windows_path[3:].split("\\"))


def dist(folder, kind="setup.exe", version=VERSION, arch=ARCH):
    return os.path.join(work, folder, "launcher-%s-%s-%s" % (version, arch, kind))


def pack(out, builds, **env):
    return subprocess.run([os.path.join(SOURCE, "installer", "pack"), os.path.join(work, out)] + builds, check=True,
                          capture_output=True, text=True, env=dict(os.environ, SOURCE_DATE_EPOCH=epoch, **env)).stdout


def zipped(path):
    with zipfile.ZipFile(path) as portable:
        assert portable.namelist() == [EXE_NAME]
        return portable.read(EXE_NAME)


def version_block_agrees(path):
    """VERSION.0 in the fixed part of the executable's version block, and its strings."""
    major, minor, patch = map(int, VERSION.split("."))
    data = read(path)
    fixed = data.index(struct.pack("<I", 0xFEEF04BD)) + 8
    strings = {"CompanyName": PUBLISHER, "ProductName": PRODUCT, "FileVersion": VERSION, "ProductVersion": VERSION}
    u16 = lambda text: re.escape(text.encode("utf-16-le"))
    return (struct.unpack_from("<4I", data, fixed) == (major << 16 | minor, patch << 16) * 2 and
            all(re.search(u16(key) + b"\0\0(\0\0)?" + u16(value) + b"\0\0", data) for key, value in strings.items()))


def install(s, setup, *args):
    return s.run(setup, "/S", *args, timeout=60)[0]


def entries(s):
    """The uninstall entries with the product's DisplayName, as {value name: data}."""
    found, current = [], {}
    for line in s.run("reg", "query", UNINSTALL, "/s")[1].splitlines() + [""]:
        if line.startswith("    "):
            name, kind, data = line.strip().split("    ", 2)
            current[name] = int(data, 16) if kind == "REG_DWORD" else data
        else:
            found, current = found + [current] * (current.get("DisplayName") == PRODUCT), {}
    return found


def feature_values(s):
    """The browser control's values for the installed executable's name, [] when there are none."""
    found = [s.run("reg", "query", key, "/v", EXE_NAME) for key in FEATURES]
    return [int(out.split()[-1], 16) for code, out, _ in found if code == 0]


def files():
    """Paths on the prefix's C: drive but in the temporary folder, where the uninstaller's copy of
    itself stays until the next restart."""
    temp = os.path.join(drive, "users", user, "Temp")
    return {os.path.join(d, n) for d, dirs, names in os.walk(drive) if not d.startswith(temp) for n in dirs + names}


def check_versions_and_sums(s):
    assert version_block_agrees(built) and version_block_agrees(dist("a"))
    assert b'name="Launcher" version="%s.0"' % VERSION.encode() in read(built)
    subprocess.run(["sha256sum", "--quiet", "--strict", "-c", "SHA256SUMS"], cwd=os.path.join(work, "a"), check=True)
    summed = sorted(line.split()[1] for line in read(os.path.join(work, "a", "SHA256SUMS")).decode().splitlines())
    assert summed == sorted(os.path.basename(dist("a", kind, arch=arch)) for arch in ARCHES
                            for kind in ("setup.exe", "portable.zip")), summed
    for arch, tree in zip(ARCHES, TREES):
        assert zipped(dist("a", "portable.zip", arch=arch)) == read(os.path.join(tree, "launcher.exe")), arch
        # The installer is a program of the launcher's architecture: PE32 for x86, PE32+ for x64.
        setup = read(dist("a", arch=arch))
        pe = struct.unpack_from("<I", setup, 0x3C)[0]
        assert setup[pe:pe + 4] == b"PE\0\0" and struct.unpack_from("<H", setup, pe + 24)[0] == (
            0x20B if arch == "x64" else 0x10B), arch


def check_install_refuse_uninstall_upgrade(s):
    before = files()
    installed = lambda: (sorted(os.listdir(unix(FOLDER))), read(unix(EXE)))
    assert install(s, dist("a")) == 0 and installed() == (sorted([EXE_NAME, "uninstall.exe"]), read(built))
    assert all(EXE.encode() in read(shortcut) for shortcut in SHORTCUTS)
    size = sum(os.path.getsize(os.path.join(unix(FOLDER), name)) for name in os.listdir(unix(FOLDER)))
    assert entries(s) == [{
        "DisplayName": PRODUCT, "DisplayVersion": VERSION, "Publisher": PUBLISHER, "DisplayIcon": EXE + ",0",
        "UninstallString": '"%s\\uninstall.exe"' % FOLDER, "QuietUninstallString": '"%s\\uninstall.exe" /S' % FOLDER,
        "InstallLocation": FOLDER, "EstimatedSize": size // 1024, "NoModify": 1, "NoRepair": 1}], entries(s)

    launcher = s.start(unix(EXE))
    s.wait_window({"class": "LoginerWind", "visible": True}, timeout=20)
    # Written by the launcher before its first page, for its own file name; the uninstaller removes them.
    assert feature_values(s) == [1, int(os.environ["LAUNCHER_BROWSER_EMULATION"])], feature_values(s)
    state = lambda: (installed(), os.stat(unix(EXE)).st_mtime_ns, entries(s), files())
    running = state()
    code = install(s, dist("old", version=OLD))  # it would write another launcher
    assert code != 0 and state() == running, code
    # In place (_?=, unquoted), so that the uninstaller's own exit code comes back.
    script = os.path.join(work, "uninstall-in-place.bat")
    with open(script, "w", newline="\r\n") as f:
        f.write('"%s\\uninstall.exe" /S _?=%s\nexit /b %%errorlevel%%\n' % (FOLDER, FOLDER))
    code = s.run("cmd", "/c", harness.windows_path(script))[0]
    assert code != 0 and state() == running, code
    launcher.kill()
    wait_for(lambda: not s.find_windows({"class": "LoginerWind"}), 10, what="the launcher gone")

    # As Windows runs it: the uninstaller starts a copy of itself and returns at once.
    assert s.run(FOLDER + "\\uninstall.exe", "/S")[0] == 0
    wait_for(lambda: not os.path.exists(unix(FOLDER)) and not entries(s), 30, what="the product uninstalled")
    assert not any(map(os.path.exists, SHORTCUTS)) and feature_values(s) == []
    # Only the folder of per-user programs stays: it is the system's.
    assert files() == before | {os.path.dirname(unix(FOLDER))}, sorted(files() ^ before)

    assert install(s, dist("old", version=OLD)) == 0 and entries(s)[0]["DisplayVersion"] == OLD
    # As an earlier release installed it, under a name of its own: the upgrade takes it away.
    earlier = FOLDER + "\\launcher.exe"
    shutil.copyfile(built, unix(earlier))
    s.run("reg", "add", UNINSTALL + "\\" + PRODUCT, "/v", "DisplayIcon", "/d", earlier + ",0", "/f")
    assert install(s, dist("a")) == 0 and [entry["DisplayVersion"] for entry in entries(s)] == [VERSION]
    assert installed() == (sorted([EXE_NAME, "uninstall.exe"]), read(built))


def check_signed_package(s):
    assert install(s, dist("signed"), "/D=C:\\Signed") == 0
    assert entries(s)[0]["InstallLocation"] == "C:\\Signed" and not os.path.exists(unix(FOLDER)), entries(s)
    unpacked = []
    for arch in ARCHES:
        unpacked.append(os.path.join(work, "signed", "launcher-%s.exe" % arch))
        with open(unpacked[-1], "wb") as f:
            f.write(zipped(dist("signed", "portable.zip", arch=arch)))
    for path in [dist("signed", arch=arch) for arch in ARCHES] + unpacked + [
            unix("C:\\Signed\\" + EXE_NAME), unix("C:\\Signed\\uninstall.exe")]:
        result = subprocess.run(["osslsigncode", "verify", "-CAfile", CERT, "-in", path], capture_output=True, text=True)
        assert result.returncode == 0 and "Message digest algorithm  : SHA256" in result.stdout, (path, result.stdout)


def check_another_folder_gives_the_same_bytes(s):
    assert elsewhere.wait() == 0, read(os.path.join(work, "elsewhere.log")).decode()
    copy = os.path.join(work, "copy")
    for arch, tree in zip(ARCHES, TREES):
        assert read(os.path.join(copy, "build", arch, "launcher.exe")) == read(os.path.join(tree, "launcher.exe")), arch
    assert len(os.listdir(os.path.join(work, "a"))) == 5
    for name in os.listdir(os.path.join(work, "a")):
        assert read(os.path.join(copy, "dist", name)) == read(os.path.join(work, "a", name)), name


shutil.rmtree(work, ignore_errors=True)
os.makedirs(os.path.join(work, "older", "release"))
os.makedirs(os.environ["HOME"])
assert pack("a", TREES).startswith("Unsigned package")
# The older release packs a launcher.exe of its own.
with open(os.path.join(work, "older", "launcher.exe"), "wb") as f:
    f.write(read(built) + b"an older launcher")
with open(os.path.join(work, "older", "release", "release.env"), "w") as f:
    f.write(read(os.path.join(paths.build_dir, "release", "release.env")).decode().replace(VERSION, OLD))
pack("old", [os.path.join(work, "older")])
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Throwaway",
                "-addext", "extendedKeyUsage=codeSigning", "-keyout", KEY, "-out", CERT], check=True, capture_output=True)
assert "Unsigned" not in pack("signed", TREES, SIGN_CERT=CERT, SIGN_KEY=KEY)
copy = os.path.join(work, "copy")
os.makedirs(copy)
subprocess.run("git ls-files -z -co --exclude-standard | xargs -0 cp -a --parents -t '%s'" % copy, shell=True,
               cwd=SOURCE, check=True)
with open(os.path.join(work, "elsewhere.log"), "wb") as log:
    elsewhere = subprocess.Popen([os.path.join(copy, "scripts", "package")], stdin=subprocess.DEVNULL, stdout=log,
                                 stderr=subprocess.STDOUT, start_new_session=True,
                                 env=dict(os.environ, SOURCE_DATE_EPOCH=epoch, CMAKE_BUILD_PARALLEL_LEVEL="2",
                                          BUILD_DIR=os.path.join(copy, "build")))
try:
    harness.run_checks("package", [check_versions_and_sums, check_install_refuse_uninstall_upgrade,
                                   check_signed_package, check_another_folder_gives_the_same_bytes],
                       after_each=lambda s: s.end_programs())
finally:
    if elsewhere.poll() is None:
        os.killpg(elsewhere.pid, 9)
