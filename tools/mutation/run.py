#!/usr/bin/env python3
"""Puts one small fault at a time into the code and runs the tests that cover it.

    run.py [faults file ...]   (default: every *.faults file beside this script)

A faults file lists faults as blocks: a line `@ <path>` names the file, `- <text>` the text to
change (it must occur exactly once), `+ <text>` what it becomes, and an optional `= <why>` marks a
fault that changes nothing a user or a caller can tell, with the reason; it is listed, not run.
`#` lines are comments.

Each fault is put in, the build rebuilt, the tests for its file run, and the file restored
whatever happens. Faults in calc/, ui/shared/ and ui/qt/ run in build/default (the libraries'
tests, the Qt window's offscreen tests, and for ui/qt/ the window under Xvfb and its
screen reader's view too); faults in
ui/win32/ in build/windows, the window's tests under Wine; faults in ui/web/ in build/web, the
page in Chromium and WebKit (Firefox's run takes as long as both). A test run that hangs counts
as a kill. Prints each fault's verdict, then the share killed per folder. A fault that does not
compile counts as neither."""
import collections
import pathlib
import signal
import subprocess
import sys

top = pathlib.Path(__file__).resolve().parents[2]
here = pathlib.Path(__file__).resolve().parent
# Everything in build/default but the packages' checks and the slower ways of running the window.
slow_default = ("smoke_under_xvfb|window_tests_on_wayland|window_clipboard_on_wayland|"
                "screen_reader_view|elf_package_note|desktop_entry_valid|"
                "appstream_metainfo_valid|debian_package|assets_are_reproducible")


def parse(path):
    faults, current = [], None
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        tag, text = line[:1], line[2:]
        if tag == "@":
            current = {"file": text.strip(), "where": f"{path.name}:{number}"}
        elif tag == "-":
            current = dict(current, old=text)
        elif tag == "+":
            faults.append(dict(current, new=text))
        elif tag == "=":
            faults[-1]["equivalent"] = text
        else:
            sys.exit(f"{path}:{number}: a line starts with @, -, +, = or #")
    return faults


def run(command, cwd, timeout):
    try:
        return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def wine_prefix():
    prefix = top / "build/windows/wine-mutation/null"
    run([str(top / "tests/win32/wine-run.sh"), "--prepare", str(prefix), "null"], top, 300)
    return prefix


def verdict(fault, prefix):
    folder = fault["file"].split("/")[1] if fault["file"].startswith("ui/") else "calc"
    if folder == "web":
        if run(["cmake", "--build", "--preset", "web"], top, 900) != 0:
            return "no build"
        failed = run(["ctest", "--preset", "web", "-R", "^page_in_(chromium|webkit)$",
                      "--stop-on-failure"], top, 600)
    elif folder == "win32":
        if run(["cmake", "--build", "build/windows", "--target", "win32_window_tests"], top,
               900) != 0:
            return "no build"
        exe = top / "build/windows/tests/win32/win32_window_tests.exe"
        failed = run([str(top / "tests/win32/wine-run.sh"), str(prefix), str(exe)], top, 120)
    else:
        if run(["cmake", "--build", "build/default"], top, 900) != 0:
            return "no build"
        slow = slow_default
        if folder == "qt":
            slow = slow.replace("smoke_under_xvfb|", "").replace("screen_reader_view|", "")
        failed = run(["ctest", "--test-dir", "build/default", "-E", f"^({slow})$",
                      "--stop-on-failure", "-j2", "--timeout", "90"], top, 600)
    return "killed" if failed != 0 else "SURVIVED"


def main():
    # An interrupted run still puts the file it changed back (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    files = [pathlib.Path(a) for a in sys.argv[1:]] or sorted(here.glob("*.faults"))
    faults = [f for path in files for f in parse(path)]
    prefix = wine_prefix() if any("ui/win32/" in f["file"] for f in faults) else None
    tally = collections.defaultdict(collections.Counter)
    for n, fault in enumerate(faults, 1):
        source = top / fault["file"]
        original = source.read_text()
        if "equivalent" in fault:
            tally[fault["file"].rsplit("/", 1)[0]]["equivalent"] += 1
            print(f"{n:3}/{len(faults)} {'same':8} {fault['where']} {fault['file']}: "
                  f"{fault['old'].strip()} -> {fault['new'].strip()}: {fault['equivalent']}",
                  flush=True)
            continue
        if original.count(fault["old"]) != 1:
            print(f"{fault['where']}: the text to change is not found exactly once", flush=True)
            tally[fault["file"].rsplit("/", 1)[0]]["stale"] += 1
            continue
        try:
            source.write_text(original.replace(fault["old"], fault["new"]))
            result = verdict(fault, prefix)
        finally:
            source.write_text(original)
        tally[fault["file"].rsplit("/", 1)[0]][result] += 1
        print(f"{n:3}/{len(faults)} {result:8} {fault['where']} {fault['file']}: "
              f"{fault['old'].strip()} -> {fault['new'].strip()}", flush=True)
    # Rebuild what the last fault left, so the build matches the code again.
    run(["cmake", "--build", "build/default"], top, 900)
    if any("ui/web/" in f["file"] for f in faults):
        run(["cmake", "--build", "--preset", "web"], top, 900)
    if prefix is not None:
        run(["cmake", "--build", "build/windows"], top, 900)
        run([str(top / "tests/win32/wine-run.sh"), "--remove", str(prefix.parent)], top, 60)
    print("\nfolder           killed  survived  equivalent  no build  share killed")
    for folder, counts in sorted(tally.items()):
        judged = counts["killed"] + counts["SURVIVED"]
        share = f"{100 * counts['killed'] / judged:.0f} %" if judged else "-"
        print(f"{folder:16} {counts['killed']:6} {counts['SURVIVED']:9} {counts['equivalent']:11}"
              f" {counts['no build']:9}  {share}")


if __name__ == "__main__":
    main()
