#!/usr/bin/env python3
"""Runs the Windows build of Marlovexine under Wine on archives built here.

Every run goes through a .bat file started with `wine cmd /c`, so the command line reaches the
program exactly as written (Wine re-quotes arguments given on its own command line). What the
program shows is read from Wine's relay trace, with process ids: each
`Call user32.MessageBoxA(...)` line gives the owner, text, caption and flags of a box (without
a display the box fails at once, which is all the run needs). The same trace shows the Win32
calls the program makes, with their flags, share modes and buffer sizes.

Usage: run_wine_e2e.py --exe Marlovexine.exe --helper wine_helper.exe --work FOLDER [--dbcs]
WINEPREFIX must name a prefix whose wineserver is already running. With --dbcs only the
double-byte cases run, under LC_ALL=ja_JP.UTF-8 (code page 932), which must be installed.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from agg_archive import UNKNOWN_KEY, Archive, expected_bitmap, key_of, pattern, raw_image

CAPTION = b"Marlovexine"
INFORMATION = 0x40
ERROR = 0x10
SUCCESS = b"Operation succesful."
USAGE_HEAD = (
    b"Marlovexine v1.1\r\n"
    b"Usage: Marlovexine.exe Archive.agg [Folder]\r\n"
    b"Folder defaults to the archive name without extension.\r\n"
    b"\r\n"
)

# Win32 error codes the failures below provoke.
FILE_NOT_FOUND = 2
ACCESS_DENIED = 5
SHARING_VIOLATION = 32
ALREADY_EXISTS = 183

# The calls the relay trace reports; everything else stays out of it.
RELAYED = (
    "user32.MessageBoxA;user32.GetSystemMetrics;GetCommandLineA;GetModuleFileNameA;"
    "GetFullPathNameA;GetFileAttributesA;CreateDirectoryA;CreateFileA;ReadFile;WriteFile;MoveFileExA;"
    "SetFilePointer;FormatMessageA;GetCPInfo"
)

CONFIG = None  # set by main()


class Config:
    def __init__(self, args):
        self.exe = os.path.abspath(args.exe)
        self.helper = os.path.abspath(args.helper)
        self.work = os.path.abspath(args.work)
        self.dbcs = args.dbcs
        with open(os.path.join(os.path.dirname(self.exe), "TivPalette.bmp"), "rb") as f:
            self.template = f.read()
        self.image_range = image_range(self.exe)
        self.texts = {}

    def windows_path(self, path):
        """The path as the program sees it: "/" is drive Z: in every Wine prefix."""
        return b"Z:" + os.fsencode(os.path.abspath(path)).replace(b"/", b"\\")


def image_range(exe):
    """Where the executable's image lies in memory, from its PE header: calls whose return
    address falls inside it are the program's own."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic == 0x20B:
        base = struct.unpack_from("<Q", data, optional + 24)[0]
    else:
        base = struct.unpack_from("<I", data, optional + 28)[0]
    size = struct.unpack_from("<I", data, optional + 56)[0]
    return base, base + size


def wine_env(**extra):
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all"
    env.update(extra)
    return env


def trim_system_text(raw):
    """The system's text without trailing bytes of 0x20 and below and periods."""
    n = len(raw)
    while n > 0 and (raw[n - 1] <= 0x20 or raw[n - 1] == ord(".")):
        n -= 1
    return raw[:n]


def load_system_texts(codes):
    """The system's own texts for `codes`, read by a separate Windows program."""
    helper = ["wine", CONFIG.helper, "text"] + [str(c) for c in codes]
    out = subprocess.run(helper, env=wine_env(), stdout=subprocess.PIPE, check=True).stdout
    for line in out.splitlines():
        code, hex_text = line.split()
        raw = b"" if hex_text == b"-" else bytes.fromhex(hex_text.decode())
        CONFIG.texts[int(code)] = trim_system_text(raw)


def os_error(code):
    return b"System Error.  Code: %d.\r\n%s" % (code, CONFIG.texts[code])


# ---------------------------------------------------------------------------------------------
# The relay trace

# Lines of WINEDEBUG=+pid,+relay: process and thread id, then the call.
CALL = re.compile(rb"^([0-9a-f]+):[0-9a-f]+:Call (\w+)\.(\w+)\((.*)\) ret=([0-9a-f]+)$")
# The last line of a process that ends: after it, its id may belong to another process.
DETACH = re.compile(rb'^([0-9a-f]+):[0-9a-f]+:Call PE DLL \(.*L"ntdll\.dll",reason=PROCESS_DETACH')
ESCAPES = {b"n": b"\n", b"r": b"\r", b"t": b"\t", b'"': b'"', b"\\": b"\\"}


class TraceError(Exception):
    pass


def parse_arguments(text):
    """Relay arguments: hex values, each string argument followed by its quoted text."""
    args = []
    i = 0
    while i < len(text):
        m = re.match(rb"[0-9a-f]+", text[i:])
        if not m:
            raise TraceError("unreadable arguments: %r" % text)
        value = int(m.group(0), 16)
        i += m.end()
        string = None
        if text[i : i + 2] == b' "':
            i += 2
            buf = bytearray()
            while text[i : i + 1] != b'"':
                if text[i : i + 1] == b"\\":
                    escape = text[i + 1 : i + 2]
                    if escape == b"x":
                        buf.append(int(text[i + 2 : i + 4], 16))
                        i += 4
                    elif escape in ESCAPES:
                        buf += ESCAPES[escape]
                        i += 2
                    else:
                        raise TraceError("unknown escape in %r" % text)
                else:
                    buf += text[i : i + 1]
                    i += 1
            i += 1
            if text[i : i + 3] == b"...":
                raise TraceError("string cut short by the trace: use a shorter work folder")
            string = bytes(buf)
        args.append((value, string))
        if i < len(text):
            if text[i : i + 1] != b",":
                raise TraceError("unreadable arguments: %r" % text)
            i += 1
    return args


class Call:
    def __init__(self, process, exited, module, name, args, ret):
        self.process = process
        self.exited = exited  # logged after the process ended: its id may have been reused
        self.module = module.decode()
        self.name = name.decode()
        self.args = args
        self.ret = ret

    def value(self, i):
        # Wine prints 64-bit registers; a DWORD argument is the low half.
        return self.args[i][0] & 0xFFFFFFFF

    def text(self, i):
        return self.args[i][1]


class Run:
    def __init__(self, exit_code, trace, trace_path):
        self.exit_code = exit_code
        self.where = "trace in " + trace_path
        self.calls = []
        ending = set()
        for line in trace.splitlines():
            m = DETACH.match(line)
            if m:
                ending.add(m.group(1))
            m = CALL.match(line)
            if m:
                process, module, name, args, ret = m.groups()
                args = parse_arguments(args)
                call = Call(process, process in ending, module, name, args, int(ret, 16))
                self.calls.append(call)

    def program_ran(self):
        """Whether the program started: its first own call asks for its path with a buffer of
        261 characters (Wine's programs that share its load address ask with other sizes)."""
        low, high = CONFIG.image_range
        return any(
            c.name == "GetModuleFileNameA" and c.value(2) == 261 and low <= c.ret < high
            for c in self.calls
        )

    def boxes(self):
        return [
            (c.value(0), c.text(1), c.text(2), c.value(3))
            for c in self.calls
            if c.name == "MessageBoxA"
        ]

    def own_calls(self, name):
        """The calls that the program's own code made: in the process that showed the message
        box (Wine's own programs load at the same address), from inside its image."""
        [process] = {c.process for c in self.calls if c.name == "MessageBoxA"}
        low, high = CONFIG.image_range
        return [
            c
            for c in self.calls
            if c.name == name and c.process == process and not c.exited and low <= c.ret < high
        ]


RUNS = [0]


def run_tool(folder, args, exe=None, held=None):
    """Runs the program in `folder` with the raw command-line bytes `args`. With `held`, a
    second process holds that file open (shared for reading only) during the run. The batch
    file and the trace of every run stay in the work folder's _runs/."""
    program = b'"' + CONFIG.windows_path(exe or CONFIG.exe) + b'"'
    command = program + (b" " + args if args else b"")
    scripts = os.path.join(CONFIG.work, "_runs")
    os.makedirs(scripts, exist_ok=True)
    RUNS[0] += 1
    name = "%03d_%s" % (RUNS[0], os.path.basename(folder))
    line = command
    if held is not None:
        command_file = os.path.join(scripts, name + ".cmd.txt")
        with open(command_file, "wb") as f:
            f.write(command)
        line = b'"%s" hold "%s" "%s"' % (
            CONFIG.windows_path(CONFIG.helper),
            CONFIG.windows_path(held),
            CONFIG.windows_path(command_file),
        )
    bat = os.path.join(scripts, name + ".bat")
    with open(bat, "wb") as f:
        f.write(b"@" + line + b"\r\n@exit %ERRORLEVEL%\r\n")
    env = wine_env(WINEDEBUG="-all,+pid,+relay")
    # The trace goes to a file: Wine's helper processes that a run starts (the desktop) hold
    # its output open after the run itself has ended, and a pipe would wait for them.
    trace = os.path.join(scripts, name + ".trace")
    # Now and then Wine fails to start the program at all (cmd exits with a stray code and the
    # trace holds no call from the program's image). That says nothing about the program, so
    # such a run is started again, twice at most; any run the program took part in counts.
    for attempt in range(3):
        with open(trace, "wb") as out:
            proc = subprocess.run(
                ["wine", "cmd", "/c", CONFIG.windows_path(bat)],
                cwd=folder,
                env=env,
                stdout=subprocess.DEVNULL,
                stderr=out,
            )
        with open(trace, "rb") as f:
            run = Run(proc.returncode, f.read(), trace)
        if run.program_ran():
            break
        print("wine-e2e: Wine did not start the program, once more: " + name, file=sys.stderr)
    return run


def archive_of(*members):
    """An archive of (known name, bytes) members, in order."""
    archive = Archive()
    for name, data in members:
        archive.add(key_of(name), data)
    return archive


def files_under(folder):
    """Every file below `folder`, by its path relative to it, with its bytes."""
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, folder)] = f.read()
    return found


# ---------------------------------------------------------------------------------------------
# The cases


def mixed_archive():
    """Raw members of every kind and image members of every kind, with what each must give."""
    archive = Archive()
    expected = {}
    for name, data in [
        ("kb.pal", pattern(768, 1)),
        (None, pattern(33, 2)),  # no known name: written under its position
        ("combat.pal", b""),
        ("WINCE00.82M", pattern(5, 3)),
    ]:
        index = archive.add(key_of(name) if name else UNKNOWN_KEY, data)
        expected[name or "file_%d" % index] = data
    for name, output, width, height in [
        ("overban0.bmp", "overban0.bmp", 5, 3),  # rows padded to 8 bytes
        ("boat.bkg", "boat.bkg.bmp", 4, 2),
        ("bordedit.BMP", "bordedit.BMP", 1, 1),
    ]:
        member = raw_image(width, height, pattern(width * height, width * 31 + height))
        archive.add(key_of(name), member)
        expected[output] = expected_bitmap(member, CONFIG.template)
    return archive.build(), expected


class WineCase(unittest.TestCase):
    def setUp(self):
        if CONFIG.dbcs != isinstance(self, DoubleByteTest):
            self.skipTest("runs in the other locale")

    def folder(self):
        path = os.path.join(CONFIG.work, self.id().split(".")[-1])
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    def write(self, path, data):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def assertBox(self, run, text, flags):
        self.assertEqual(run.boxes(), [(0, text, CAPTION, flags)], run.where)

    def assertSuccess(self, run):
        self.assertEqual(run.exit_code, 0, run.where)
        self.assertBox(run, SUCCESS, INFORMATION)

    def assertFailure(self, run, text):
        self.assertEqual(run.exit_code, 1, run.where)
        self.assertBox(run, text, ERROR)


class UsageAndSuccessTest(WineCase):
    def test_without_an_archive_shows_the_usage(self):
        for args in [b"", b'""', b'"" "" ""']:
            with self.subTest(args=args):
                folder = self.folder()
                run = run_tool(folder, args)
                self.assertEqual(run.exit_code, 0, run.where)
                [(owner, text, caption, flags)] = run.boxes()
                self.assertEqual((owner, caption, flags), (0, CAPTION, INFORMATION))
                self.assertTrue(text.startswith(USAGE_HEAD), text)
                credits = text[len(USAGE_HEAD) :].split(b"\r\n")
                self.assertEqual(len(credits), 3, text)
                self.assertTrue(all(credits), text)
                self.assertEqual(os.listdir(folder), [])

    def test_unpacks_every_kind_of_member_into_the_default_folder(self):
        archive, expected = mixed_archive()
        # An empty argument before the archive is not counted.
        for args in [b"games\\data.agg", b'"" games\\data.agg', b'"games\\data".agg']:
            with self.subTest(args=args):
                folder = self.folder()
                self.write(os.path.join(folder, "games", "data.agg"), archive)
                run = run_tool(folder, args)
                self.assertSuccess(run)
                self.assertEqual(files_under(os.path.join(folder, "games", "data")), expected)

    def test_folder_arguments(self):
        archive = archive_of(("kb.pal", b"\1\2\3"))
        want = {"kb.pal": b"\1\2\3"}
        absolute = os.path.join(CONFIG.work, "absolute out")
        rows = [
            # Blanks inside quotes; a closing "\" is no escape for the quote after it.
            (b'a.agg "out dir\\sub"', "out dir/sub"),
            (b'a.agg "out dir\\sub\\"', "out dir/sub"),
            (b'a.agg o"ut di"r', "out dir"),
            # "/" is no delimiter: a "\" is appended after it, and the system reads both as one.
            (b"a.agg out/", "out"),
            (b'a.agg "" folder extra ignored', "folder"),
            (b'a.agg "%s"' % CONFIG.windows_path(absolute), absolute),
        ]
        for args, relative in rows:
            with self.subTest(args=args):
                folder = self.folder()
                shutil.rmtree(absolute, ignore_errors=True)
                self.write(os.path.join(folder, "a.agg"), archive.build())
                run = run_tool(folder, args)
                self.assertSuccess(run)
                self.assertEqual(files_under(os.path.join(folder, relative)), want)

    def test_an_archive_named_by_its_extension_unpacks_into_the_current_folder(self):
        archive = archive_of(("combat.pal", b"\7"))
        if os.path.exists("/combat.pal"):
            self.skipTest("/combat.pal exists already")
        # The current folder lies on drive Z:, so "Z:.agg" is the same archive, and its folder
        # is Z:'s current folder, not the root of Z: ("/").
        for args in [b".agg", b"Z:.agg"]:
            with self.subTest(args=args):
                folder = self.folder()
                self.write(os.path.join(folder, ".agg"), archive.build())
                run = run_tool(folder, args)
                self.assertSuccess(run)
                want = {".agg": archive.build(), "combat.pal": b"\7"}
                self.assertEqual(files_under(folder), want)
                self.assertFalse(os.path.exists("/combat.pal"), "written into the root of Z:")


class FailureTest(WineCase):
    """Each failure: exit code 1, one error box with the exact text, and the members written
    before it still on disk."""

    def test_archives_that_cannot_be_opened(self):
        archive = archive_of(("kb.pal", b"\1"))
        folder = self.folder()
        self.write(os.path.join(folder, "a.agg"), archive.build())
        os.makedirs(os.path.join(folder, "folder.agg"))
        rows = [
            ("missing", b"none.agg", None, FILE_NOT_FOUND),
            ("a folder", b"folder.agg", None, ACCESS_DENIED),
            ("held open elsewhere", b"a.agg", os.path.join(folder, "a.agg"), SHARING_VIOLATION),
            # Options are POSIX's: here every argument is a path.
            ("--help", b"--help", None, FILE_NOT_FOUND),
            ("--version", b"--version", None, FILE_NOT_FOUND),
        ]
        for what, name, held, code in rows:
            with self.subTest(what):
                run = run_tool(folder, name, held=held)
                # The path is made absolute against the current folder.
                path = CONFIG.windows_path(os.path.join(folder, name.decode()))
                self.assertFailure(run, b'Cannot open file "%s". %s.' % (path, CONFIG.texts[code]))
                self.assertFalse(os.path.exists(os.path.join(folder, "a")))

    def test_broken_archives_and_members(self):
        def around(add_bad_member):
            # combat.pal, then the bad member, then kb.pal.
            archive = Archive()
            archive.add(key_of("combat.pal"), b"\5\6")
            add_bad_member(archive)
            archive.add(key_of("kb.pal"), b"\7")
            return archive.build()

        short_image = raw_image(4, 4, b"\0" * 16)[:-1]
        raw = lambda offset, size: around(lambda a: a.add_raw(UNKNOWN_KEY, offset, size))
        read = b"Stream read error."
        rows = [
            ("one byte", b"\1", read),
            ("directory cut short", around(lambda a: None)[:21], read),
            ("data past the end", raw(40, 100), read + b"\r\nfile_1"),
            ("negative offset", raw(-1, 1), read + b"\r\nfile_1"),
            ("negative size", raw(0, -5), b"Range check error.\r\nfile_1"),
            (
                "image shorter than its size",
                around(lambda a: a.add(key_of("overban0.bmp"), short_image)),
                read + b"\r\noverban0.bmp",
            ),
        ]
        for what, data, text in rows:
            with self.subTest(what):
                folder = self.folder()
                self.write(os.path.join(folder, "a.agg"), data)
                run = run_tool(folder, b"a.agg out")
                self.assertFailure(run, text)
                out = os.path.join(folder, "out")
                if b"\r\n" in text:
                    # The member before the failing one stays; later ones are not attempted.
                    self.assertEqual(files_under(out), {"combat.pal": b"\5\6"})
                else:
                    self.assertFalse(os.path.exists(out))

    def test_outputs_that_cannot_be_written(self):
        archive = archive_of(("combat.pal", b"\5"), ("kb.pal", b"\1"))
        exists = os_error(ALREADY_EXISTS) + b".\r\ncombat.pal"
        denied = os_error(ACCESS_DENIED) + b".\r\nkb.pal"
        rows = [
            # A file stands where the output folder must go.
            ("folder is a file", "blocked", b"a.agg blocked", exists),
            # Without an extension the default folder is the archive itself.
            ("default folder is the archive", None, b"data", exists),
            # A folder stands where a member's file must go.
            ("member is a folder", "out/kb.pal/", b"a.agg out", denied),
            # A link to a folder stands there (Wine shows a host link to a folder as a folder
            # link): refused as a folder is, and its folder stays.
            ("member is a link to a folder", "out/kb.pal->../kept", b"a.agg out", denied),
        ]
        for what, blocker, args, text in rows:
            with self.subTest(what):
                folder = self.folder()
                self.write(os.path.join(folder, "a.agg"), archive.build())
                self.write(os.path.join(folder, "data"), archive.build())
                if blocker and "->" in blocker:
                    os.makedirs(os.path.join(folder, "kept"))
                    os.makedirs(os.path.join(folder, "out"))
                    os.symlink(blocker.split("->")[1], os.path.join(folder, blocker.split("->")[0]))
                elif blocker and blocker.endswith("/"):
                    os.makedirs(os.path.join(folder, blocker))
                elif blocker:
                    self.write(os.path.join(folder, blocker), b"x")
                run = run_tool(folder, args)
                self.assertFailure(run, text)
                if what.startswith("member is"):
                    out = os.path.join(folder, "out")
                    self.assertEqual(files_under(out), {"combat.pal": b"\5"})
                    self.assertEqual(os.path.isdir(os.path.join(folder, "kept")), "link" in what)

    def test_a_hard_link_at_a_member_name_is_replaced(self):
        # The link is made as a Windows program makes one; the file it shares its data with
        # must stay as it was, and the name must hold the member's own file.
        folder = self.folder()
        archive = archive_of(("kb.pal", b"\1\2\3"), ("overban0.bmp", raw_image(2, 2, b"\1\2\3\4")))
        self.write(os.path.join(folder, "a.agg"), archive.build())
        self.assertEqual(run_tool(folder, b"a.agg clean").exit_code, 0)
        self.write(os.path.join(folder, "victim"), b"\7")
        os.makedirs(os.path.join(folder, "out"))
        for name in ["kb.pal", "overban0.bmp"]:
            with self.subTest(name):
                link = os.path.join(folder, "out", name)
                if os.path.exists(link):  # written by the run of the row before
                    os.remove(link)
                victim = CONFIG.windows_path(os.path.join(folder, "victim"))
                helper = ["wine", CONFIG.helper, "link", victim, CONFIG.windows_path(link)]
                made = subprocess.run(helper, env=wine_env(), stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
                self.assertEqual(made.returncode, 0)
                self.assertEqual(os.stat(link).st_nlink, 2)
                run = run_tool(folder, b"a.agg out")
                self.assertEqual(run.exit_code, 0, run.where)
                with open(os.path.join(folder, "victim"), "rb") as f:
                    self.assertEqual(f.read(), b"\7")
                self.assertEqual(os.stat(link).st_nlink, 1)
                with open(link, "rb") as f, open(os.path.join(folder, "clean", name), "rb") as g:
                    self.assertEqual(f.read(), g.read())

    def test_the_palette_template_lies_beside_the_executable(self):
        # A copy of the program without a template beside it: the current folder's does not
        # count.
        folder = self.folder()
        exe = os.path.join(folder, "tool", "Marlovexine.exe")
        os.makedirs(os.path.dirname(exe))
        shutil.copy(CONFIG.exe, exe)
        shutil.copy(os.path.join(os.path.dirname(CONFIG.exe), "TivPalette.bmp"), folder)
        archive = archive_of(("kb.pal", b"\1"), ("overban0.bmp", raw_image(1, 1, b"\0")))
        self.write(os.path.join(folder, "a.agg"), archive.build())
        run = run_tool(folder, b"a.agg out", exe=exe)
        template = CONFIG.windows_path(os.path.join(folder, "tool", "TivPalette.bmp"))
        text = b'Cannot open file "%s". %s.\r\noverban0.bmp'
        self.assertFailure(run, text % (template, CONFIG.texts[FILE_NOT_FOUND]))
        self.assertEqual(files_under(os.path.join(folder, "out")), {"kb.pal": b"\1"})


class SystemCallTest(WineCase):
    """The Win32 calls themselves, as the relay trace shows them: the flags, share modes and
    buffer sizes the program passes."""

    def test_calls_of_a_successful_run(self):
        folder = self.folder()
        image = ("overban0.bmp", raw_image(2, 2, b"\1\2\3\4"))
        archive = archive_of(("kb.pal", pattern(300, 9)), ("combat.pal", b""), image)
        self.write(os.path.join(folder, "a.agg"), archive.build())
        run = run_tool(folder, b"a.agg out")
        self.assertEqual(run.exit_code, 0, run.where)

        [module] = run.own_calls("GetModuleFileNameA")
        self.assertEqual((module.value(0), module.value(2)), (0, 261))
        self.assertEqual([c.value(0) for c in run.own_calls("GetSystemMetrics")], [42])
        self.assertTrue(run.own_calls("GetCommandLineA"))
        for call in run.own_calls("GetFullPathNameA"):
            self.assertEqual(call.value(1), 260)
        for call in run.own_calls("CreateDirectoryA"):
            self.assertEqual(call.value(1), 0)

        opens = {c.text(0): [c.value(i) for i in range(1, 7)] for c in run.own_calls("CreateFileA")}
        template = CONFIG.windows_path(os.path.join(os.path.dirname(CONFIG.exe), "TivPalette.bmp"))
        generic_read, generic_write = 0x80000000, 0x40000000
        self.assertEqual(opens[b"a.agg"], [generic_read, 0, 0, 3, 0, 0])  # no sharing
        self.assertEqual(opens[template], [generic_read, 1, 0, 3, 0, 0])  # shared for reading
        # Each file is made new under a temporary name beside its own (CREATE_NEW, removal
        # shared, FILE_ATTRIBUTE_NORMAL), then renamed over it, replacing what stood there.
        moves = {c.text(1): c for c in run.own_calls("MoveFileExA")}
        for name in [b"out\\kb.pal", b"out\\combat.pal"]:
            temporary = moves[name].text(0)
            self.assertRegex(temporary, re.escape(name) + rb"\.[0-9a-f]{8}\.tmp$")
            self.assertEqual(opens[temporary], [generic_write, 4, 0, 1, 0x80, 0], name)
            self.assertEqual(moves[name].value(2), 1)  # MOVEFILE_REPLACE_EXISTING
        # One write call for the member, none for the empty one.
        writes = [c.value(2) for c in run.own_calls("WriteFile")]
        self.assertEqual(writes.count(300), 1, writes)
        self.assertNotIn(0, writes)

    def test_calls_of_a_failed_run(self):
        folder = self.folder()
        run = run_tool(folder, b"none.agg")
        self.assertEqual(run.exit_code, 1, run.where)
        [message] = run.own_calls("FormatMessageA")
        # Flags 0x3200, no source, the code, language 0, a buffer of 256, no arguments.
        fields = [message.value(i) for i in (0, 1, 2, 3, 5, 6)]
        self.assertEqual(fields, [0x3200, 0, FILE_NOT_FOUND, 0, 256, 0])


class DoubleByteTest(WineCase):
    """Code page 932: "\\x95\\x5C" and "\\x83\\x5C" are characters whose second byte has the
    value of "\\"; it must never split a path."""

    HYO = b"\x95\x5c"  # U+8868
    SO = b"\x83\x5c"  # U+30BD

    def unix(self, *parts):
        return os.path.join(*[p.decode("cp932") if isinstance(p, bytes) else p for p in parts])

    def test_default_folder_of_a_double_byte_archive_name(self):
        folder = self.folder()
        archive = archive_of(("kb.pal", b"\1\2"))
        self.write(self.unix(folder, self.HYO + b".agg"), archive.build())
        run = run_tool(folder, self.HYO + b".agg")
        self.assertSuccess(run)
        # A "\" taken from the second byte would have left the folder without its delimiter
        # and written the member beside it, as U+8868 followed by kb.pal.
        self.assertEqual(files_under(self.unix(folder, self.HYO)), {"kb.pal": b"\1\2"})
        self.assertEqual(run.own_calls("GetCPInfo")[0].value(0), 0)  # CP_ACP

    def test_quoted_double_byte_folder_and_missing_archive(self):
        folder = self.folder()
        archive = archive_of(("kb.pal", b"\3"))
        self.write(os.path.join(folder, "a.agg"), archive.build())
        out = self.SO + b" dir\\" + self.HYO
        run = run_tool(folder, b'a.agg "' + out + b'"')
        self.assertEqual(run.exit_code, 0, run.where)
        out_unix = self.unix(folder, self.SO + b" dir", self.HYO)
        self.assertEqual(files_under(out_unix), {"kb.pal": b"\3"})

        run = run_tool(folder, self.SO + b".agg")
        path = CONFIG.windows_path(folder) + b"\\" + self.SO + b".agg"
        text = b'Cannot open file "%s". %s.' % (path, CONFIG.texts[FILE_NOT_FOUND])
        self.assertFailure(run, text)


def main():
    global CONFIG
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--helper", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--dbcs", action="store_true")
    CONFIG = Config(parser.parse_args())
    if CONFIG.dbcs:
        os.environ["LC_ALL"] = "ja_JP.UTF-8"  # code page 932 for Wine and its texts
    shutil.rmtree(CONFIG.work, ignore_errors=True)
    os.makedirs(CONFIG.work)
    subprocess.run(
        ["wine", "reg", "add", "HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude"]
        + ["/t", "REG_SZ", "/d", RELAYED, "/f"],
        env=wine_env(),
        stdout=subprocess.DEVNULL,
        check=True,
    )
    load_system_texts([FILE_NOT_FOUND, ACCESS_DENIED, SHARING_VIOLATION, ALREADY_EXISTS])

    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules[__name__])
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    ran = result.testsRun - len(result.skipped)
    failed = len(result.failures) + len(result.errors)
    name = "wine-e2e-double-byte" if CONFIG.dbcs else "wine-e2e"
    print("%s: %d passed, %d failed" % (name, ran - failed, failed))
    return 0 if result.wasSuccessful() and ran > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
