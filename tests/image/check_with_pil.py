#!/usr/bin/python3
"""Checks, with an independent decoder (Pillow), the files that bmpsuite_test rebuilt at
5 x 3 from the BMP Suite's palette templates: each must open as an 8-bit palette image of
5 x 3 whose 256 colours are the source file's, then black, whose pixels are the drawn
pattern, and whose header style and resolution are the source's.

Usage: check_with_pil.py REBUILT_FOLDER SUITE_FOLDER
Exit status 0 when every file passes, 1 when one fails, 77 (skipped) when the suite is absent.
"""
import os
import sys


def pattern(x, y):
    """The pixels bmpsuite_test draws (SuitePattern there), y counted from the top."""
    return 10 * y + 2 * x + 1


def template_files(suite):
    """The files whose verdict column in PROVENANCE.md says "template"."""
    names = []
    with open(os.path.join(suite, "PROVENANCE.md"), encoding="utf-8") as table:
        for line in table:
            cells = [cell.strip() for cell in line.split("|")]
            if len(cells) > 11 and cells[11] == "template":
                names.append(cells[1].strip("`"))
    return names


def header_size(path):
    with open(path, "rb") as f:
        return int.from_bytes(f.read(18)[14:18], "little")


def check(image_module, rebuilt, suite, name):
    """The problems of one rebuilt file, as texts."""
    source = os.path.join(suite, name)
    written = os.path.join(rebuilt, name.replace("/", "_"))
    if not os.path.exists(written):
        return ["not rebuilt"]
    with image_module.open(source) as src:
        colours, dpi = src.getpalette(), src.info.get("dpi")
    try:
        return compare(image_module, source, written, colours, dpi)
    except Exception as error:  # a file Pillow cannot decode fails the check, with the reason
        return [f"cannot be decoded: {error}"]


def compare(image_module, source, written, colours, dpi):
    """What Pillow finds wrong in `written`, against its source's colours and resolution."""
    problems = []
    with image_module.open(written) as out:
        out.load()
        if (out.format, out.mode, out.size) != ("BMP", "P", (5, 3)):
            problems.append(f"opens as {out.format} {out.mode} {out.size}")
        if out.getpalette() != colours + [0] * (3 * 256 - len(colours)):  # then black entries
            problems.append(f"colours differ ({len(out.getpalette()) // 3} entries, "
                            f"source {len(colours) // 3})")
        expected = [pattern(x, y) for y in range(3) for x in range(5)]
        if list(out.getdata()) != expected:
            problems.append(f"pixels {list(out.getdata())}, expected {expected}")
        if out.info.get("dpi") != dpi:
            problems.append(f"resolution {out.info.get('dpi')}, source {dpi}")
    wanted_header = 12 if header_size(source) == 12 else 40
    if header_size(written) != wanted_header:
        problems.append(f"header size {header_size(written)}, expected {wanted_header}")
    return problems


def main(rebuilt, suite):
    if not os.path.isdir(suite):
        print(f"skipped: BMP Suite folder absent: {suite}")
        return 77
    try:
        from PIL import Image
    except ImportError:
        print("python3-pil is not installed; it is the decoder this check relies on")
        return 1
    names = template_files(suite)
    failures = 0
    for name in names:
        problems = check(Image, rebuilt, suite, name)
        print(f"{name}: {'ok' if not problems else '; '.join(problems)}")
        failures += bool(problems)
    if len(names) != 19:
        print(f"PROVENANCE.md lists {len(names)} templates, 19 expected")
        failures += 1
    print(f"{len(names) - failures} of {len(names)} rebuilt templates pass")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
