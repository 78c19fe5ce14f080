"""The panel's dialog template, read from the resource script that both
builds compile, so that the tests click where the template puts things."""

import os
import re

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                         "..", "..", "testpanel", "resources")
# Ids the resource script takes from windows.h rather than resource.h.
SYSTEM_IDS = {"IDOK": 1, "IDCANCEL": 2}

# The run command's walkthrough, in both builds:
# (control id, caption, bytes it sends once the port is open)
WALKTHROUGH = [(1006, "通信開始", b""), (1001, "A", b"A"), (1002, "abc", b"abc"),
               (1003, "12345", b"12345"), (1007, "通信終了", b"")]
QUIT = 2


def printable(data):
    """Hex and text, as tools/virtual_line prints a chunk."""
    if not data:
        return "(nothing)"
    text = "".join(chr(b) if 0x20 <= b < 0x7f else "." for b in data)
    return f"{data.hex(' ')}  {text}"


def _read(name):
    with open(os.path.join(RESOURCES, name), encoding="utf-8") as text:
        return text.read()


def _ids():
    ids = dict(SYSTEM_IDS)
    for name, value in re.findall(r"^#define\s+(\w+)\s+(\d+)", _read("resource.h"), re.M):
        ids[name] = int(value)
    return ids


class Template:
    """DIALOG1's size and each control's rectangle, in dialog units."""

    def __init__(self):
        script = _read("testpanel.rc")
        size = re.search(r"^DIALOG1\s+DIALOG\s+\d+\s*,\s*\d+\s*,\s*(\d+)\s*,\s*(\d+)", script, re.M)
        if not size:
            raise ValueError("DIALOG1 not found in testpanel.rc")
        self.size = (int(size.group(1)), int(size.group(2)))
        ids = _ids()
        self.controls = {}
        control = re.compile(r'^\s*(?:PUSHBUTTON|EDITTEXT)\s+(?:"[^"]*"\s*,\s*)?(\w+)\s*,'
                             r"\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)", re.M)
        for name, *rect in control.findall(script):
            self.controls[ids[name]] = tuple(int(value) for value in rect)

    def centre(self, control_id, client):
        """Screen point at the centre of control_id, for a client area given
        as (left, top, right, bottom) in screen pixels."""
        x, y, width, height = self.controls[control_id]
        left, top, right, bottom = client
        return (left + round((x + width / 2) * (right - left) / self.size[0]),
                top + round((y + height / 2) * (bottom - top) / self.size[1]))
