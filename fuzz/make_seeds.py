#!/usr/bin/python3
"""Seed corpora for the fuzz targets, written at run time and never kept in the repository.

    make_seeds.py OUTDIR             OUTDIR/unpack: small valid archives;
                                     OUTDIR/template: the BMP Suite images in the
                                     repository and a few 8-bit templates made here;
                                     OUTDIR/update: archives, each with one of those, and
                                     with RLE8 and RLE4 pictures and the PNG files of
                                     tests/data/png (every kind) of overmain.bmp's size;
                                     OUTDIR/palette: a palette of every format read.
    make_seeds.py --hostile REGDIR   rewrites the hand-made hostile inputs kept in
                                     REGDIR/unpack, REGDIR/template and REGDIR/palette
                                     (fuzz/regressions), whose outcomes
                                     fuzz/regressions/outcomes.txt records.

Every file is built field by field, little-endian, with the standard library only.
"""

import itertools
import pathlib
import shutil
import struct
import sys

REPO = pathlib.Path(__file__).resolve().parent.parent
BMPSUITE = REPO / "tests" / "data" / "bmpsuite"
PNGS = REPO / "tests" / "data" / "png"

# Keys of known names (the tool's table); any other key is written as file_N.
KB_PAL = 0xC848  # kb.pal
COMBAT_PAL = 0x06FF  # combat.pal
OVERMAIN_BMP = 0x925A  # overmain.bmp
BORDEDIT_BMP = 0xBB8C  # bordedit.BMP, upper-case extension
BOAT_BKG = 0x3F86  # boat.bkg, written as boat.bkg.bmp
WINCE_82M = 0xEFD5  # WINCE00.82M, not a picture
UNKNOWN = 0x0001


def archive(members):
    """members: (key, bytes) pairs, data after the directory; or (key, offset, size) entries."""
    count = len(members)
    data_at = 2 + 10 * count
    directory, data = b"", b""
    for m in members:
        if len(m) == 3:
            directory += struct.pack("<Hii", *m)
            continue
        key, payload = m
        directory += struct.pack("<HiI", key, data_at + len(data) if payload else 0, len(payload))
        data += payload
    return struct.pack("<H", count) + directory + data


def picture(width, height, tag=0):
    head = struct.pack("<BBHH", tag, 0, width, height)
    return head + bytes((i * 37 + i // max(width, 1)) & 0xFF for i in range(width * height))


def template(colours=256, core=False, width=1, height=1, bits=8, compression=0,
             header_size=None, colours_used=0, masks=None, image_size=None, pixels=True,
             trailer=b""):
    """A BMP file; `trailer` is appended after the pixels (its last byte picks the fuzz
    target's picture sizes)."""
    entry = 3 if core else 4
    header_size = header_size or (12 if core else 40)
    stride = (width * bits + 31) // 32 * 4
    image = stride * abs(height)
    mask_bytes = struct.pack("<III", *masks) if masks and header_size == 40 else b""
    # Blue, green, red (and a reserved 0): distinct, non-symmetric colours.
    table = b"".join(bytes(((i * 7 + 3) & 0xFF, (255 - i) & 0xFF, i)) + bytes(entry - 3)
                     for i in range(colours))
    if core:
        header = struct.pack("<IHHHH", 12, width & 0xFFFF, height & 0xFFFF, 1, bits)
    else:
        header = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression,
                             image if image_size is None else image_size, 2835, 3780,
                             colours_used, 0)
        if masks and header_size >= 52:
            header += struct.pack("<III", *masks)
        header += bytes(max(0, header_size - len(header)))
    offset = 14 + len(header) + len(mask_bytes) + len(table)
    body = header + mask_bytes + table + (bytes((i % 251) for i in range(image)) if pixels else b"")
    body += trailer
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def unpack_seeds():
    return {
        "empty_directory.agg": archive([]),
        "raw_members.agg": archive([(KB_PAL, bytes(range(16))), (UNKNOWN, b"abcde"),
                                    (COMBAT_PAL, b""), (WINCE_82M, b"\x01\x02\x03")]),
        "pictures.agg": archive([(OVERMAIN_BMP, picture(3, 2)), (BOAT_BKG, picture(5, 3, 7)),
                                 (BORDEDIT_BMP, picture(4, 1) + b"trailing")]),
        "empty_pictures.agg": archive([(OVERMAIN_BMP, picture(0, 9)), (BOAT_BKG, picture(7, 0))]),
        "unknown_keys.agg": archive([(UNKNOWN, b"x"), (0x0002, b""), (0xFFFF, b"yz"),
                                     (0x0000, b"\0")]),
        "overlapping.agg": archive([(KB_PAL, bytes(range(40))), (UNKNOWN, 2 + 30 + 10, 20),
                                    (KB_PAL, 2 + 30 + 25, 3)]),
        "mixed.agg": archive([(KB_PAL, b"pal"), (OVERMAIN_BMP, picture(13, 7, 1)),
                              (UNKNOWN, b""), (BOAT_BKG, picture(1, 1)), (UNKNOWN, b"end")]),
    }


def template_seeds():
    size_byte = b"\x35"  # pictures of 5 x 3 and 3 x 5
    return {
        "info_256.bmp": template(trailer=size_byte),
        "core_256.bmp": template(core=True, trailer=size_byte),
        "info_252.bmp": template(colours=252, colours_used=252, width=3, height=2,
                                 trailer=size_byte),
        "top_down.bmp": template(width=5, height=-3, trailer=size_byte),
        "v5_header.bmp": template(header_size=124, width=2, height=2, trailer=size_byte),
        "no_pixels.bmp": template(width=640, height=480, pixels=False, trailer=b"\x47"),
        "bit_fields_16.bmp": template(colours=0, bits=16, compression=3,
                                      masks=(0xF800, 0x7E0, 0x1F), trailer=size_byte),
    }


def hostile_unpack():
    big = 0x7FFFFFFF
    return {
        "empty_file.agg": b"",
        "one_byte.agg": b"\x01",
        "count_65535_no_directory.agg": struct.pack("<H", 65535) + bytes(8),
        "size_2147483647.agg": archive([(KB_PAL, 12, big)]),
        "negative_offset.agg": archive([(KB_PAL, b"ok"), (UNKNOWN, -1, 1)]),
        "negative_size.agg": archive([(KB_PAL, b"ok"), (UNKNOWN, 0, -5)]),
        "offset_plus_size_past_2_31.agg": archive([(UNKNOWN, big, big)]),
        "picture_of_5_bytes.agg": archive([(KB_PAL, b"ok"), (OVERMAIN_BMP, b"\0\0\1\0\1")]),
        "picture_of_no_bytes.agg": archive([(OVERMAIN_BMP, 0, 0)]),
        "picture_65535_x_65535.agg": archive([(BOAT_BKG, struct.pack("<BBHH", 0, 0, 65535, 65535)
                                               + bytes(10))]),
        "zero_size_at_negative_offset.agg": archive([(KB_PAL, -7, 0)]),
        "400_members.agg": archive([(UNKNOWN, b"") for _ in range(398)]
                                   + [(KB_PAL, b"first"), (KB_PAL, b"second")]),
    }


def hostile_templates():
    size_byte = b"\x35"

    def patched(data, at, fmt, value):
        return data[:at] + struct.pack(fmt, value) + data[at + struct.calcsize(fmt):]

    good = template(trailer=size_byte)
    return {
        "colours_305402420.bmp": patched(good, 46, "<I", 0x12341234),
        "colours_257.bmp": patched(good, 46, "<I", 257),
        "header_size_4026531880.bmp": patched(good, 14, "<I", 0xF0000028),
        "header_size_39.bmp": patched(good, 14, "<I", 39),
        "width_minus_5.bmp": patched(good, 18, "<i", -5),
        "height_minus_2147483648.bmp": patched(good, 22, "<I", 0x80000000),
        "3000000_x_2000000.bmp": template(width=3000000, height=2000000, pixels=False,
                                          image_size=0, trailer=size_byte),
        "40000_x_40000_no_pixels.bmp": template(width=40000, height=40000, pixels=False,
                                                trailer=size_byte),
        "core_65535_x_65535.bmp": template(core=True, width=65535, height=65535, pixels=False,
                                           trailer=size_byte),
        "cut_in_colour_table.bmp": good[:54 + 4 * 200 + 2],
        "empty_file.bmp": b"",
        "one_bit.bmp": template(colours=2, bits=1, width=9, height=2, trailer=size_byte),
        "rle8.bmp": template(compression=1, width=4, height=2, trailer=size_byte),
        "24_bit.bmp": template(colours=0, bits=24, width=3, height=2, trailer=size_byte),
        "32_bit_masks_image_size_4294967295.bmp":
            template(colours=0, bits=32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF),
                     image_size=0xFFFFFFFF, width=3, height=2, trailer=size_byte),
        "masks_cut_by_44_byte_header.bmp": template(colours=0, bits=16, compression=3,
                                                    header_size=44, trailer=size_byte),
    }


def raw_palette(values, count=None):
    """256 colours of red, green, blue from `values(i)`; with `count` the 772-byte form, its
    count and transparent index big-endian."""
    table = b"".join(bytes(values(i)) for i in range(256))
    return table if count is None else table + struct.pack(">HH", count, 0xFFFF)


def text_palette(head, colours, end="\n", name=False):
    lines = head + [f"{r} {g} {b}" + (f"\tcolour {i}" if name else "")
                    for i, (r, g, b) in enumerate(colours)]
    return end.join(lines).encode() + end.encode()


def riff_palette(colours, count=None, extra=b"abc"):
    """A RIFF palette with an odd-sized chunk before the data chunk."""
    count = len(colours) if count is None else count
    data = struct.pack("<HH", 0x0300, count) + b"".join(bytes(c) + b"\0" for c in colours)
    chunks = b"LIST" + struct.pack("<I", len(extra)) + extra + bytes(len(extra) & 1)
    chunks += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"PAL " + chunks


def palette_seeds():
    colours = [((i * 7 + 3) & 0xFF, (255 - i) & 0xFF, i) for i in range(16)]
    return {
        "raw_vga.pal": raw_palette(lambda i: (i & 63, (i >> 2) & 63, 63 - (i & 63))),
        "raw_8_bit.pal": raw_palette(lambda i: (i, 255 - i, (i * 5) & 0xFF)),
        "raw_counted.pal": raw_palette(lambda i: (i & 63, 0, 7), count=16),
        "jasc.pal": text_palette(["JASC-PAL", "0100", "16"], colours),
        "jasc_crlf.pal": text_palette(["JASC-PAL", "0100", "16"], colours, end="\r\n"),
        "gimp.gpl": text_palette(["GIMP Palette", "Name: Seed", "Columns: 4", "#", ""], colours,
                                 name=True),
        "riff.pal": riff_palette(colours),
        "bitmap_8_bit.bmp": template(trailer=b"\x35"),
        "bitmap_4_bit.bmp": template(colours=16, bits=4, width=3, height=2),
        "bitmap_1_bit_core.bmp": template(colours=2, bits=1, core=True, width=9, height=2),
    }


def hostile_palettes():
    colours = [(i, i, i) for i in range(4)]
    return {
        "empty_file.pal": b"",
        "raw_counted_0.pal": raw_palette(lambda i: (0, 0, 0), count=0),
        "jasc_65536_colours.pal": text_palette(["JASC-PAL", "0100", "65536"], colours),
        "gimp_257_colours.gpl": text_palette(["GIMP Palette"], [(1, 2, 3)] * 257),
        "riff_count_65535.pal": riff_palette(colours, count=65535),
        "riff_chunk_4294967295.pal": b"RIFF" + struct.pack("<I", 20) + b"PAL " + b"LIST"
                                     + struct.pack("<I", 0xFFFFFFFF) + bytes(8),
        "bitmap_cut_in_colour_table.bmp": template()[:54 + 4 * 100 + 2],
        "bitmap_24_bit.bmp": template(colours=0, bits=24, width=3, height=2),
    }


def rle_picture(bits, width, height, stream):
    """An RLE8 (bits 8) or RLE4 (bits 4) picture: a 40-byte header, 16 colours, the stream."""
    body = template(colours=16, colours_used=16, width=width, height=height, bits=bits,
                    compression=1 if bits == 8 else 2, image_size=len(stream), pixels=False)
    return body + stream


def rle_seeds():
    """Pictures of 3 x 2, overmain.bmp's size in pictures.agg and mixed.agg's 13 x 7 below:
    every code (runs, absolute runs with padding, end of line, delta, end of bitmap), runs
    into a row's padding as ImageMagick writes them, and pixels a delta leaves out."""
    return {
        "rle8_rows.bmp": rle_picture(8, 3, 2, bytes([3, 1, 0, 0, 0, 3, 4, 5, 6, 0, 0, 1])),
        "rle8_padding.bmp": rle_picture(8, 3, 2, bytes([3, 2, 1, 0, 0, 0, 4, 7, 0, 1])),
        "rle8_delta.bmp": rle_picture(8, 3, 2, bytes([1, 9, 0, 2, 1, 1, 1, 3, 0, 1])),
        "rle4_rows.bmp": rle_picture(4, 3, 2, bytes([3, 0x12, 0, 0, 0, 3, 0x45, 0x60, 0, 1])),
        "rle4_delta.bmp": rle_picture(4, 3, 2, bytes([0, 2, 2, 1, 1, 0xF0, 0, 1])),
        "rle8_13x7.bmp": rle_picture(8, 13, 7, b"".join(bytes([13, y, 0, 0]) for y in range(7))
                                     + bytes([0, 1])),
    }


def update_seeds(bitmaps):
    """fuzz_update: a u16 length, BASE of that length, then the bitmap for overmain.bmp."""
    archives = sorted((k, v) for k, v in unpack_seeds().items() if k != "empty_directory.agg")
    seeds = {f"{name}+{path.name}": struct.pack("<H", len(base)) + base + path.read_bytes()
             for (name, base), path in zip(itertools.cycle(archives), sorted(bitmaps.iterdir()))}
    for name, base in [(n, b) for n, b in archives if n in ("pictures.agg", "mixed.agg")]:
        pngs = {path.name: path.read_bytes() for path in PNGS.glob("*.png")}
        for bitmap, data in {**rle_seeds(), **pngs}.items():
            seeds[f"{name}+{bitmap}"] = struct.pack("<H", len(base)) + base + data
    return seeds


def write_all(folder, files):
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (folder / name).write_bytes(data)


def main(argv):
    if len(argv) == 3 and argv[1] == "--hostile":
        root = pathlib.Path(argv[2])
        write_all(root / "unpack", hostile_unpack())
        write_all(root / "template", hostile_templates())
        write_all(root / "palette", hostile_palettes())
        return 0
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = pathlib.Path(argv[1])
    write_all(root / "unpack", unpack_seeds())
    write_all(root / "template", template_seeds())
    suite = sorted(BMPSUITE.glob("*/*.bmp"))
    if not suite:
        print(f"make_seeds.py: no BMP Suite images under {BMPSUITE}", file=sys.stderr)
        return 1
    for path in suite:
        shutil.copyfile(path, root / "template" / f"bmpsuite_{path.parent.name}_{path.name}")
    write_all(root / "update", update_seeds(root / "template"))
    write_all(root / "palette", palette_seeds())
    print(f"seeds: {len(unpack_seeds())} archives, "
          f"{len(template_seeds()) + len(suite)} templates, "
          f"{len(palette_seeds())} palettes in {root}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
