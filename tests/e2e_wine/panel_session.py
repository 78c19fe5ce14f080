#!/usr/bin/env python3
"""Runs the Windows panel under Wine for a person, not a test (scripts/run-panel).

  panel_session.py arch
      the Windows build this host runs under Wine: i686 or x86_64
  panel_session.py interactive|walkthrough --work DIR --build DIR
                   [--virtual-line PROGRAM | --device PATH]

interactive: the panel on $DISPLAY, COM1 wired to the device or to a
virtual line whose far end prints what arrives. walkthrough: no display
needed; clicks the five buttons on a private Xvfb, prints each status and
the bytes that went out, and saves a screenshot.
"""

import argparse
import os
import subprocess
import sys

# Run from the source tree: leave no __pycache__ there.
sys.dont_write_bytecode = True

from panel_template import QUIT, WALKTHROUGH, printable
from wine_panel import (HarnessError, PanelSession, VirtualLine, WineBuild, WinePrefix,
                        host_runs_32bit_wine)


def prepared_prefix(arguments):
    build = WineBuild(arguments.arch, arguments.build)
    for program in (build.panel_exe, build.driver_exe):
        if not os.path.exists(program):
            raise HarnessError(f"{program} is missing; build the windows_{build.arch} target")
    prefix = WinePrefix(build, os.path.join(arguments.work, f"prefix-{build.arch}"))
    if not prefix.exists():
        print("Creating the Wine prefix (once, about 20 s)...", flush=True)
        prefix.create()
    print(f"Running the {build.describe()}", flush=True)
    return prefix


def interactive(arguments):
    prefix = prepared_prefix(arguments)
    line = None
    if arguments.device:
        device = arguments.device
    else:
        # Its output goes straight to this terminal: that is the far end.
        line = VirtualLine(arguments.virtual_line, arguments.work, echo=True)
        device = line.path
    try:
        prefix.wire_com1(device)
        print(f"COM1 -> {device}. Close the panel to end.", flush=True)
        env = dict(prefix.env, DISPLAY=os.environ["DISPLAY"])
        panel = subprocess.Popen([prefix.build.loader, prefix.build.panel_exe], env=env)
        try:
            prefix.check_com1(device)
        except HarnessError:
            panel.kill()
            panel.wait()
            raise
        return panel.wait()
    finally:
        prefix.stop_server()
        if line is not None:
            line.close()


def walkthrough(arguments):
    prefix = prepared_prefix(arguments)
    line = None if arguments.device else VirtualLine(arguments.virtual_line, arguments.work)
    device = arguments.device or line.path
    screenshot = os.path.join(os.path.abspath(arguments.work), "panel-walkthrough.png")
    session = PanelSession(prefix, device)
    try:
        print(f"COM1 -> {device}; panel started on a private display {session.display.name}")
        for command, caption, payload in WALKTHROUGH:
            before = len(line.received) if line else 0
            session.driver.ask(f"click {command}")
            status = session.driver.status_bytes().decode("cp932")
            print(f"[{caption}] status: {status}")
            if line is not None:
                try:
                    line.wait_for_total(before + len(payload))
                except HarnessError:
                    pass
                print(f"    far end received: {printable(line.received[before:])}")
            if command == 1006:
                session.screenshot(screenshot)
        session.driver.ask(f"click {QUIT}")
        exit_code = session.driver.ask("wait-exit").removeprefix("exit=")
        print(f"[終了] panel exited with code {exit_code}")
        print(f"Screenshot after 通信開始: {screenshot}")
    finally:
        session.close()
        if line is not None:
            line.close()
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["arch", "interactive", "walkthrough"])
    parser.add_argument("--work", help="directory for the prefix and the screenshot")
    parser.add_argument("--build", help="build dir of the Windows build to run")
    parser.add_argument("--virtual-line", help="tools/virtual_line program")
    parser.add_argument("--device", help="wire COM1 to this device instead of a virtual line")
    arguments = parser.parse_args()
    arguments.arch = "i686" if host_runs_32bit_wine() else "x86_64"
    if arguments.mode == "arch":
        print(arguments.arch)
        return 0
    if not arguments.work or not arguments.build:
        parser.error("--work and --build are needed")
    if not arguments.device and not arguments.virtual_line:
        parser.error("--virtual-line or --device is needed")
    os.makedirs(arguments.work, exist_ok=True)
    try:
        return (interactive if arguments.mode == "interactive" else walkthrough)(arguments)
    except HarnessError as error:
        print(f"run-panel: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
