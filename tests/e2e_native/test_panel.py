"""End-to-end tests of the native panel: real X input on the program
under Xvfb, COM1 on a pseudo-terminal whose far end the tests read."""
import os
import re
import shutil
import subprocess
import unittest

from dialog_resource import load_dialog
from panel_session import Panel, PtyLine, Xvfb, wait_until

PROGRAM = os.environ["PANEL_PROGRAM"]
DIALOG = load_dialog(os.environ["PANEL_RESOURCES"], "DIALOG1")
CLOSE_REQUEST = os.environ["X_CLOSE_REQUEST"]
SCREENSHOT_DIR = os.environ.get("SCREENSHOT_DIR")

IDCANCEL = 2
IDC_SEND_A, IDC_SEND_ABC, IDC_SEND_12345 = 1001, 1002, 1003
IDC_STATUS, IDC_START, IDC_STOP = 1005, 1006, 1007


def sent_status(text, value):
    return f"{text}を送信 [関数の戻り値={value}]"


def start_status(value):
    return f"RS-232Cによる通信開始 [関数の戻り値={value}]"


def stop_status(value):
    return f"通信終了 [関数の戻り値={value}]"


def start_x_client(xvfb, command, add_cleanup):
    """A helper X program for a test or a class, ended by its clean-ups."""
    process = subprocess.Popen(command, env=xvfb.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    add_cleanup(process.stderr.close)
    add_cleanup(process.wait)
    add_cleanup(process.kill)
    return process


def check_running(process):
    if process.poll() is not None:
        message = process.stderr.read().decode(errors="replace").strip()
        raise AssertionError(f"{process.args[0]} ended with {process.returncode}: {message}")


class PanelTestCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.xvfb = Xvfb()
        # A class cleanup also runs when setUpClass fails later on; a
        # server left behind would keep ctest waiting on its output.
        cls.addClassCleanup(cls.xvfb.stop)

    def start_panel(self, com1=None):
        line = None
        if com1 is None:
            line = PtyLine()
            self.addCleanup(line.close)
            com1 = line.path
        panel = Panel(self.xvfb, PROGRAM, DIALOG, com1)
        self.addCleanup(panel.kill)
        return panel, line

    def command(self, panel, control_id, expected_status):
        panel.click(control_id)
        panel.wait_text(IDC_STATUS, expected_status)


class Commands(PanelTestCase):
    def test_session_on_the_line(self):
        panel, line = self.start_panel()

        self.command(panel, IDC_SEND_A, sent_status("A", 0))
        self.assertEqual(line.pending(), b"", "nothing is sent before the port is open")

        self.command(panel, IDC_START, start_status(0))
        if SCREENSHOT_DIR:
            self.xvfb.run("import", "-window", str(panel.window), os.path.join(SCREENSHOT_DIR, "panel_after_start.png"))
        self.command(panel, IDC_START, start_status(2))

        for control_id, data in [(IDC_SEND_ABC, b"abc"), (IDC_SEND_12345, b"12345"), (IDC_SEND_A, b"A")]:
            with self.subTest(data=data):
                self.command(panel, control_id, sent_status(data.decode(), len(data)))
                self.assertEqual(line.read_exactly(len(data)), data)
                self.assertEqual(line.pending(), b"")

        self.command(panel, IDC_STOP, stop_status(0))
        self.command(panel, IDC_STOP, stop_status(1))
        self.command(panel, IDC_SEND_A, sent_status("A", 0))
        self.assertEqual(line.pending(), b"")

        panel.click(IDCANCEL)
        self.assertEqual(panel.exit_code(), 0)

    def test_open_fails_without_the_device(self):
        missing = os.path.join(os.environ.get("TMPDIR", "/tmp"), "no-such-serial-device")
        panel, _ = self.start_panel(com1=missing)
        self.command(panel, IDC_START, start_status(3))


class StatusBox(PanelTestCase):
    def test_typed_text_stays_until_the_next_command(self):
        panel, _ = self.start_panel()
        self.command(panel, IDC_STOP, stop_status(1))
        panel.click(IDC_STATUS)
        panel.key("ctrl+a")
        panel.type_text("typed here")
        panel.wait_text(IDC_STATUS, "typed here")
        panel.click(IDC_START)
        panel.wait_text(IDC_STATUS, start_status(0))

    def test_tab_walks_the_controls_in_template_order(self):
        # Template order around the status box: ... 12345, status box,
        # 通信開始, 通信終了 (on screen, A comes after the status box).
        # Reading the box puts the focus back on it.
        panel, line = self.start_panel()
        panel.click(IDC_STATUS)
        panel.key("Tab", "space")
        panel.wait_text(IDC_STATUS, start_status(0))
        panel.key("shift+Tab", "space")
        panel.wait_text(IDC_STATUS, sent_status("12345", 5))
        self.assertEqual(line.read_exactly(5), b"12345")
        panel.key("Tab", "Tab", "space")
        panel.wait_text(IDC_STATUS, stop_status(0))


class Layout(PanelTestCase):
    def test_client_area_is_the_template_in_whole_base_units(self):
        panel, _ = self.start_panel()
        cx, cy = DIALOG.size
        width, height = panel.client[2], panel.client[3]
        base_x = [b for b in range(4, 20) if (cx * b * 2 + 4) // 8 == width]
        base_y = [b for b in range(8, 30) if (cy * b * 2 + 8) // 16 == height]
        self.assertTrue(base_x and base_y, f"client area {width}x{height} is not {cx}x{cy} dialog units")
        self.assertGreater(panel.client[1], 0, "the menu bar sits above the client area")

    def test_fixed_size_and_centred(self):
        panel, _ = self.start_panel()
        hints = self.xvfb.run("xprop", "-id", str(panel.window), "WM_NORMAL_HINTS")
        minimum = [int(v) for v in hints.split("minimum size:")[1].split()[:3:2]]
        maximum = [int(v) for v in hints.split("maximum size:")[1].split()[:3:2]]
        self.assertEqual(minimum, maximum)
        info = self.xvfb.run("xwininfo", "-id", str(panel.window))
        values = {k: int(v) for k, v in
                  re.findall(r"(Absolute upper-left [XY]|Width|Height):\s+(-?\d+)", info)}
        self.assertLessEqual(abs(2 * values["Absolute upper-left X"] + values["Width"] - 1024), 2)
        self.assertLessEqual(abs(2 * values["Absolute upper-left Y"] + values["Height"] - 768), 2)


class Exits(PanelTestCase):
    def exits_cleanly(self, action):
        panel, _ = self.start_panel()
        action(panel)
        self.assertEqual(panel.exit_code(), 0)
        output = panel.process.stdout.read().decode(errors="replace")
        panel.process.stdout.close()
        self.assertNotIn("CRITICAL", output)

    def test_quit_button(self):
        self.exits_cleanly(lambda panel: panel.click(IDCANCEL))

    def test_alt_x(self):
        self.exits_cleanly(lambda panel: panel.key("alt+x"))

    def test_menu_item_clicked(self):
        # The menu bar spans the window above the client area; its only
        # item starts at the left edge.
        self.exits_cleanly(lambda panel: panel.click_at(panel.client[1] // 2, panel.client[1] // 2))

    def test_close_request(self):
        self.exits_cleanly(lambda panel: self.xvfb.run(CLOSE_REQUEST, str(panel.window)))


class Foreground(PanelTestCase):
    """Without a window manager the foreground is the X input focus."""

    def foreground(self):
        return self.xvfb.focused_window()

    def activate(self, window):
        self.xvfb.run("xdotool", "windowfocus", "--sync", str(window))

    def test_previous_window_is_foreground_again_after_the_panel(self):
        # A small X client is in the foreground before the panel starts.
        probe = start_x_client(self.xvfb, ["xmessage", "-title", "foreground-probe", "probe"], self.addCleanup)

        def probe_shown():
            check_running(probe)
            return self.xvfb.search_window("foreground-probe")
        probe_window = wait_until(probe_shown, "the probe window")
        self.activate(probe_window)
        wait_until(lambda: self.foreground() == probe_window, "the probe window in the foreground")

        panel, _ = self.start_panel()
        wait_until(lambda: self.foreground() == panel.window, "the panel in the foreground")
        panel.click(IDCANCEL)
        self.assertEqual(panel.exit_code(), 0)
        wait_until(lambda: self.foreground() == probe_window, "the probe window in the foreground again")


class ForegroundWithWindowManager(Foreground):
    """Under a window manager the foreground is its _NET_ACTIVE_WINDOW."""

    @classmethod
    def setUpClass(cls):
        if shutil.which("evilwm") is None:
            raise unittest.SkipTest("evilwm is not installed")
        super().setUpClass()
        # Its default font is an alias only some font packages provide;
        # every X server has "fixed" built in.
        wm = start_x_client(cls.xvfb, ["evilwm", "-fn", "fixed"], cls.addClassCleanup)

        def managing():
            check_running(wm)
            return "_NET_ACTIVE_WINDOW" in cls.xvfb.run("xprop", "-root", "_NET_SUPPORTED", check=False)
        wait_until(managing, "the window manager")

    def foreground(self):
        result = subprocess.run(["xdotool", "getactivewindow"], env=self.xvfb.env, capture_output=True)
        return int(result.stdout) if result.returncode == 0 and result.stdout.strip() else None

    def activate(self, window):
        self.xvfb.run("xdotool", "windowactivate", "--sync", str(window))


def setUpModule():
    for tool in ("Xvfb", "xdotool", "xclip", "xwininfo", "xprop", "xmessage"):
        if shutil.which(tool) is None:
            raise unittest.SkipTest(f"{tool} is not installed")


if __name__ == "__main__":
    unittest.main()
