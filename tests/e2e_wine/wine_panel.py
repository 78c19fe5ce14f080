"""The Windows panel under Wine: which build and Wine to use, the prefix
and its COM1 wiring, a private X display, the driver program, and the far
ends of the line (a pty pair, or tools/virtual_line)."""

import os
import re
import select
import shutil
import subprocess
import time
import tty

WINE_DIR = "/usr/lib/wine"
WINESERVER = os.path.join(WINE_DIR, "wineserver")
PORTS_KEY = r"HKLM\Software\Wine\Ports"
FONT_REPLACEMENTS_KEY = r"HKCU\Software\Wine\Fonts\Replacements"
# The dialog font of the template, and the installed face that stands in.
DIALOG_FONT = "ＭＳ Ｐゴシック"
DIALOG_FONT_STAND_IN = "IPAPGothic"
LOCALE = "ja_JP.UTF-8"
# Status texts travel through the ANSI API, in the panel's code page.
ANSI_CODE_PAGE = "cp932"
WAIT_S = 20.0
POLL_S = 0.02
# Wine drops a Ports value longer than this (in bytes of the Unix code page)
# and gives COM1 to the host's first serial port instead.
MAX_PORT_PATH_BYTES = 255
# The kernel's console devices, e.g. ttyS0 on a VM.
CONSOLES = "/sys/class/tty/console/active"


class HarnessError(Exception):
    pass


def wait_until(condition, what, timeout=WAIT_S):
    """Polls condition until it returns something true; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise HarnessError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL_S)


def wait_for_value(read, expected, describe=repr, timeout=WAIT_S):
    """Polls read() until it returns expected; the failure names the last value."""
    seen = []

    def matches():
        seen[:] = [read()]
        return seen[0] == expected
    try:
        wait_until(matches, describe(expected), timeout)
    except HarnessError:
        raise HarnessError(f"got {describe(seen[0])} where {describe(expected)} was awaited"
                           f" for {timeout:.0f} s") from None


def is_console(device):
    """Whether device is (a link to) one of the kernel's console devices."""
    try:
        with open(CONSOLES) as active:
            consoles = ["/dev/" + name for name in active.read().split()]
        device_id = os.stat(device).st_rdev
    except OSError:
        return False
    return any(os.path.exists(console) and os.stat(console).st_rdev == device_id
               for console in consoles)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WineBuild:
    """One Windows build (testpanel.exe and panel_driver.exe) and the Wine
    loader that can run it on this host."""

    def __init__(self, arch, build_dir):
        self.arch = arch
        self.panel_exe = os.path.join(build_dir, "testpanel", "testpanel.exe")
        self.driver_exe = os.path.join(build_dir, "tests", "e2e_wine", "panel_driver.exe")
        if arch == "i686":
            self.loader, self.winearch = os.path.join(WINE_DIR, "wine"), "win32"
        else:
            self.loader, self.winearch = os.path.join(WINE_DIR, "wine64"), "win64"

    def describe(self):
        return f"{self.arch} build ({self.panel_exe}) under {self.loader}, WINEARCH={self.winearch}"


def host_runs_32bit_wine():
    try:
        probe = subprocess.run([os.path.join(WINE_DIR, "wine"), "--version"],
                               capture_output=True, timeout=30)
    except OSError:
        return False
    return probe.returncode == 0


def choose_build(build_dirs):
    """The i686 product when 32-bit Wine runs here, else the x86_64 build of
    the same sources under wine64. build_dirs maps arch to build dir."""
    order = ["i686", "x86_64"] if host_runs_32bit_wine() else ["x86_64"]
    for arch in order:
        if build_dirs.get(arch):
            build = WineBuild(arch, build_dirs[arch])
            if os.path.exists(build.panel_exe) and os.path.exists(build.driver_exe):
                return build
    raise HarnessError(f"no runnable Windows build among {build_dirs} (tried {order})")


class WinePrefix:
    """A private prefix; COM1 is wired through the Ports key, which Wine
    reads when its server starts, so the server is restarted to apply it.
    Wine gives the host's serial ports (here /dev/ttyS0, the VM's console)
    the COM numbers the key leaves free, COM1 first: COM1, the panel's port,
    must always be given, and be given something that Wine takes."""

    def __init__(self, build, directory):
        self.build = build
        self.directory = os.path.abspath(directory)
        self.env = dict(os.environ, WINEPREFIX=self.directory, WINEARCH=build.winearch,
                        WINELOADER=build.loader, WINEDEBUG="-all", LANG=LOCALE,
                        LC_ALL=LOCALE, WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)

    def _wine(self, *arguments):
        result = subprocess.run([self.build.loader, *arguments], env=self.env,
                                capture_output=True, timeout=120)
        if result.returncode != 0:
            raise HarnessError(f"wine {' '.join(arguments)} failed ({result.returncode})")

    def create(self):
        """A fresh prefix with the dialog font mapped to an installed face,
        and COM1 mapped to nothing until a session wires it."""
        self.stop_server()
        shutil.rmtree(self.directory, ignore_errors=True)
        self._wine("wineboot", "--init")
        self._wine("reg", "add", FONT_REPLACEMENTS_KEY, "/v", DIALOG_FONT,
                   "/d", DIALOG_FONT_STAND_IN, "/f")
        self._wine("reg", "add", PORTS_KEY, "/v", "COM1", "/d", "", "/f")
        self.stop_server()
        # The first start linked COM1 to a host port; the next would unlink it.
        if os.path.islink(self._com1_link()):
            os.remove(self._com1_link())

    def exists(self):
        return os.path.exists(os.path.join(self.directory, "system.reg"))

    def stop_server(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True, timeout=60)
        subprocess.run([WINESERVER, "-w"], env=self.env, capture_output=True, timeout=60)

    def wire_com1(self, device):
        """COM1 becomes device from the next server start on."""
        if len(os.fsencode(device)) > MAX_PORT_PATH_BYTES:
            raise HarnessError(f"{device} is longer than the {MAX_PORT_PATH_BYTES} bytes"
                               " Wine takes for a port")
        if is_console(device):
            raise HarnessError(f"{device} is this machine's console")
        self.stop_server()
        self._wine("reg", "add", PORTS_KEY, "/v", "COM1", "/d", device, "/f")
        self.stop_server()

    def _com1_link(self):
        return os.path.join(self.directory, "dosdevices", "com1")

    def com1_target(self):
        try:
            return os.readlink(self._com1_link())
        except OSError:
            return None

    def check_com1(self, device):
        """Waits for a started server to link COM1 to device, as the last
        guard before the panel can open it."""
        wait_until(lambda: self.com1_target() == device,
                   f"dosdevices/com1 -> {device} (is {self.com1_target()})")


class Display:
    """A private Xvfb; the server picks a free display number itself."""

    def __init__(self):
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ready, _, _ = select.select([self.process.stdout], [], [], WAIT_S)
        number = self.process.stdout.readline().decode().strip() if ready else ""
        if not number:
            self.close()
            raise HarnessError("Xvfb did not start")
        self.name = ":" + number

    def env(self, base):
        return dict(base, DISPLAY=self.name)

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=30)


class Driver:
    """tests/e2e_wine/driver running under Wine: one command, one reply line."""

    def __init__(self, prefix, display):
        self.process = subprocess.Popen(
            [prefix.build.loader, prefix.build.driver_exe], env=display.env(prefix.env),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self._pending = b""
        self._expect_ok(self._read_line(), "ready", "driver start")

    def _read_line(self):
        deadline = time.monotonic() + WAIT_S * 2
        while b"\n" not in self._pending:
            left = deadline - time.monotonic()
            ready, _, _ = select.select([self.process.stdout], [], [], max(left, 0))
            chunk = os.read(self.process.stdout.fileno(), 4096) if ready else b""
            if not chunk:
                raise HarnessError("driver gave no answer" if left > 0 else "driver timed out")
            self._pending += chunk
        line, self._pending = self._pending.split(b"\n", 1)
        return line.decode("utf-8", "replace").rstrip("\r")

    @staticmethod
    def _expect_ok(reply, prefix, what):
        if not reply.startswith(prefix):
            raise HarnessError(f"{what}: driver said '{reply}'")
        return reply[len(prefix):].strip()

    def ask(self, command):
        """Sends command; returns what follows 'ok', raises on 'error'."""
        self.process.stdin.write((command + "\n").encode("utf-8"))
        self.process.stdin.flush()
        return self._expect_ok(self._read_line(), "ok", command)

    def status_bytes(self):
        return bytes.fromhex(self.ask("status").split(" ", 1)[0].replace("-", ""))

    def client_rect(self):
        return tuple(int(value) for value in self.ask("client-rect").split())

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.flush()
            except BrokenPipeError:
                pass
            try:
                self.process.wait(timeout=WAIT_S)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class FarEnd:
    """What arrived at the far end of the line, collected as it comes."""

    received = b""

    def _collect(self, timeout):
        raise NotImplementedError

    def wait_for_total(self, total):
        """Waits until total bytes have arrived since the line was made,
        then takes in whatever else is already there, so that extra bytes
        show up in the result."""
        def arrived():
            self._collect(POLL_S)
            return len(self.received) >= total
        wait_until(arrived, f"{total} bytes on the line (have {self.received!r})")
        while self._collect(0):
            pass
        return self.received


class PtyLine(FarEnd):
    """The far end as a pty pair in this process; the slave is raw and held
    open so that the panel's close and reopen never hang up the line."""

    def __init__(self):
        self.master, self._slave = os.openpty()
        tty.setraw(self._slave)
        self.path = os.ttyname(self._slave)

    def _collect(self, timeout):
        ready, _, _ = select.select([self.master], [], [], timeout)
        if ready:
            self.received += os.read(self.master, 4096)
        return bool(ready)

    def close(self):
        os.close(self._slave)
        os.close(self.master)


class VirtualLine(FarEnd):
    """tools/virtual_line as the far end, read back through its hex lines."""

    HEX_LINE = re.compile(r"^((?:[0-9a-f]{2} ?)+)  ")

    def __init__(self, program, directory, echo=False):
        """echo: its hex lines go to this process's stdout instead, for a
        person to read; nothing is collected then."""
        path_file = os.path.join(directory, "virtual_line.path")
        if os.path.exists(path_file):
            os.remove(path_file)
        self.process = subprocess.Popen([program, "--path-file", path_file],
                                        stdout=None if echo else subprocess.PIPE)
        self.path = wait_until(lambda: self._read_path(path_file),
                               "virtual_line to give its slave path")
        self._pending = b""

    @staticmethod
    def _read_path(path_file):
        if not os.path.exists(path_file):
            return None
        with open(path_file) as text:
            return text.read().strip()

    def _collect(self, timeout):
        ready, _, _ = select.select([self.process.stdout], [], [], timeout)
        if ready:
            self._pending += os.read(self.process.stdout.fileno(), 4096)
        *lines, self._pending = self._pending.split(b"\n")
        for line in lines:
            match = self.HEX_LINE.match(line.decode())
            if not match:
                raise HarnessError(f"virtual_line printed '{line.decode()}'")
            self.received += bytes.fromhex(match.group(1))
        return bool(ready)

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=WAIT_S)


class PanelSession:
    """One run of the panel: COM1 wired to com1_device, a fresh display and
    server, the driver started and the panel window up."""

    def __init__(self, prefix, com1_device):
        self.prefix = prefix
        prefix.wire_com1(com1_device)
        self.display = Display()
        self.driver = None
        try:
            self.driver = Driver(prefix, self.display)
            self.driver.ask("start " + windows_path(prefix.build.panel_exe))
            prefix.check_com1(com1_device)
        except BaseException:
            self.close()
            raise

    def x_window(self):
        """The panel's X window id, as xdotool finds it by its caption."""
        def search():
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Kelvara$"],
                                   env=self.display.env(os.environ), capture_output=True,
                                   text=True)
            return found.stdout.split()[0] if found.stdout.split() else None
        return wait_until(search, "the panel's X window")

    def screenshot(self, path):
        subprocess.run(["import", "-window", self.x_window(), path],
                       env=self.display.env(os.environ), check=True, timeout=60)
        return path

    def close(self):
        if self.driver is not None:
            self.driver.close()
        # The server first: Wine's processes must not outlive their display.
        self.prefix.stop_server()
        self.display.close()


def cp932(text):
    return text.encode(ANSI_CODE_PAGE)
