#!/usr/bin/env python3
"""Puts one small fault at a time into the code and runs the tests that would catch it.

    run.py [faults file ...]   (default: every *.faults file beside this script)
    run.py --since [COMMIT]    the faults of the files changed since COMMIT, committed or not
                               (default: the branch's base, where it left its upstream or main;
                               on main itself, the last commit)

A faults file lists faults as blocks: a line `@ <path>` names the file, `- <text>` the text to
change (it must occur exactly once), `+ <text>` what it becomes, and an optional `= <why>` marks a
fault that changes nothing a user or a caller can tell, with the reason; it is listed, not run.
Lines of the same mark in a row are one text of several lines, so that a line that repeats in its
file (a style's declaration) can be named with the lines around it. `#` lines are comments.

First every test the faults will run is run on the unchanged code: one that fails or is skipped
stops the run, since it could judge nothing. Then each fault is put in, and in every build that
compiles its file, cheapest first, that build is rebuilt and its tests run, until one fails: the
calculation's and the shared rules' faults in build/default, build/web (under node and in each
browser) and build/windows (under Wine); the Qt window's in build/default, with the program under
Xvfb, Wayland and a screen reader; the Win32 window's in build/windows, with the program's own
start-up and smoke run under Wine; the page's in build/web. The file is restored whatever
happens. Each verdict names the test that decided it: killed by the first that failed (a hang
counts), survived when every one passed, unjudged when one was skipped or not run, no build when
the fault does not compile. Then the share killed per folder, of the faults judged."""
import collections
import pathlib
import re
import signal
import subprocess
import sys

top = pathlib.Path(__file__).resolve().parents[2]
here = pathlib.Path(__file__).resolve().parent

# Tests that judge no fault: the packages' checks, and the Wayland clipboard run, which a seatless
# compositor always skips. The calculation and the shared rules leave the program's slower runs
# under Xvfb to the Qt window's faults.
NEVER = ["elf_package_note", "desktop_entry_valid", "appstream_metainfo_valid", "debian_package",
         "apt_repository", "assets_are_reproducible", "window_clipboard_on_wayland"]
LIBRARY = NEVER + ["smoke_under_xvfb", "screen_reader_view"]
# For each folder, the builds that compile its files, cheapest first, with the tests each leaves
# out, or the only ones it runs: the Windows window's GIF decoder is also checked natively.
PLAN = {
    "calc": [("default", LIBRARY), ("web", []), ("windows", [])],
    "shared": [("default", LIBRARY), ("web", []), ("windows", [])],
    "qt": [("default", NEVER)],
    "win32": [("default", {"only": "gif_decoder_agrees"}), ("windows", [])],
    "web": [("web", [])],
}
RESULT = re.compile(r"Test +#\d+: (\S+) \.*\s*(?:\*+)?(Passed|Failed|Skipped|Not Run|Timeout|"
                    r"Exception|Subprocess aborted|SegFault|Child aborted)")


def parse(path):
    faults, current, previous = [], None, None
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            previous = None
            continue
        tag, text = line[:1], line[2:]
        if tag == "@":
            current = {"file": text.strip(), "where": f"{path.name}:{number}"}
        elif tag == "-":
            current = dict(current, old=current["old"] + "\n" + text if previous == "-" else text)
        elif tag == "+" and previous == "+":
            faults[-1]["new"] += "\n" + text
        elif tag == "+":
            faults.append(dict(current, new=text))
        elif tag == "=":
            faults[-1]["equivalent"] = text
        else:
            sys.exit(f"{path}:{number}: a line starts with @, -, +, = or #")
        previous = tag
    return faults


def folder_of(fault):
    return fault["file"].split("/")[1] if fault["file"].startswith("ui/") else "calc"


def build(preset):
    command = ["cmake", "--build", "--preset", preset]
    return subprocess.run(command, cwd=top, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=1800, check=False).returncode == 0


def tests(preset, left_out):
    """Runs a build's tests; returns (the first that failed, those skipped or not run)."""
    command = ["ctest", "--preset", preset, "--stop-on-failure", "--timeout", "120"]
    if isinstance(left_out, dict):
        command += ["-R", "^(" + left_out["only"] + ")$"]
    elif left_out:
        command += ["-E", "^(" + "|".join(left_out) + ")$"]
    if preset == "default":
        command += ["-j2"]
    try:
        # A fault may make a test print any bytes at all.
        output = subprocess.run(command, cwd=top, capture_output=True, text=True, errors="replace",
                                timeout=1800, check=False).stdout
    except subprocess.TimeoutExpired:
        return f"the tests of build/{preset} (a hang)", []
    failed, unrun = None, []
    for name, outcome in RESULT.findall(output):
        if outcome in ("Skipped", "Not Run"):
            unrun.append(name)
        elif outcome != "Passed" and failed is None:
            failed = name if outcome == "Failed" else f"{name} ({outcome.lower()})"
    if failed is None and "tests failed" in output and "0 tests failed" not in output:
        failed = f"the tests of build/{preset}"
    if failed is not None and preset == "windows":
        # Stopped at the failure, the run never reached the test that removes the Wine prefixes:
        # one left with the program installed would fail the next fault's installer check.
        subprocess.run([top / "tools" / "wine-run.sh", "--remove", top / "build" / "windows" / "wine"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return failed, unrun


def verdict(fault):
    """(verdict, the test or build that decided it)"""
    for preset, left_out in PLAN[folder_of(fault)]:
        if not build(preset):
            return "no build", f"build/{preset}"
        failed, unrun = tests(preset, left_out)
        if failed is not None:
            return "killed", f"{failed} in build/{preset}"
        if unrun:
            return "unjudged", f"{', '.join(unrun)} skipped or not run in build/{preset}"
    return "SURVIVED", "every test of " + ", ".join(f"build/{p}" for p, _ in PLAN[folder_of(fault)])


def baseline(faults):
    """Every test the faults will run, on the unchanged code: all must pass, none be skipped."""
    runs = {(preset, repr(left_out)): left_out for f in faults if "equivalent" not in f
            for preset, left_out in PLAN[folder_of(f)]}
    for (preset, _), left_out in sorted(runs.items()):
        if not build(preset):
            sys.exit(f"build/{preset} does not build on the unchanged code")
        failed, unrun = tests(preset, left_out)
        if failed is not None or unrun:
            sys.exit(f"build/{preset} on the unchanged code: {failed or ''} failed; "
                     f"skipped or not run: {', '.join(unrun) or 'none'}. No fault can be judged.")
        print(f"unchanged code: every test of build/{preset} passed", flush=True)


def changed_since(commit):
    """The files that differ from `commit` in the work tree, or None where git cannot say."""
    git = ["git", "-C", str(top)]
    # The branch's base: where it left its upstream, or main; on main itself, the last commit.
    for base in ([commit] if commit else ["@{upstream}", "main"]):
        found = subprocess.run(git + ["merge-base", "HEAD", base], capture_output=True, text=True,
                               check=False).stdout.strip()
        head = subprocess.run(git + ["rev-parse", "HEAD"], capture_output=True, text=True,
                              check=False).stdout.strip()
        if found and (found != head or commit):
            commit = found
            break
    else:
        commit = "HEAD~1"
    listed = subprocess.run(git + ["diff", "--name-only", commit], capture_output=True, text=True,
                            check=False)
    if listed.returncode != 0:
        sys.exit(f"git cannot say what changed since {commit}: {listed.stderr.strip()}")
    print(f"the faults of the files changed since {commit}", flush=True)
    return set(listed.stdout.split())


def main():
    # An interrupted run still puts the file it changed back (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    arguments = sys.argv[1:]
    changed = None
    if arguments[:1] == ["--since"]:
        changed = changed_since(arguments[1] if len(arguments) > 1 else None)
        arguments = []
    files = [pathlib.Path(a) for a in arguments] or sorted(here.glob("*.faults"))
    faults = [f for path in files for f in parse(path) if changed is None or f["file"] in changed]
    if not faults:
        print("no fault is listed for the files changed", flush=True)
        return
    baseline(faults)
    tally = collections.defaultdict(collections.Counter)
    for n, fault in enumerate(faults, 1):
        source = top / fault["file"]
        original = source.read_text()
        old, new = (" ".join(fault[side].split()) for side in ("old", "new"))
        change = f"{fault['where']} {fault['file']}: {old} -> {new}"
        if "equivalent" in fault:
            tally[fault["file"].rsplit("/", 1)[0]]["equivalent"] += 1
            print(f"{n:3}/{len(faults)} {'same':8} {change}: {fault['equivalent']}", flush=True)
            continue
        if original.count(fault["old"]) != 1:
            print(f"{fault['where']}: the text to change is not found exactly once", flush=True)
            tally[fault["file"].rsplit("/", 1)[0]]["stale"] += 1
            continue
        try:
            source.write_text(original.replace(fault["old"], fault["new"]))
            result, decided_by = verdict(fault)
        except BaseException:
            print(f"stopped at fault {n} of {len(faults)}: {change}", flush=True)
            raise
        finally:
            source.write_text(original)
        tally[fault["file"].rsplit("/", 1)[0]][result] += 1
        print(f"{n:3}/{len(faults)} {result:8} {change}\n        by {decided_by}", flush=True)
    # Rebuild what the last fault left, so the builds match the code again.
    for preset in sorted({p for f in faults for p, _ in PLAN[folder_of(f)]}):
        build(preset)
    print("\nfolder           killed  survived  unjudged  equivalent  no build  share killed")
    for folder, counts in sorted(tally.items()):
        judged = counts["killed"] + counts["SURVIVED"]
        share = f"{100 * counts['killed'] / judged:.0f} %" if judged else "-"
        print(f"{folder:16} {counts['killed']:6} {counts['SURVIVED']:9} {counts['unjudged']:9}"
              f" {counts['equivalent']:11} {counts['no build']:9}  {share}")
    if any(counts["unjudged"] or counts["stale"] for counts in tally.values()):
        sys.exit(1)


if __name__ == "__main__":
    main()
