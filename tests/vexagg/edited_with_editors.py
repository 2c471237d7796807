#!/usr/bin/python3
"""The editing loop with the editors users have and their default save options: unpack the
sample archive, flop one picture with ImageMagick (which saves 8-bit pictures as RLE8) and one
with GraphicsMagick, save the others as 24-bit files with ImageMagick and Pillow (the default
palette holds black and white twice), put them back with vexagg update and unpack the result. The flopped
pictures must hold the mirrored indices of the originals; the others must come back byte for
byte, though their colours matched two indices.

Usage: edited_with_editors.py BIN_FOLDER MAKE_SAMPLE_ARCHIVE WORK_FOLDER
Exit status 0 on success, 1 on a failure, 77 (skipped) when an editor is missing; with CI
set, a missing editor fails.
"""
import filecmp
import os
import shutil
import subprocess
import sys

try:
    from PIL import Image, ImageOps
except ImportError:
    Image = None


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)


def main(bin_folder, make_sample, work):
    if Image is None or not shutil.which("mogrify") or not shutil.which("gm"):
        print("Pillow, ImageMagick or GraphicsMagick is missing")
        return 1 if os.environ.get("CI") else 77
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.chdir(work)
    run(make_sample, "sample.agg")
    run(os.path.join(bin_folder, "Marlovexine"), "sample.agg", "original")
    shutil.copytree("original", "edited")
    run("mogrify", "-flop", "edited/overmain.bmp")
    run("gm", "mogrify", "-flop", "edited/boat.bkg.bmp")
    # left.bmp uses indices 216 and 255, whose colours (black, white) stand twice.
    run("convert", "edited/left.bmp", "-type", "TrueColor", "BMP3:edited/left.bmp")
    Image.open("edited/bordedit.BMP").convert("RGB").save("edited/bordedit.BMP")
    run(os.path.join(bin_folder, "vexagg"), "update", "sample.agg", "edited", "new.agg")
    run(os.path.join(bin_folder, "Marlovexine"), "new.agg", "result")
    failures = []
    for name in ("overmain.bmp", "boat.bkg.bmp"):
        expected = ImageOps.mirror(Image.open("original/" + name))
        if list(Image.open("result/" + name).getdata()) != list(expected.getdata()):
            failures.append(name + ": not the mirrored indices")
    for name in ("left.bmp", "bordedit.BMP"):
        if not filecmp.cmp("original/" + name, "result/" + name, shallow=False):
            failures.append(name + ": changed, though only its file format was")
    print("\n".join(failures) or "every edit came back as made")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
