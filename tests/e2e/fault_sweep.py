#!/usr/bin/python3
"""Fails, one a run, a system call that carries the data (strace's fault injection, EIO), or
sends a signal as one returns, and checks what the run leaves; and reads the order of a clean
update's syncs and rename. Usage: fault_sweep.py BIN_FOLDER MAKE_SAMPLE_ARCHIVE WORK; exit 0
when all pass, 1 otherwise, 77 (with a note) when strace is missing or cannot trace."""
import os, random, re, shutil, signal, struct, subprocess, sys

BIG = random.Random(7).randbytes(3 << 20)  # streamed in several reads and writes
ON = r"^\d+ +\w+\(\d+<[^>]*"  # a call on the descriptor of the file named next
# (command, call, pattern of its line in a clean run's trace, which match (-1: last), exit code
# or signal, the file the message names and a failed run leaves as it was). "+" fails the call
# from that match on (a failed create is tried again); ":ERRNO" fails it with that error, not
# EIO. Exit 0 where nothing is lost: a file only read fails to close, the in-kernel copy fails
# and the buffered one takes over, another run names a file first and it is renamed over.
ROWS = [
    ("unpack", "openat+", r"dragon\.wlk.*O_CREAT", -1, 1, "dragon.wlk"),
    ("unpack", "pread64", ON + r"big\.agg.*5406, 92\)", 1, 1, "overmain.bmp"),
    ("unpack", "pread64", ON + r"big\.agg.*1048576, 1070807\)", 1, 1, "dragon.wlk"),
    ("unpack", "write", ON + r"overmain\.bmp", 1, 1, "overmain.bmp"),
    ("unpack", "write", ON + r"dragon\.wlk", 2, 1, "dragon.wlk"),
    ("unpack", "close", ON + r"overmain\.bmp", -1, 1, "overmain.bmp"),
    ("unpack", "close", ON + r"dragon\.wlk", -1, 1, "dragon.wlk"),
    ("unpack", "close", ON + r"big\.agg", -1, 0, None),
    ("large", "copy_file_range", ON + r"large\.agg", 1, 0, None),
    ("extract", "write", ON + r"ext/#", 4, 1, "dragon.wlk"),  # no name yet, half written
    ("extract", "linkat", r"ext/dragon\.wlk", 1, 1, "dragon.wlk"),  # named once whole
    ("extract", "linkat:EEXIST", r"ext/dragon\.wlk", 1, 0, None),  # another run named it first
    ("extract", "write", r"^\d+ +write\(1<", 1, 1, None),
    ("update", "pread64", ON + r"big\.agg.*783, 5498\)", 1, 1, "boat.bkg"),
    ("update", "write", ON + r"new\.agg", 2, 1, "new.agg"),
    ("update", "fsync", ON + r"new\.agg", 1, 1, "new.agg"),
    ("update", "rename", r"new\.agg", 1, 1, "new.agg"),
    ("update", "fsync", ON + r"upd>", 1, 1, "upd"),
    ("template", "pread64", ON + r"big\.agg.*768, 6399\)", 1, 1, "kb.pal"),
    ("template", "write", ON + r"t\.bmp", 1, 1, "t.bmp"),  # then in place as update does
    ("unpack", "write", ON + r"dragon\.wlk", 2, signal.SIGTERM, "dragon.wlk"),  # half written
    ("update", "write", ON + r"new\.agg", 2, signal.SIGINT, "new.agg"),
    ("update", "openat", r"new\.agg.*O_CREAT", 1, signal.SIGHUP, "new.agg"),  # just made
]
# How a clean update puts OUT on the disk, every sync and rename in order: the temporary file's
# data, then its new name, then the folder that holds the name.
SYNCS = r"^\d+ +(f(data)?sync|rename(at2?)?)\("
ORDER = [ON + r"new\.agg\.\w+\.tmp>", r"rename.*new\.agg\.\w+\.tmp.*upd/new\.agg\"", ON + r"upd>"]


def build_inputs(make_sample):
    subprocess.run([make_sample, "sample.agg"], check=True)
    data = open("sample.agg", "rb").read()
    count, table = data[0], list(struct.iter_unpack("<Hii", data[2:2 + 10 * data[0]]))
    table.insert(2, (0x2D06, len(data), len(BIG)))  # dragon.wlk, listed between the pictures
    head = b"".join(struct.pack("<Hii", key, at + 10, size) for key, at, size in table)
    open("big.agg", "wb").write(struct.pack("<H", count + 1) + head + data[2 + 10 * count:] + BIG)
    # One member large enough for the in-kernel copy (64 MiB and more).
    open("large.agg", "wb").write(struct.pack("<HHii", 1, 0x2D06, 12, 22 * len(BIG)) + BIG * 22)
    os.makedirs("edited")
    open("edited/dragon.wlk", "wb").write(BIG[::-1])


def tree(folder):  # {} for a folder that is not there
    return {os.path.relpath(os.path.join(d, f), folder): open(os.path.join(d, f), "rb").read()
            for d, _, files in os.walk(folder) for f in files}


def run(argv, options, log, folder, old):  # with `folder` as `old` has it
    shutil.rmtree(folder, ignore_errors=True)
    for name, data in old.items():
        os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, name), "wb").write(data)
    # A run started in the background or by nohup inherits the signal ignored, and keeps it so.
    live = lambda: [signal.signal(s, signal.SIG_DFL) for s in (signal.SIGINT, signal.SIGHUP)]
    # LeakSanitizer cannot work under a tracer and aborts; the other sanitizers still watch.
    env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    return subprocess.run(["strace", "-f", "-qq", "-y", "-o", log] + options + ["--"] + argv,
                          capture_output=True, preexec_fn=live, env=env)


def check(res, folder, old, ref, want, name):
    code, text, now = res.returncode, res.stderr.decode(errors="replace"), tree(folder)
    bad = [] if code in want else ["exit %s, not %s" % (code, want)]
    if code == 1 and not (text.strip() and (name or "") in text):
        bad.append("%s not named in %r" % (name or "nothing", text))
    bad += ["%s left or cut (%d bytes)" % (path, len(data)) for path, data in sorted(now.items())
            if path.endswith(".tmp") or data not in (ref.get(path), old.get(path))]
    bad += [path + " lost" for path in old if path not in now]
    if code != 0 and name in old and now.get(name) == ref[name] != old[name]:
        bad.append(name + " failed, yet replaced what stood there")
    return bad + ["exit 0 but the output is not whole"] * (code == 0 and now != ref)


def main(bin_folder, make_sample, work):
    if not shutil.which("strace") or run(["true"], [], os.devnull, "none", {}).returncode:
        return print("strace cannot trace here: skipped") or (1 if os.environ.get("CI") else 77)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.chdir(work)
    build_inputs(make_sample)
    unpack, vex = (os.path.join(bin_folder, name) for name in ("Marlovexine", "vexagg"))
    old = dict.fromkeys(["overmain.bmp", "dragon.wlk"], b"old")
    commands = {  # arguments, output folder, what stands there before (a bitmap's first bytes)
        "unpack": ([unpack, "big.agg", "out"], "out", old),  # extract runs the same loop
        "large": ([unpack, "large.agg", "large"], "large", {}),
        "extract": ([vex, "extract", "big.agg", "-C", "ext"], "ext", {}),
        "update": ([vex, "update", "big.agg", "edited", "upd/new.agg"], "upd", {"new.agg": b"old"}),
        "template": ([vex, "template", "big.agg", "kb.pal", "tpl/t.bmp"], "tpl", {"t.bmp": b"BM"}),
    }
    names = {re.match(r"\w+", row[1])[0] for row in ROWS} | {"fdatasync", "renameat", "renameat2"}
    traces, refs, traced = {}, {}, ",".join(names)
    for key, (argv, folder, old) in commands.items():
        res = run(argv, ["-e", "trace=" + traced], key + ".trace", folder, old)
        if res.returncode:
            return print("FAIL the clean %s run:" % key, res.stderr.decode()) or 1
        traces[key], refs[key] = open(key + ".trace").read().splitlines(), tree(folder)
    syncs = [line for line in traces["update"] if re.match(SYNCS, line)]
    failed = len(syncs) != len(ORDER) or not all(map(re.search, ORDER, syncs))
    print("FAIL" if failed else "PASS", "update puts OUT on the disk in order", *syncs)
    for row, (key, call, pattern, which, want, name) in enumerate(ROWS):
        (argv, folder, old), (call, error) = commands[key], (call + ":EIO").split(":")[:2]
        call, every, _ = call.partition("+")
        calls = [line for line in traces[key] if re.match(r"\d+ +%s\(" % call, line)]
        # A row whose call is not in the trace asks for call 65535, which never comes: missed.
        hits = [n for n, l in enumerate(calls, 1) if re.search(pattern, l)][which - (which > 0):]
        sent, when = isinstance(want, signal.Signals), "%d%s" % ((hits + [65535])[0], every)
        fault = ("signal=" + want.name if sent else "error=" + error) + ":when=" + when
        res = run(argv, ["-e", "trace=" + call, "-e", "inject=%s:%s" % (call, fault)],
                  "%d.log" % row, folder, old)
        hit = re.findall(r".*\(INJECTED\).*|.+(?=\n\d+ +--- SIG)", open("%d.log" % row).read())
        bad = [] if hit and re.search(pattern, hit[0]) else ["missed: %r" % hit[:1]]  # or signalled
        bad += check(res, folder, old, refs[key], [-want, 128 + want] if sent else [want], name)
        print("FAIL" if bad else "PASS", key, call, pattern.replace(ON, "on "), which, fault, *bad)
        failed += bool(bad)
    if not failed:  # 200 MiB of archives and outputs
        shutil.rmtree(work)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
