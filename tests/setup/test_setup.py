"""scripts/setup's decisions on a registry that is being synced, with stand-ins for apt-get, dpkg
and dpkg-query first on PATH: what it installs and names, when it fails, and what the scripts then
decide about the 32-bit build (lib.sh's x86_skip_reason, which scripts/test prints)."""

import os
import subprocess
import sys
import tempfile

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
HALF_SYNCED = ("E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/"
               "Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]\n"
               "E: Some index files failed to download. They have been ignored, or old ones used instead.\n")
# $FAKE/installed: the installed packages; unmet, unknown: those apt cannot install and why;
# update.err: what a failing update prints; calls: apt-get's arguments, a line a call.
STANDINS = {
    "apt-get": r"""echo "$*" >>"$FAKE/calls"
if [ "$1" = update ]; then [ -f "$FAKE/update.err" ] || exit 0; cat "$FAKE/update.err" >&2; exit 100; fi
packages=$(printf '%s\n' "$@" | grep -vx -e install -e '-.*')
for p in $packages; do
  if grep -qx "$p" "$FAKE/unmet"; then
    printf 'The following packages have unmet dependencies:\n %s : Depends: libz (= 1) but 2 is to be installed\n' "$p"
    echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100
  elif grep -qx "$p" "$FAKE/unknown"; then echo "E: Unable to locate package $p" >&2; exit 100; fi
done
printf '%s\n' $packages >>"$FAKE/installed" """,
    "dpkg-query": r"""grep -qx "${!#}" "$FAKE/installed" && echo -n "install ok installed" """,
    "dpkg": r"""[ "$1" = --print-foreign-architectures ] && echo i386; exit 0""",
    "sudo": r"""exec "$@" """,
}


class Machine:
    """A machine of stand-ins; runs_32bit says whether it runs 32-bit code."""

    def __init__(self, root, runs_32bit=True, unmet=(), unknown=(), update_err=None):
        self.fake, self.build = os.path.join(root, "fake"), os.path.join(root, "build")
        os.makedirs(self.fake)
        for name, body in STANDINS.items():
            with open(os.path.join(self.fake, name), "w") as f:
                f.write("#!/usr/bin/env bash\n" + body + "\n")
            os.chmod(os.path.join(self.fake, name), 0o755)
        for name, lines in (("installed", ()), ("unmet", unmet), ("unknown", unknown), ("calls", ())):
            self.write(name, "".join(p + "\n" for p in lines))
        if update_err:
            self.write("update.err", update_err)
        self.env = dict(os.environ, PATH=self.fake + ":" + os.environ["PATH"], FAKE=self.fake, BUILD_DIR=self.build,
                        RUNS_32BIT_CODE="yes" if runs_32bit else "no", APT_RETRY_PAUSE="0")

    def write(self, name, text):
        with open(os.path.join(self.fake, name), "w") as f:
            f.write(text)

    def lines(self, name):
        with open(os.path.join(self.fake, name)) as f:
            return f.read().splitlines()

    def setup(self):
        self.run = subprocess.run([os.path.join(SCRIPTS, "setup")], env=self.env, capture_output=True, text=True)
        return self.run

    def setup_again(self):
        """Set-up once more, with apt-get's calls counted afresh."""
        self.write("calls", "")
        return self.setup()

    def decision(self):
        script = 'source "%s/lib.sh"; echo "$(x86_skip_reason)|$(runnable_arch)"' % SCRIPTS
        return subprocess.run(["bash", "-c", script], env=self.env, capture_output=True, text=True,
                              check=True).stdout.strip()

    def check(self, condition, what):
        """Fails with what did not hold, and what the last set-up printed and did."""
        if not condition:
            raise AssertionError("%s\nstderr: %s\ncalls: %s\ninstalled: %s\ndecision: %s" % (
                what, self.run.stderr, self.lines("calls"), self.lines("installed"), self.decision()))


def case_half_synced_index_and_wine32_with_unmet_dependencies(root):
    m = Machine(root, unmet=["wine32:i386"], update_err=HALF_SYNCED)
    m.setup()
    m.check(m.run.returncode == 0, "set-up goes on")
    m.check("bookworm-security/main/binary-i386/Packages.xz: File has unexpected size (374820 != 376004). Mirror sync"
            " in progress?\n" in m.run.stderr and "IP:" not in m.run.stderr, "names the failed index, shortened")
    m.check("wine32:i386: unmet dependencies" in m.run.stderr, "names why 32-bit Wine is missing")
    m.check(m.lines("calls").count("update -qq") == 3, "tries the update three times")
    m.check("wine64" in m.lines("installed") and "nsis" in m.lines("installed"), "installs the rest")
    m.check(m.decision() == "32-bit Wine could not be installed (wine32:i386: unmet dependencies)|x64",
            "the scripts skip the 32-bit tests and run the 64-bit build")
    m.check(m.setup_again().returncode == 0 and m.lines("calls") == [], "not tried again within the hour")
    # An hour later the registry is whole again: set-up installs it and the 32-bit build runs.
    os.utime(os.path.join(m.build, "setup-wine32.txt"), (0, 0))
    m.write("unmet", "")
    os.remove(os.path.join(m.fake, "update.err"))
    m.check(m.setup().returncode == 0 and m.decision() == "|x86", "32-bit Wine installed later")


def case_a_needed_package_that_cannot_be_installed_fails_naming_it(root):
    m = Machine(root, unknown=["nsis"])
    m.check(m.setup().returncode != 0, "set-up fails")
    m.check("setup: nsis cannot be installed: Unable to locate package nsis" in m.run.stderr, "names it")
    m.check("zip" in m.lines("installed") and "wine32:i386" not in m.lines("installed"), "nothing else is held back")


def case_64bit_only_machine_then_nothing_more_to_do(root):
    m = Machine(root, runs_32bit=False)
    m.check(m.setup().returncode == 0 and "wine32:i386" not in m.lines("installed"), "no 32-bit Wine asked for")
    m.check(m.setup_again().returncode == 0 and m.lines("calls") == [], "no apt-get call when all is there")
    m.check(m.decision() == "this machine runs 64-bit code only|x64", "64-bit code only")


def main():
    cases = [(name, f) for name, f in sorted(globals().items()) if name.startswith("case_")]
    failed = 0
    for name, case in cases:
        with tempfile.TemporaryDirectory() as root:
            try:
                case(root)
                print("ok   " + name)
            except AssertionError as e:
                failed += 1
                print("FAIL %s: %s" % (name, e))
    print("%d passed, %d failed" % (len(cases) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
