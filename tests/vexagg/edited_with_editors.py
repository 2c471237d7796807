#!/usr/bin/python3
"""The editing loop with the editors users have and their default save options: unpack the
sample archive, flop one picture with ImageMagick (which saves 8-bit pictures as RLE8) and one
with GraphicsMagick, save the others as 24-bit files with ImageMagick and Pillow (the default
palette holds black and white twice), put them back with vexagg update and unpack the result.
The flopped pictures must hold the mirrored indices of the originals; the others must come back
byte for byte, though their colours matched two indices. Then the same with every picture saved
as PNG of each kind, with the PNG files extract --png writes, and with an area erased to
transparency.

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
    failures = compare(bin_folder, "edited", ["overmain.bmp", "boat.bkg.bmp"])
    # Every picture saved as PNG of each kind, overmain mirrored on the way; ImageMagick's by
    # format name (PNG8 is indexed in a palette of its own), Pillow's by mode (P keeps the
    # template's palette and the indices).
    pictures = [n for n in os.listdir("original") if n.lower().endswith(".bmp")]
    for kind in ["PNG8", "PNG24", "PNG32", "PNG48", "PNG64", "interlaced", "P", "RGB", "RGBA"]:
        shutil.copytree("original", kind)
        for name in pictures:
            source, png = "original/" + name, kind + "/" + name[:-4] + ".png"
            flop = name == "overmain.bmp"
            os.remove(kind + "/" + name)
            if kind.startswith("PNG") or kind == "interlaced":
                options = ["-flop"] * flop + (["-interlace", "PNG"] if kind == "interlaced" else [])
                format = "PNG24" if kind == "interlaced" else kind
                run("convert", source, *options, format + ":" + png)
            else:
                image = Image.open(source)
                (ImageOps.mirror(image) if flop else image).convert(kind).save(png)
        failures += compare(bin_folder, kind, ["overmain.bmp"])
    # extract --png: indexed files in the template's colours, which come back byte for byte,
    # and after a mirror by Pillow as it was made.
    run(os.path.join(bin_folder, "vexagg"), "extract", "sample.agg", "--png", "-C", "xpng")
    for name in pictures:
        png, bmp = Image.open("xpng/" + name[:-4] + ".png"), Image.open("original/" + name)
        if (png.mode, png.getpalette(), list(png.getdata())) != (
                "P", bmp.getpalette(), list(bmp.getdata())):
            failures.append(name + ": extract --png wrote other colours or indices")
    failures += compare(bin_folder, "xpng", [])
    ImageOps.mirror(Image.open("xpng/overmain.png")).save("xpng/overmain.png")
    failures += compare(bin_folder, "xpng", ["overmain.bmp"])
    # An area erased to transparency is refused, then takes the index --transparent names.
    image = Image.open("original/overmain.bmp").convert("RGBA")
    image.paste((0, 0, 0, 0), (2, 3, 6, 5))
    image.save("xpng/overmain.png")
    update = [os.path.join(bin_folder, "vexagg"), "update", "sample.agg", "xpng", "new.agg"]
    if subprocess.run(update, capture_output=True).returncode != 1:
        failures.append("overmain.png: transparent pixels taken without --transparent")
    run(*update, "--transparent", "7")
    run(os.path.join(bin_folder, "Marlovexine"), "new.agg", "result")
    expected = Image.open("original/overmain.bmp")
    expected.paste(7, (2, 3, 6, 5))
    if list(Image.open("result/overmain.bmp").getdata()) != list(expected.getdata()):
        failures.append("overmain.png: not index 7 exactly where it was erased")
    print("\n".join(failures) or "every edit came back as made")
    return 1 if failures else 0


# Puts `folder` back into the sample archive and unpacks it: the pictures named in `mirrored`
# must hold the mirrored indices of the originals, every other file the original's bytes.
def compare(bin_folder, folder, mirrored):
    run(os.path.join(bin_folder, "vexagg"), "update", "sample.agg", folder, "new.agg")
    shutil.rmtree("result", ignore_errors=True)
    run(os.path.join(bin_folder, "Marlovexine"), "new.agg", "result")
    failures = []
    for name in os.listdir("original"):
        if name in mirrored:
            expected = ImageOps.mirror(Image.open("original/" + name))
            if list(Image.open("result/" + name).getdata()) != list(expected.getdata()):
                failures.append("%s: %s: not the mirrored indices" % (folder, name))
        elif not filecmp.cmp("original/" + name, "result/" + name, shallow=False):
            failures.append("%s: %s: changed, though only its file format was" % (folder, name))
    return failures


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
