#!/usr/bin/python3
"""The gallery page in headless Chromium: for the sample archive, and for one made from it with
two palette members of the test's own (kb.pal replaced, combat.pal added) and a --palette file,
every palette option is chosen in turn and every canvas's pixels must be the member's indices
in that palette's colours, as this test computes them from the archive and the palettes.

Usage: gallery_in_browser.py BIN_FOLDER MAKE_SAMPLE_ARCHIVE WORK_FOLDER
Exit status 0 on success, 1 on a failure, 77 (skipped) without chromium; with CI set, fails.
"""
import base64, json, os, shutil, struct, subprocess, sys

CHECK = """<script>(function () {
  var want = %s, select = document.getElementById('palette'), out = [];
  if (select.options.length !== want.length) out.push('FAIL options ' + select.options.length);
  want.forEach(function (pictures, p) {
    select.selectedIndex = p;
    var t = performance.now();
    select.dispatchEvent(new Event('change'));
    out.push('redraw ' + (performance.now() - t).toFixed(1) + ' ms');
    var canvases = document.querySelectorAll('canvas[data-member]');
    if (canvases.length !== Object.keys(pictures).length) out.push('FAIL canvases ' + canvases.length);
    canvases.forEach(function (c) {
      var got = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      var rgba = atob(pictures[c.getAttribute('data-member')] || ''), i = 0;
      while (i < got.length && got.length === rgba.length && got[i] === rgba.charCodeAt(i)) i++;
      if (i !== got.length || !rgba.length) out.push('FAIL ' + p + ' ' + c.getAttribute('data-member') + ' at ' + i);
    });
  });
  var result = document.createElement('pre');
  result.id = 'result';
  result.textContent = (out.join('\\n').indexOf('FAIL') < 0 ? 'PASS\\n' : '') + out.join('\\n');
  document.body.appendChild(result);
})();</script>"""


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def bmp_colours(data):  # an info-header bitmap's colour table, padded to 256 with black
    header, used = struct.unpack_from("<I", data, 14)[0], struct.unpack_from("<I", data, 46)[0]
    table = data[14 + header:14 + header + 4 * (used or 256)]
    return [(table[i + 2], table[i + 1], table[i]) for i in range(0, len(table), 4)]


def raw_colours(data):  # 768 bytes; all 63 or less means 6-bit values
    scale = (lambda v: v << 2 | v >> 4) if max(data) <= 63 else (lambda v: v)
    return [tuple(scale(v) for v in data[i:i + 3]) for i in range(0, 768, 3)]


def expected(archive, template, files, bin_folder):
    data = open(archive, "rb").read()
    rows = [r.split("\t") for r in run(bin_folder + "/vexagg", "list", archive).splitlines()[1:]]
    palettes = [bmp_colours(open(template, "rb").read())]
    palettes += [raw_colours(data[int(r[3]):int(r[3]) + int(r[4])]) for r in rows
                 if r[2].endswith(".pal")] + files
    want = [{} for _ in palettes]
    for r in (r for r in rows if r[5].startswith("picture ")):
        at = int(r[3]) + 6
        w, h = map(int, r[5][8:].split("x"))
        for p, colours in enumerate(palettes):
            colours = colours + [(0, 0, 0)] * (256 - len(colours))
            rgba = bytes(c for i in data[at:at + w * h] for c in colours[i] + (255,))
            want[p][r[2]] = base64.b64encode(rgba).decode()
    return want


def check(chromium, bin_folder, archive, files, *options):
    page = archive[:-4] + ".html"
    run(bin_folder + "/vexagg", "gallery", archive, page, *options)
    want = expected(archive, bin_folder + "/TivPalette.bmp", files, bin_folder)
    text = open(page).read().replace("</body>", CHECK % json.dumps(want) + "</body>")
    open(page[:-5] + "-checked.html", "w").write(text)
    dom = run(chromium, "--headless", "--no-sandbox", "--disable-gpu",
              "--virtual-time-budget=10000", "--dump-dom", "file://" + page[:-5] + "-checked.html")
    result = dom[dom.find('<pre id="result">'):dom.find("</pre>", dom.find('id="result"'))]
    print(archive, result)
    return result.startswith('<pre id="result">PASS') and len(want[0]) > 0


def main(bin_folder, make_sample, work):
    chromium = shutil.which("chromium")
    if not chromium:
        print("chromium is missing: the page is not checked in a browser")
        return 1 if os.environ.get("CI") else 77
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work + "/edit")
    os.chdir(work)
    run(make_sample, "sample.agg")
    kb = bytes((3 * i + 100) % 256 for i in range(768))
    combat = bytes(255 - (7 * i) % 256 for i in range(768))
    open("edit/kb.pal", "wb").write(kb)
    open("edit/combat.pal", "wb").write(combat)
    open("warm.pal", "w").write("JASC-PAL\n0100\n3\n255 128 0\n10 20 30\n200 0 90\n")
    run(bin_folder + "/vexagg", "update", "--add", "sample.agg", "edit", "own.agg")
    warm = [(255, 128, 0), (10, 20, 30), (200, 0, 90)]
    ok = check(chromium, bin_folder, work + "/sample.agg", [])
    ok &= check(chromium, bin_folder, work + "/own.agg", [warm], "--palette", "warm.pal")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
