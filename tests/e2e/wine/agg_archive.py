"""Archives and expected files for the Wine end-to-end tests, built by the tests' own rules.

The key rule and the bitmap layout are written here again, from the archive and bitmap
descriptions, so that a fault in the tool's own tables or writer cannot cancel out.
"""

import struct

# Names whose keys do not follow the rule.
FIXED_KEYS = {
    "file_14.bin": 0x5837,
    "file_29.icn": 0x443A,
    "file_148.bmp": 0xF9B6,
    "file_278.bin": 0x2FD7,
}

UNKNOWN_KEY = 0x0001  # a key that no known name has


def key_of(name):
    """The 16-bit key of a member name: rotate left by 9, subtract the upper-cased byte."""
    if name in FIXED_KEYS:
        return FIXED_KEYS[name]
    h = 0
    for c in name.upper().encode("ascii"):
        h = (((h << 9) | (h >> 7)) - c) & 0xFFFF
    return h


def pattern(size, seed):
    """`size` bytes that no two seeds share."""
    out = bytearray()
    state = seed * 2654435761 + 1
    for _ in range(size):
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        out.append(state >> 16 & 0xFF)
    return bytes(out)


class Archive:
    """An .agg archive: u16 count, 10-byte entries (u16 key, i32 offset, i32 size), data."""

    def __init__(self):
        self.entries = []  # (key, data) or (key, offset, size) for hand-made entries

    def add(self, key, data):
        self.entries.append((key, bytes(data)))
        return len(self.entries) - 1

    def add_raw(self, key, offset, size):
        self.entries.append((key, offset, size))
        return len(self.entries) - 1

    def build(self):
        head = struct.pack("<H", len(self.entries))
        offset = 2 + 10 * len(self.entries)
        data = b""
        for entry in self.entries:
            if len(entry) == 2:
                key, member = entry
                head += struct.pack("<Hii", key, offset + len(data), len(member))
                data += member
            else:
                head += struct.pack("<Hii", *entry)
        return head + data


def raw_image(width, height, pixels):
    """A raw image member: 2 bytes of tag, u16 width, u16 height, indices rows top down."""
    assert len(pixels) == width * height
    return b"\x5a\xa5" + struct.pack("<HH", width, height) + bytes(pixels)


def expected_bitmap(member, template):
    """The bitmap file for a raw image member, with the colours and resolution of an 8-bit
    palette template that has a 40-byte header and 256 colours."""
    width, height = struct.unpack_from("<HH", member, 2)
    if width == 0 or height == 0:
        return b""
    pixels = member[6:]
    stride = (width + 3) & ~3
    image_size = stride * height
    x_resolution, y_resolution = struct.unpack_from("<ii", template, 38)
    colours = bytearray()
    for i in range(256):
        b, g, r, _ = template[54 + 4 * i : 58 + 4 * i]
        colours += bytes((b, g, r, 0))  # the fourth byte is always written as 0
    out = b"BM"  # file type
    out += struct.pack("<I", 1078 + image_size)  # file size
    out += struct.pack("<HH", 0, 0)  # reserved
    out += struct.pack("<I", 1078)  # pixel offset
    out += struct.pack("<I", 40)  # header size
    out += struct.pack("<i", width)  # width
    out += struct.pack("<i", height)  # height, positive: bottom-up rows
    out += struct.pack("<H", 1)  # planes
    out += struct.pack("<H", 8)  # bit count
    out += struct.pack("<I", 0)  # compression
    out += struct.pack("<I", image_size)  # image size
    out += struct.pack("<i", x_resolution)  # x resolution, the template's
    out += struct.pack("<i", y_resolution)  # y resolution, the template's
    out += struct.pack("<I", 256)  # colours used
    out += struct.pack("<I", 0)  # colours important
    out += bytes(colours)  # colour table
    for row in reversed(range(height)):  # the bottom row first
        line = pixels[row * width : (row + 1) * width]
        out += line + b"\0" * (stride - width)
    return out
