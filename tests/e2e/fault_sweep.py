#!/usr/bin/python3
"""Makes the system calls that carry the data fail for real (strace's fault injection, EIO),
one a run, in the unpack, vexagg extract, update and template, or holds one while a signal
comes, and checks what each run leaves: exit 1 with a message that names the file, no
temporary file, under every name what stood there before or what a clean run writes, never a
cut file. The call is picked in a clean run's trace, so it lands where it is meant to.

Usage: fault_sweep.py BIN_FOLDER MAKE_SAMPLE_ARCHIVE WORK_FOLDER
Exit status 0 when every run passes, 1 otherwise, 77 (skipped) when strace is missing or may
not trace; with CI set, that fails.
"""
import os, random, re, shutil, signal, struct, subprocess, sys, time

BIG = random.Random(7).randbytes(3 << 20)  # streamed in several reads and writes
ON = r"^\d+ +\w+\(\d+<[^>]*"  # a call on the descriptor of the file named next
# (command, call, pattern of its line in a clean trace, which match (-1: last), exit code,
# name the message must give). "+" fails the call from that match on: a failed create is
# tried again once the folder is made. Exit 0 where nothing is lost: closing a file only read,
# and a failed in-kernel copy, which the buffered copy takes over. With a signal for the exit
# code, the call is held two seconds and the signal comes once a file in the output folder
# has the last field's size.
ROWS = [
    ("unpack", "openat", r"big\.agg", 1, 1, "big.agg"),
    ("unpack", "openat+", r"dragon\.wlk.*O_CREAT", -1, 1, "dragon.wlk"),
    ("unpack", "pread64", ON + r"big\.agg", 2, 1, "big.agg"),
    ("unpack", "pread64", ON + r"big\.agg.*5406, 92\)", 1, 1, "overmain.bmp"),
    ("unpack", "pread64", ON + r"big\.agg.*1048576, 1054857\)", 1, 1, "dragon.wlk"),
    ("unpack", "write", ON + r"overmain\.bmp", 1, 1, "overmain.bmp"),
    ("unpack", "write", ON + r"dragon\.wlk", 2, 1, "dragon.wlk"),
    ("unpack", "close", ON + r"dragon\.wlk", -1, 1, "dragon.wlk"),
    ("unpack", "close", ON + r"big\.agg", -1, 0, None),
    ("unpack", "rename", r"dragon\.wlk", 1, 1, "dragon.wlk"),
    ("large", "copy_file_range", ON + r"large\.agg", 1, 0, None),
    ("extract", "openat+", r"dragon\.wlk.*O_CREAT", -1, 1, "dragon.wlk"),
    ("extract", "write", ON + r"dragon\.wlk", -1, 1, "dragon.wlk"),
    ("extract", "write", ON + r"font\.icn", 1, 1, "font.icn"),
    ("extract", "rename", r"left\.bmp", 1, 1, "left.bmp"),
    ("extract", "write", r"^\d+ +write\(1<", 1, 1, None),
    ("update", "openat+", r"new\.agg.*O_CREAT", 1, 1, "new.agg"),
    ("update", "newfstatat", ON + r"edited/dragon\.wlk", 1, 1, "dragon.wlk"),
    ("update", "pread64", ON + r"edited/dragon\.wlk", 2, 1, "dragon.wlk"),
    ("update", "pread64", ON + r"big\.agg.*783, 5498\)", 1, 1, "boat.bkg"),
    ("update", "write", ON + r"new\.agg", 2, 1, "new.agg"),
    ("update", "fsync", ON + r"new\.agg", 1, 1, "new.agg"),
    ("update", "close", ON + r"new\.agg", -1, 1, "new.agg"),
    ("update", "rename", r"new\.agg", 1, 1, "new.agg"),
    ("update", "fsync", ON + r"upd>", 1, 1, "upd"),
    ("template", "pread64", ON + r"big\.agg.*768, 3152127\)", 1, 1, "kb.pal"),
    ("template", "openat+", r"t\.bmp.*O_CREAT", -1, 1, "t.bmp"),
    ("template", "write", ON + r"t\.bmp", 1, 1, "t.bmp"),
    ("template", "close", ON + r"t\.bmp", -1, 1, "t.bmp"),  # not the look at OUT
    ("template", "fsync", ON + r"t\.bmp", 1, 1, "t.bmp"),
    ("template", "rename", r"t\.bmp", 1, 1, "t.bmp"),
    ("unpack", "write", ON + r"dragon\.wlk", 2, signal.SIGTERM, 2 << 20),
    ("extract", "openat", r"dragon\.wlk.*O_CREAT", -1, signal.SIGHUP, 0),
    ("update", "write", ON + r"new\.agg", 2, signal.SIGINT, 2 << 20),
]


def build_inputs(make_sample):
    subprocess.run([make_sample, "sample.agg"], check=True)
    data = open("sample.agg", "rb").read()
    entries = [struct.unpack_from("<Hii", data, 2 + 10 * i) for i in range(data[0])]
    members = [(key, data[at:at + size]) for key, at, size in entries]
    members.insert(2, (0x2D06, BIG))  # dragon.wlk, between the pictures
    head, at = struct.pack("<H", len(members)), 2 + 10 * len(members)
    for key, member in members:
        head, at = head + struct.pack("<Hii", key, at, len(member)), at + len(member)
    open("big.agg", "wb").write(head + b"".join(member for _, member in members))
    # One member large enough for the in-kernel copy (64 MiB and more).
    open("large.agg", "wb").write(struct.pack("<HHii", 1, 0x2D06, 12, 22 * len(BIG)) + BIG * 22)
    os.makedirs("edited")
    open("edited/dragon.wlk", "wb").write(BIG[::-1])
    open("edited/font.icn", "wb").write(b"x" * 5000)


def tree(folder):  # {} for a folder that is not there
    return {os.path.relpath(os.path.join(d, f), folder): open(os.path.join(d, f), "rb").read()
            for d, _, files in os.walk(folder) for f in files}


def prepare(folder, old):
    shutil.rmtree(folder, ignore_errors=True)
    if old is not None:
        os.makedirs(folder)
        for name, data in old.items():
            open(os.path.join(folder, name), "wb").write(data)


def strace(argv, options, log):
    return ["strace", "-f", "-qq", "-y", "-o", log] + options + ["--"] + argv


def call_number(lines, call, pattern, which):
    calls = [line for line in lines if re.match(r"\d+ +%s\(" % call, line)]
    hits = [i + 1 for i, line in enumerate(calls) if re.search(pattern, line)]
    return hits[which - 1 if which > 0 else which] if len(hits) >= abs(which) else None


def check(code, stderr, folder, old, ref, want, name):
    bad = [] if code in want else ["exit %s, not %s" % (code, "/".join(map(str, want)))]
    lines = stderr.decode(errors="replace").splitlines()
    if code == 1 and not "".join(lines).strip():
        bad.append("no message")
    elif code == 1 and name and not any(name in line for line in lines):
        bad.append("%s not named in %r" % (name, lines))
    now, old = tree(folder), old or {}
    for path, data in sorted(now.items()):
        if path.endswith(".tmp"):
            bad.append(path + " left")
        elif data != ref.get(path) and data != old.get(path):
            bad.append("%s cut or stray (%d bytes)" % (path, len(data)))
    bad += [path + " lost" for path in old if path not in now]
    if code == 1 and name in old and now.get(name) == ref[name] != old[name]:
        bad.append(name + " failed, yet replaced what stood there")
    if code == 0 and now != ref:
        bad.append("exit 0 but the output is not whole")
    return bad


def parent_of(pid):
    try:
        return int(open("/proc/%s/stat" % pid).read().rsplit(")", 1)[1].split()[1])
    except OSError:  # gone meanwhile
        return None


def biggest(folder):  # the size of the largest file in `folder`, which the run is changing
    try:
        return max((os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(folder)
                    for f in files), default=-1)
    except OSError:  # renamed or removed meanwhile
        return -1


def signalled(argv, options, folder, size, sig):
    # A run started in the background inherits SIGINT ignored, and then rightly keeps it so:
    # the signal is made live again, as in a terminal.
    proc = subprocess.Popen(strace(argv, options, os.devnull), stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE,
                            preexec_fn=lambda: signal.signal(sig, signal.SIG_DFL))
    deadline = time.time() + 20
    while time.time() < deadline and biggest(folder) < size:
        time.sleep(0.02)
    # The tracee is strace's child; the signal goes to it, as a user's would.
    tracee = [int(p) for p in filter(str.isdigit, os.listdir("/proc")) if parent_of(p) == proc.pid]
    os.kill(tracee[0], sig) if tracee and time.time() < deadline else proc.kill()
    return proc.wait(), proc.communicate()[1]


def main(bin_folder, make_sample, work):
    probe = shutil.which("strace") and subprocess.run(strace(["true"], [], os.devnull))
    if not probe or probe.returncode != 0:
        print("strace is missing or may not trace here: the fault sweep is skipped")
        return 1 if os.environ.get("CI") else 77
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.chdir(work)
    build_inputs(make_sample)
    vexagg = os.path.join(bin_folder, "vexagg")
    commands = {
        "unpack": ([os.path.join(bin_folder, "Marlovexine"), "big.agg", "out"], "out",
                   {n: b"old " + n.encode() for n in ("overmain.bmp", "dragon.wlk", "font.icn")}),
        "large": ([os.path.join(bin_folder, "Marlovexine"), "large.agg", "large"], "large", None),
        "extract": ([vexagg, "extract", "big.agg", "-C", "ext"], "ext", None),
        "update": ([vexagg, "update", "big.agg", "edited", "upd/new.agg"], "upd",
                   {"new.agg": b"old OUT\n"}),
        "template": ([vexagg, "template", "big.agg", "kb.pal", "tpl/t.bmp"], "tpl",
                     {"t.bmp": b"BM old OUT\n"}),  # a bitmap, by its first bytes
    }
    traces, refs, traced = {}, {}, ",".join({row[1].rstrip("+") for row in ROWS})
    for key, (argv, folder, old) in commands.items():
        prepare(folder, old)
        clean = subprocess.run(strace(argv, ["-e", "trace=" + traced], key + ".trace"),
                               capture_output=True)
        if clean.returncode != 0:
            print("FAIL clean %s run: exit %d %r" % (key, clean.returncode, clean.stderr))
            return 1
        traces[key], refs[key] = open(key + ".trace").read().splitlines(), tree(folder)
    failed = passed = 0
    for key, call, pattern, which, want, more in ROWS:
        (argv, folder, old), name = commands[key], call.rstrip("+")
        what = "%s %s %s #%d" % (key, call, pattern.replace(ON, "on "), which)
        n = call_number(traces[key], name, pattern, which)
        if n is None:
            print("NOT CALLED " + what)
            continue
        prepare(folder, old)
        if isinstance(want, signal.Signals):
            what += ", %s while held" % want.name
            options = ["-e", "inject=%s:delay_exit=2000000:when=%d" % (name, n)]
            code, stderr = signalled(argv, options, folder, more, want)
            bad = check(code, stderr, folder, old, refs[key], [-want, 128 + want], None)
        else:
            when = "%d%s" % (n, "+" * call.endswith("+"))
            options = ["-e", "trace=" + name, "-e", "inject=%s:error=EIO:when=%s" % (name, when)]
            open(key + ".log", "w").close()  # no earlier run's log read as this one's
            res = subprocess.run(strace(argv, options, key + ".log"), capture_output=True)
            hit = [line for line in open(key + ".log") if "(INJECTED)" in line]
            bad = [] if hit and re.search(pattern, hit[0]) else ["missed: %r" % hit[:1]]
            bad += check(res.returncode, res.stderr, folder, old, refs[key], [want], more)
        print("%s %s (call %d)%s" % ("FAIL" if bad else "PASS", what, n,
                                     ": " + "; ".join(bad) if bad else ""))
        failed, passed = failed + bool(bad), passed + (not bad)
    print("%d passed, %d failed" % (passed, failed))
    if not failed:  # 200 MiB of archives and outputs
        os.chdir("/")
        shutil.rmtree(work)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
