"""Runs the native panel under a private Xvfb and drives it with real X
input: clicks at positions taken from the compiled template, the status
box read back through the clipboard."""
import os
import re
import select
import subprocess
import time

# Bounds on waits, generous for sanitizer builds on a busy machine.
TIMEOUT = 30.0


def wait_until(condition, what, timeout=TIMEOUT):
    """Polls condition until it returns something truthy; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.02)


class Xvfb:
    # Display numbers well away from the usual fixed ones (:0, :1, :99).
    FIRST_DISPLAY = 400
    DISPLAYS = 200

    def __init__(self):
        first = self.FIRST_DISPLAY + os.getpid() % self.DISPLAYS
        for offset in range(self.DISPLAYS):
            number = self.FIRST_DISPLAY + (first - self.FIRST_DISPLAY + offset) % self.DISPLAYS
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            if self._start(number):
                self.display = f":{number}"
                self.env = dict(os.environ, DISPLAY=self.display)
                return
        raise RuntimeError("no free display for Xvfb")

    def _start(self, number):
        """Starts Xvfb on :number; True once it accepts connections."""
        read_end, write_end = os.pipe()
        # -noreset: by default the server resets when its last client
        # leaves, and a panel started during the reset cannot connect.
        self.process = subprocess.Popen(
            ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            ready = pipe.readline().strip()  # empty when Xvfb gave up
        if ready:
            return True
        self.process.wait(TIMEOUT)
        return False

    def run(self, *command, check=True):
        result = subprocess.run(command, env=self.env, capture_output=True, timeout=TIMEOUT)
        if check and result.returncode != 0:
            raise AssertionError(f"{command} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode()

    def focused_window(self):
        result = subprocess.run(["xdotool", "getwindowfocus"], env=self.env, capture_output=True, timeout=TIMEOUT)
        return int(result.stdout) if result.returncode == 0 and result.stdout.strip() else None

    def search_window(self, name):
        """The visible window titled exactly name, or None."""
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(name)}$"],
                                env=self.env, capture_output=True, timeout=TIMEOUT)
        ids = result.stdout.split()
        return int(ids[0]) if ids else None

    def find_window(self, name):
        return wait_until(lambda: self.search_window(name), f"window {name!r}")

    def stop(self):
        self.process.terminate()
        self.process.wait(TIMEOUT)


class Panel:
    """One run of the panel program, with COM1 on the pseudo-terminal
    (or device path) given."""

    def __init__(self, xvfb, program, dialog, com1):
        self.xvfb = xvfb
        self.dialog = dialog
        env = dict(xvfb.env, SERIAL_COM1=com1)
        self.process = subprocess.Popen([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.window = wait_until(self._mapped_window, f"window {dialog.caption!r}")
        self.client = wait_until(self._client_area, "the client area")

    def _mapped_window(self):
        if self.process.poll() is not None:
            output = self.process.stdout.read().decode(errors="replace")
            raise AssertionError(f"the panel ended with {self.process.returncode} before showing: {output}")
        return self.xvfb.search_window(self.dialog.caption)

    def _client_area(self):
        """(x, y, width, height) of the client area inside the window: the
        child window as wide as the window, below the menu bar."""
        top = self.xvfb.run("xwininfo", "-id", str(self.window))
        width = int(re.search(r"Width: (\d+)", top).group(1))
        tree = self.xvfb.run("xwininfo", "-children", "-id", str(self.window))
        for w, h, x, y in re.findall(r"\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+", tree):
            if int(w) == width and int(y) > 0:
                return int(x), int(y), int(w), int(h)
        return None

    def scale(self):
        """Pixels per dialog unit, horizontally and vertically."""
        cx, cy = self.dialog.size
        return self.client[2] / cx, self.client[3] / cy

    def control_center(self, control_id):
        x, y, w, h = self.dialog.items[control_id]
        sx, sy = self.scale()
        return self.client[0] + round((x + w / 2) * sx), self.client[1] + round((y + h / 2) * sy)

    def click_at(self, x, y):
        self.xvfb.run("xdotool", "mousemove", "--window", str(self.window), str(x), str(y), "click", "1")

    def click(self, control_id):
        self.click_at(*self.control_center(control_id))

    def key(self, *keys):
        self.xvfb.run("xdotool", "key", "--clearmodifiers", *keys)

    def type_text(self, text):
        self.xvfb.run("xdotool", "type", "--clearmodifiers", text)

    def read_text(self, control_id):
        """The control's text: select all, copy, read the clipboard. A
        sentinel owner first tells a fresh copy from an old one."""
        sentinel = "\x01clipboard-sentinel\x01"
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=sentinel.encode(), env=self.xvfb.env,
                       timeout=TIMEOUT, check=True)
        self.click(control_id)
        self.key("ctrl+a", "ctrl+c")

        def copied():
            text = self.xvfb.run("xclip", "-o", "-selection", "clipboard", check=False)
            return None if text == sentinel or text == "" else text
        return wait_until(copied, "the copied text")

    def wait_text(self, control_id, expected):
        """Reads the control until it shows expected (returns the last read)."""
        last = [None]

        def shows():
            last[0] = self.read_text(control_id)
            return last[0] == expected
        try:
            wait_until(shows, f"text {expected!r}")
        except AssertionError:
            raise AssertionError(f"control {control_id} shows {last[0]!r}, expected {expected!r}")

    def exit_code(self):
        return self.process.wait(TIMEOUT)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(TIMEOUT)
        self.process.stdout.close()


class PtyLine:
    """The far end of COM1: a pseudo-terminal whose master the test reads."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        os.set_blocking(self.master, False)
        self.path = os.ttyname(self.slave)

    def read_exactly(self, count, timeout=TIMEOUT):
        data = b""
        deadline = time.monotonic() + timeout
        while len(data) < count and time.monotonic() < deadline:
            ready, _, _ = select.select([self.master], [], [], max(0.0, deadline - time.monotonic()))
            if ready:
                data += os.read(self.master, count - len(data))
        return data

    def pending(self):
        """Whatever is already waiting on the line."""
        ready, _, _ = select.select([self.master], [], [], 0)
        return os.read(self.master, 4096) if ready else b""

    def close(self):
        os.close(self.master)
        os.close(self.slave)
