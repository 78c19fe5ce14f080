#!/usr/bin/env python3
"""Runs the native panel for a person, not a test (scripts/run-panel).

  native_session.py interactive|walkthrough --build DIR --work DIR [--device PATH]

interactive: the panel on $DISPLAY, COM1 wired to the device or to a
virtual line whose far end prints what arrives. walkthrough: no display
needed; clicks the five buttons on a private Xvfb where the template puts
them, prints each status and the bytes that went out, and saves a
screenshot.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile

# Run from the source tree: leave no __pycache__ there.
sys.dont_write_bytecode = True

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_HARNESS = os.path.join(os.path.dirname(HERE), "e2e_wine")
sys.path.append(WINE_HARNESS)

from dialog_resource import load_dialog  # noqa: E402
from panel_session import Panel, Xvfb, wait_until  # noqa: E402
from panel_template import QUIT, WALKTHROUGH, printable  # noqa: E402
from wine_panel import HarnessError, VirtualLine  # noqa: E402


IDC_START, IDC_STATUS = 1006, 1005
WALKTHROUGH_TOOLS = ("Xvfb", "xdotool", "xclip", "xwininfo", "import")
# How long a click may take to show in the status box or on the line.
STEP_TIMEOUT = 10.0


class NativeBuild:
    def __init__(self, build_dir):
        self.panel = os.path.join(build_dir, "testpanel", "testpanel")
        self.resources = os.path.join(build_dir, "testpanel", "testpanel.res")
        self.virtual_line = os.path.join(build_dir, "tools", "virtual_line", "virtual_line")
        for path in (self.panel, self.resources, self.virtual_line):
            if not os.path.exists(path):
                raise HarnessError(f"{path} is missing; build the testpanel and virtual_line targets")


def exit_status(returncode):
    """A shell's view of it: 128 + the signal for a killed program."""
    return 128 - returncode if returncode < 0 else returncode


def interactive(build, arguments, scratch):
    line = None
    if arguments.device:
        device = arguments.device
    else:
        # Its output goes straight to this terminal: that is the far end.
        line = VirtualLine(build.virtual_line, scratch, echo=True)
        device = line.path
    try:
        print(f"COM1 -> {device}. Close the panel to end.", flush=True)
        panel = subprocess.Popen([build.panel], env=dict(os.environ, SERIAL_COM1=device))
        try:
            return exit_status(panel.wait())
        except KeyboardInterrupt:
            # Ctrl+C reached the panel too; let it end on its own first.
            panel.send_signal(signal.SIGINT)
            try:
                return exit_status(panel.wait(STEP_TIMEOUT))
            except subprocess.TimeoutExpired:
                panel.kill()
                return exit_status(panel.wait())
    finally:
        if line is not None:
            line.close()


def status_after_click(panel, previous):
    """The status box once it differs from previous: every command rewrites
    it, and no two steps of the walkthrough leave the same text."""
    seen = [previous]

    def changed():
        seen[0] = panel.read_text(IDC_STATUS)
        return seen[0] != previous
    try:
        wait_until(changed, "a new status", STEP_TIMEOUT)
    except AssertionError:
        return f"(no new status within {STEP_TIMEOUT:.0f} s; last read: {seen[0]!r})"
    return seen[0]


def walkthrough(build, arguments, scratch):
    missing = [tool for tool in WALKTHROUGH_TOOLS if shutil.which(tool) is None]
    if missing:
        raise HarnessError(f"the walkthrough needs {', '.join(missing)} (scripts/install-deps installs them)")
    dialog = load_dialog(build.resources, "DIALOG1")
    screenshot = os.path.join(os.path.abspath(arguments.work), "panel-walkthrough.png")
    line = xvfb = panel = None
    try:
        line = None if arguments.device else VirtualLine(build.virtual_line, scratch)
        device = arguments.device or line.path
        xvfb = Xvfb()
        panel = Panel(xvfb, build.panel, dialog, device)
        print(f"COM1 -> {device}; panel started on a private display {xvfb.display}", flush=True)
        status = None
        for command, caption, payload in WALKTHROUGH:
            before = len(line.received) if line else 0
            panel.click(command)
            status = status_after_click(panel, status)
            print(f"[{caption}] status: {status}", flush=True)
            if line is not None:
                try:
                    line.wait_for_total(before + len(payload))
                except HarnessError:
                    pass  # shown below: what did arrive
                print(f"    far end received: {printable(line.received[before:])}", flush=True)
            if command == IDC_START:
                xvfb.run("import", "-window", str(panel.window), screenshot)
        panel.click(QUIT)
        code = panel.exit_code()
        print(f"[終了] panel exited with code {exit_status(code)}")
        output = panel.process.stdout.read().decode(errors="replace").strip()
        if output:
            print(f"The panel printed:\n{output}")
        print(f"Screenshot after 通信開始: {screenshot}")
        return exit_status(code)
    finally:
        if panel is not None:
            panel.kill()
        if xvfb is not None:
            xvfb.stop()
        if line is not None:
            line.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["interactive", "walkthrough"])
    parser.add_argument("--build", required=True, help="the native build dir")
    parser.add_argument("--work", required=True, help="directory for the screenshot")
    parser.add_argument("--device", help="wire COM1 to this device instead of a virtual line")
    arguments = parser.parse_args()
    if arguments.mode == "interactive" and not os.environ.get("DISPLAY"):
        parser.error("interactive needs $DISPLAY")
    os.makedirs(arguments.work, exist_ok=True)
    try:
        build = NativeBuild(arguments.build)
        run = interactive if arguments.mode == "interactive" else walkthrough
        # The line's path file: two runs at once must not share one.
        with tempfile.TemporaryDirectory(prefix="run-panel-") as scratch:
            return run(build, arguments, scratch)
    except (HarnessError, AssertionError, RuntimeError, OSError, subprocess.SubprocessError) as error:
        print(f"run-panel: {error}", file=sys.stderr)
        return 1
    except KeyboardInterrupt:
        return 128 + signal.SIGINT


if __name__ == "__main__":
    sys.exit(main())
