#!/usr/bin/env python3
"""End-to-end cases of the Windows panel under Wine, one per ctest test.

  e2e_wine_test.py --list
  e2e_wine_test.py --work DIR --build-i686 DIR --build-x86_64 DIR --create-prefix
  e2e_wine_test.py --work DIR --build-i686 DIR --build-x86_64 DIR
                   [--virtual-line PROGRAM] --case NAME
"""

import argparse
import contextlib
import os
import subprocess
import sys

# Run from the source tree: leave no __pycache__ there.
sys.dont_write_bytecode = True

from panel_template import Template
from wine_panel import (HarnessError, PanelSession, PtyLine, VirtualLine, WinePrefix,
                        choose_build, cp932, wait_for_value)

QUIT, SEND_A, SEND_ABC, SEND_12345, STATUS, START, STOP = 2, 1001, 1002, 1003, 1005, 1006, 1007
EN_CHANGE = 0x0300

# What each port command shows, with its return value; the panel shows it
# in code page 932, so the expected bytes are made from these by encoding.
STATUS_TEXTS = {
    SEND_A: "Aを送信 [関数の戻り値={}]",
    SEND_ABC: "abcを送信 [関数の戻り値={}]",
    SEND_12345: "12345を送信 [関数の戻り値={}]",
    START: "RS-232Cによる通信開始 [関数の戻り値={}]",
    STOP: "通信終了 [関数の戻り値={}]",
}

SCREENSHOT_NAME = "panel-after-open.png"


def expected_status(command, value):
    return cp932(STATUS_TEXTS[command].format(value))


def status_text(status):
    return f"{status.hex()} ({status.decode('cp932', 'replace')})"


def wait_for_status(driver, expected, step):
    """Bounded: a real pointer click reaches the panel some time after xdotool
    returns; a driver click is synchronous and matches at once."""
    try:
        wait_for_value(driver.status_bytes, expected, lambda status: f"status {status_text(status)}")
    except HarnessError as error:
        raise HarnessError(f"{step}: {error}") from None


def check_status(driver, expected, step):
    status = driver.status_bytes()
    if status != expected:
        raise HarnessError(f"{step}: status {status_text(status)}, "
                           f"expected {status_text(expected)}")


def check_line(line, expected, step):
    received = line.wait_for_total(len(expected))
    if received != expected:
        raise HarnessError(f"{step}: line carried {received!r}, expected {expected!r}")


def run_steps(session, line, steps, click, after_step=lambda command: None):
    """steps: (command id, return value, bytes it sends). The line is checked
    as a whole after each step, so a byte that should not have gone out
    shows up at the next check at the latest."""
    sent = b""
    for command, value, data in steps:
        step = STATUS_TEXTS[command].format(value)
        click(command)
        sent += data
        wait_for_status(session.driver, expected_status(command, value), step)
        check_line(line, sent, step)
        print(f"ok  {step}  line={sent!r}")
        after_step(command)


def driver_click(session):
    return lambda command: session.driver.ask(f"click {command}")


def wait_for_foreground(driver, who):
    wait_for_value(lambda: driver.ask("foreground"), who,
                   lambda window: f"foreground window '{window}'")


def check_quit(session, action):
    wait_for_foreground(session.driver, "panel")
    action()
    exit_code = session.driver.ask("wait-exit")
    if exit_code != "exit=0":
        raise HarnessError(f"panel ended with {exit_code}, expected exit=0")
    wait_for_foreground(session.driver, "own")
    print("ok  panel ended with exit code 0, driver window back in the foreground")


# ---- cases ----

COMMAND_TABLE_STEPS = [
    (SEND_A, 0, b""),            # not open yet: nothing goes out
    (START, 0, b""),
    (START, 2, b""),             # already open
    (SEND_A, 1, b"A"),
    (SEND_ABC, 3, b"abc"),
    (SEND_12345, 5, b"12345"),
    (STOP, 0, b""),
    (STOP, 1, b""),              # not open any more
    (SEND_ABC, 0, b""),
    (START, 0, b""),             # the same line opens again after a close
    (SEND_12345, 5, b"12345"),
]


def case_command_table(context):
    with context.pty_session() as (session, line):
        run_steps(session, line, COMMAND_TABLE_STEPS, driver_click(session))


CLOSED_PORT_STEPS = [(START, 3), (SEND_ABC, 0), (STOP, 1), (START, 3)]


def check_port_stays_closed(session, device):
    for command, value in CLOSED_PORT_STEPS:
        session.driver.ask(f"click {command}")
        check_status(session.driver, expected_status(command, value), f"COM1 -> {device}")
    print(f"ok  COM1 -> {device}: open gives 3, the port stays closed")


def case_open_unopenable_port(context):
    """COM1 names something that exists but is no device (a directory)."""
    device = os.path.join(context.work, "not-a-device")
    os.makedirs(device, exist_ok=True)
    with context.session(device) as session:
        check_port_stays_closed(session, device)


def remove_com1(driver):
    """Wine makes the name just after the link that the session waits for,
    so a first try may come too early."""
    def remove():
        try:
            return driver.ask("remove-dos-device COM1")
        except HarnessError as error:
            return str(error)
    wait_for_value(remove, "", lambda reply: reply or "ok")


def case_open_missing_port(context):
    """No COM1 at all. Wine makes a COM1 device even for a path that does
    not exist (opening it succeeds, writes take nothing), so its DOS name is
    taken away once the server has made it."""
    device = os.path.join(context.work, "no-such-device")
    with context.session(device) as session:
        remove_com1(session.driver)
        check_port_stays_closed(session, f"{device}, name removed")


def case_typed_text_stays(context):
    typed = "手で入力した文字 xyz"
    with context.pty_session() as (session, _):
        driver = session.driver
        driver.ask(f"click {SEND_A}")
        check_status(driver, expected_status(SEND_A, 0), "before typing")
        driver.ask(f"type {typed}")
        check_status(driver, cp932(typed), "after typing")
        # The status box's own notification is no command of the panel.
        driver.ask(f"notify {STATUS} {EN_CHANGE}")
        check_status(driver, cp932(typed), "after EN_CHANGE from the status box")
        driver.ask(f"click {SEND_ABC}")
        check_status(driver, expected_status(SEND_ABC, 0), "next command")
        print("ok  typed text stayed until the next command replaced it")


QUIT_ACTIONS = {
    "quit_button": lambda driver: driver.ask(f"click {QUIT}"),
    "quit_menu": lambda driver: driver.ask("menu-key x"),
    "quit_close_request": lambda driver: driver.ask("close"),
}


def quit_case(action):
    def case(context):
        with context.pty_session() as (session, _):
            check_quit(session, lambda: action(session.driver))
    return case


def case_mouse_full_path(context):
    """Real pointer clicks through X, with tools/virtual_line at the far end."""
    template = Template()
    line = VirtualLine(context.virtual_line, context.work)
    try:
        with context.session(line.path) as session:
            client = session.driver.client_rect()
            check_client_inside(client, x_window_geometry(session, session.x_window()))
            screenshot = os.path.join(context.work, SCREENSHOT_NAME)

            def click(command):
                x, y = template.centre(command, client)
                subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                               env=session.display.env(os.environ), check=True, timeout=60)

            def after_step(command):
                if command == START:
                    print(f"screenshot after 通信開始: {session.screenshot(screenshot)}")

            steps = [(START, 0, b""), (SEND_A, 1, b"A"), (SEND_ABC, 3, b"abc"),
                     (SEND_12345, 5, b"12345"), (STOP, 0, b"")]
            run_steps(session, line, steps, click, after_step)
            check_quit(session, lambda: click(QUIT))
    finally:
        line.close()


def case_keyboard_typing(context):
    """Real key presses into the status box, through X and the message loop."""
    template = Template()
    with context.pty_session() as (session, _):
        env = session.display.env(os.environ)
        client = session.driver.client_rect()
        x, y = template.centre(STATUS, client)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       env=env, check=True, timeout=60)
        subprocess.run(["xdotool", "type", "xyz"], env=env, check=True, timeout=60)
        wait_for_status(session.driver, b"xyz", "keys typed into the status box")
        print("ok  keys typed into the status box show up there")


def x_window_geometry(session, x_window):
    info = subprocess.run(["xwininfo", "-id", x_window], env=session.display.env(os.environ),
                          capture_output=True, text=True, check=True).stdout
    fields = {}
    for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
        fields[key] = int(info.split(key + ":", 1)[1].split()[0])
    left, top = fields["Absolute upper-left X"], fields["Absolute upper-left Y"]
    return left, top, left + fields["Width"], top + fields["Height"]


def check_client_inside(client, geometry):
    """The client area Win32 reports must lie in the X window on screen and
    span its full width (no window manager frame around it here)."""
    left, top, right, bottom = client
    x_left, x_top, x_right, x_bottom = geometry
    if not (x_left == left and x_right == right and x_top <= top and bottom <= x_bottom):
        raise HarnessError(f"client area {client} does not fit X window {geometry}")


CASES = {
    "command_table": case_command_table,
    "open_unopenable_port": case_open_unopenable_port,
    "open_missing_port": case_open_missing_port,
    "typed_text_stays": case_typed_text_stays,
    **{name: quit_case(action) for name, action in QUIT_ACTIONS.items()},
    "mouse_full_path": case_mouse_full_path,
    "keyboard_typing": case_keyboard_typing,
}


class Context:
    def __init__(self, arguments):
        self.work = os.path.abspath(arguments.work)
        self.virtual_line = arguments.virtual_line
        build = choose_build({"i686": arguments.build_i686, "x86_64": arguments.build_x86_64})
        print(f"using the {build.describe()}")
        self.prefix = WinePrefix(build, os.path.join(self.work, f"prefix-{build.arch}"))

    def session(self, com1_device):
        return contextlib.closing(PanelSession(self.prefix, com1_device))

    @contextlib.contextmanager
    def pty_session(self):
        with contextlib.closing(PtyLine()) as line, self.session(line.path) as session:
            yield session, line


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", action="store_true", help="print the case names")
    parser.add_argument("--work", help="directory for the prefix and the screenshot")
    parser.add_argument("--build-i686", help="build dir of the i686 Windows build")
    parser.add_argument("--build-x86_64", help="build dir of the x86_64 Windows build")
    parser.add_argument("--virtual-line", help="tools/virtual_line program")
    parser.add_argument("--create-prefix", action="store_true", help="make a fresh prefix")
    parser.add_argument("--case", choices=sorted(CASES))
    arguments = parser.parse_args()
    if arguments.list:
        print(";".join(CASES))
        return 0
    if not arguments.work or not (arguments.create_prefix or arguments.case):
        parser.error("--work and one of --create-prefix, --case are needed")
    os.makedirs(arguments.work, exist_ok=True)
    try:
        context = Context(arguments)
        if arguments.create_prefix:
            context.prefix.create()
            print(f"prefix ready: {context.prefix.directory}")
        else:
            if not context.prefix.exists():
                raise HarnessError(f"no prefix at {context.prefix.directory}; run --create-prefix")
            CASES[arguments.case](context)
    except HarnessError as error:
        print(f"FAIL: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
