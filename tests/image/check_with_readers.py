#!/usr/bin/python3
"""Opens, with the bitmap readers that users have (Pillow, ImageMagick, GraphicsMagick and
netpbm's bmptopnm), the pictures that bmpsuite_test converted with each of the BMP Suite's
palette templates. Each must open in every reader at 19 x 14, each index inside the template's
colour table showing the template's colour (as Pillow reads the template) and each index past
it black. Pillow also checks the indices, the header style and the resolution.

Usage: check_with_readers.py CONVERTED_FOLDER SUITE_FOLDER
Exit status 0 when every file passes in every reader, 1 when one fails, 77 (skipped) when the
suite is absent or a reader is not installed; with CI set, a missing reader fails.
"""
import io
import os
import shutil
import subprocess
import sys

WIDTH, HEIGHT = 19, 14
# The readers that print the picture as a netpbm image, which Pillow then only unpacks.
COMMANDS = {"ImageMagick": ["convert", "FILE", "ppm:-"],
            "GraphicsMagick": ["gm", "convert", "FILE", "ppm:-"],
            "netpbm": ["bmptopnm", "FILE"]}


def pattern(x, y):
    """The indices bmpsuite_test draws (SuitePattern there), y counted from the top."""
    return ((y * WIDTH + x) * 37 + 11) % 256


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


def read_with(image_module, reader, path):
    """The size and RGB pixels of the file as `reader` decodes it; raises when it refuses."""
    if reader != "Pillow":
        result = subprocess.run([path if arg == "FILE" else arg for arg in COMMANDS[reader]],
                                capture_output=True, timeout=60, check=False)
        if result.returncode != 0:
            reason = result.stderr.decode(errors="replace").strip().splitlines()
            raise ValueError(reason[-1] if reason else f"exit status {result.returncode}")
        path = io.BytesIO(result.stdout)
    with image_module.open(path) as image:
        return image.size, list(image.convert("RGB").getdata())


def pillow_details(image_module, source, written):
    """What Pillow finds wrong in `written` beyond its colours, against its source."""
    problems = []
    with image_module.open(source) as src, image_module.open(written) as out:
        if (out.format, out.mode) != ("BMP", "P"):
            problems.append(f"opens as {out.format} {out.mode}")
        if list(out.getdata()) != [pattern(x, y) for y in range(HEIGHT) for x in range(WIDTH)]:
            problems.append("indices differ from the drawn picture")
        if out.info.get("dpi") != src.info.get("dpi"):
            problems.append(f"resolution {out.info.get('dpi')}, source {src.info.get('dpi')}")
    wanted_header = 12 if header_size(source) == 12 else 40
    if header_size(written) != wanted_header:
        problems.append(f"header size {header_size(written)}, expected {wanted_header}")
    return problems


def check(image_module, readers, source, written):
    """The problems of one converted file, as texts."""
    if not os.path.exists(written):
        return ["not converted"]
    with image_module.open(source) as src:
        palette = src.getpalette()
    table = [tuple(palette[i:i + 3]) for i in range(0, len(palette), 3)]
    indices = [pattern(x, y) for y in range(HEIGHT) for x in range(WIDTH)]
    wanted = [table[i] if i < len(table) else (0, 0, 0) for i in indices]
    problems = []
    for reader in readers:
        try:
            size, pixels = read_with(image_module, reader, written)
        except Exception as error:  # a file a reader refuses fails, with the reader's reason
            problems.append(f"{reader} cannot open it: {error}")
            continue
        wrong = [i for i, (got, want) in enumerate(zip(pixels, wanted)) if got != want]
        if size != (WIDTH, HEIGHT):
            problems.append(f"{reader} opens it at {size[0]} x {size[1]}")
        elif wrong:
            problems.append(f"{reader} shows {len(wrong)} pixels wrong, the first index "
                            f"{indices[wrong[0]]} as {pixels[wrong[0]]}, not {wanted[wrong[0]]}")
        if reader == "Pillow":
            problems += pillow_details(image_module, source, written)
    return problems


def main(converted, suite):
    if not os.path.isdir(suite):
        print(f"skipped: BMP Suite folder absent: {suite}")
        return 77
    ci = bool(os.environ.get("CI"))
    try:
        from PIL import Image  # it also reads the templates' colours, so no check runs without
    except ImportError:
        print("Pillow (python3-pil) is not installed" + (": CI needs it" if ci else ": skipped"))
        return 1 if ci else 77
    readers = ["Pillow"] + [name for name, command in COMMANDS.items() if shutil.which(command[0])]
    missing = [name for name in COMMANDS if name not in readers]
    if missing:
        print(f"not installed: {', '.join(missing)}" + (": CI needs them" if ci else ": not checked"))
    names = template_files(suite)
    failures = 0
    for name in names:
        written = os.path.join(converted, name.replace("/", "_"))
        problems = check(Image, readers, os.path.join(suite, name), written)
        print(f"{name}: {'ok' if not problems else '; '.join(problems)}")
        failures += bool(problems)
    if len(names) != 19:
        print(f"PROVENANCE.md lists {len(names)} templates, 19 expected")
        failures += 1
    print(f"{len(names) - failures} of {len(names)} converted templates pass in "
          f"{', '.join(readers)}")
    if failures or (missing and ci):
        return 1
    return 77 if missing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
