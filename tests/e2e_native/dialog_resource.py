"""Reads a dialog template out of a compiled resource file, so the tests
find the controls where the template puts them."""
import struct

RT_DIALOG = 5
DS_SETFONT = 0x40


def _align4(offset):
    return (offset + 3) & ~3


def _read_string(data, offset):
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def _read_name_or_ordinal(data, offset):
    (first,) = struct.unpack_from("<H", data, offset)
    if first == 0:
        return None, offset + 2
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    return _read_string(data, offset)


class Dialog:
    def __init__(self, caption, size, items):
        self.caption = caption
        self.size = size  # (cx, cy) in dialog units
        self.items = items  # id -> (x, y, cx, cy) in dialog units


def _decode_dialog(data):
    style, _, count, _, _, cx, cy = struct.unpack_from("<IIH4h", data, 0)
    _, offset = _read_name_or_ordinal(data, 18)  # menu
    _, offset = _read_name_or_ordinal(data, offset)  # class
    caption, offset = _read_string(data, offset)
    if style & DS_SETFONT:
        _, offset = _read_string(data, offset + 2)
    items = {}
    for _ in range(count):
        offset = _align4(offset)
        _, _, x, y, w, h, item_id = struct.unpack_from("<II4hH", data, offset)
        _, offset = _read_name_or_ordinal(data, offset + 18)  # class
        _, offset = _read_name_or_ordinal(data, offset)  # title
        (extra,) = struct.unpack_from("<H", data, offset)
        offset += 2 + extra
        items[item_id] = (x, y, w, h)
    return Dialog(caption, (cx, cy), items)


def load_dialog(res_path, name):
    data = open(res_path, "rb").read()
    offset = 0
    while offset + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, offset)
        header = data[offset:offset + header_size]
        res_type, position = _read_name_or_ordinal(header, 8)
        res_name, _ = _read_name_or_ordinal(header, position)
        body = data[offset + header_size:offset + header_size + data_size]
        if res_type == RT_DIALOG and res_name == name:
            return _decode_dialog(body)
        offset = _align4(offset + header_size + data_size)
    raise LookupError(f"no dialog {name} in {res_path}")
