#!/usr/bin/env python3
"""The two tables every window's tests are checked against, read here and nowhere else: what a
user sees in the window (what-users-see.tsv) and what a user does in it (scenarios.tsv).
  tables.py <output folder>: the scenarios, each planned as plain acts and checks (plan), as
    initialisers, which Scenarios.h compiles into the desktop windows' tests;
  tables.py compare-seen -- <command...>: runs a window's tests and compares the dumps of what
    the window shows that they print (SeenDump.h) with the table;
  tables.py window: the window's title and its client area's size, a tab between.
The browser tests import it, and compare the page's dump with compare_seen.
"""
import pathlib
import re
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
# How many words each step takes before its text.
WORDS = {"set": 1, "type": 1, "click": 1, "key": 1, "select": 2, "paste": 1, "compose": 0,
         "expect": 1, "focus": 1,
         "selected": 2, "report": 2, "from-start": 1}


def rows(name):
    lines = (HERE / name).read_text(encoding="utf-8").splitlines()
    return [line.split("\t") for line in lines if line and not line.startswith("#")]


# The columns of what-users-see.tsv, which every window's dump of its live controls also has.
SEEN = ("name", "kind", "left", "top", "width", "height", "background", "tab", "label", "text")


def what_users_see(table="what-users-see.tsv"):
    seen = []
    for row in rows(table):
        if len(row) != len(SEEN):
            raise SystemExit(f"{table}: not {len(SEEN)} columns in {row}")
        seen.append(dict(zip(SEEN, row)))
    return seen


def compare_seen(dump, scale=1, table="what-users-see.tsv"):
    """What differs between a window's dump of its controls (rows of the table's columns, as
    text, in the order a screen reader reads them, boxes at `scale` times 96 dpi) and the table,
    one readable line each; a box may be off by less than one pixel of 96 dpi."""
    table = what_users_see(table)
    differences = []
    shown = [row[0] for row in dump]
    if shown != [row["name"] for row in table]:
        differences.append(f"the controls, in reading order, are {' '.join(shown)}; "
                           f"the table has {' '.join(row['name'] for row in table)}")
    dumped = {row[0]: dict(zip(SEEN, row)) for row in dump if len(row) == len(SEEN)}
    differences += [f"a row of {len(row)} columns, not {len(SEEN)}: {row}"
                    for row in dump if len(row) != len(SEEN)]
    for expected in table:
        actual = dumped.get(expected["name"])
        if actual is None:
            continue
        for column in SEEN[1:]:
            want, got = expected[column], actual[column]
            if column in ("left", "top", "width", "height"):
                same = abs(int(got) - scale * int(want)) < scale
                want = str(scale * int(want))
            else:
                want = expand(want)
                same = got == want
            if not same:
                differences.append(f"{expected['name']}: {column} is {got!r} in the window, "
                                   f"{want!r} in the table")
    return differences


def compare_seen_of(command):
    """Runs a window's tests, which print their dumps as lines "seen <scale>\t<columns...>"
    amid their own output, and compares each scale's dump with the table. The tests' own status
    (a failure, or 77 for skipped) stands; then a missing or differing dump fails."""
    process = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    output = process.stdout.decode("utf-8", errors="replace")
    dumps = {}
    for line in output.splitlines():
        line = line.rstrip("\r")
        if line.startswith("seen "):
            scale, _, columns = line[len("seen "):].partition("\t")
            dumps.setdefault(int(scale), []).append(columns.split("\t"))
        else:
            print(line)
    if process.returncode != 0:
        return process.returncode
    if not dumps:
        print("FAILED: the tests printed no dump of what users see")
        return 1
    failed = 0
    for scale, dump in sorted(dumps.items()):
        differences = compare_seen(dump, scale)
        print(f"what users see, at {96 * scale} dpi: {len(dump)} controls, "
              f"{'as in the table' if not differences else f'{len(differences)} differences'}")
        for difference in differences:
            print(f"  FAILED: {difference}")
        failed |= bool(differences)
    return int(failed)


def expand(text):
    """\\r, \\n and \\uXXXX are those characters; {c*N} is N times the character c."""
    text = re.sub(r"\{(.)\*(\d+)\}", lambda m: m[1] * int(m[2]), text)
    return re.sub(r"\\(u[0-9a-fA-F]{4}|.)", lambda m: chr(int(m[1][1:], 16)) if len(m[1]) == 5
                  else {"r": "\r", "n": "\n"}.get(m[1], m[1]), text)


LOCALES = ("en-US", "de-DE")


def scenarios():
    """Each scenario's name, the windows and the locales it runs in, and its steps: a verb, its
    words, its text."""
    found = []
    for row in rows("scenarios.tsv"):
        if len(row) != 4 or len({row[0] == "", row[1] == "", row[2] == ""}) != 1:
            raise SystemExit(f"scenarios.tsv: not four columns in {row}")
        if row[0]:
            locales = row[2].split()
            if not locales or not set(locales) <= set(LOCALES):
                raise SystemExit(f"scenarios.tsv: locales are some of {LOCALES}, not {row[2]!r}")
            found.append({"name": row[0], "windows": row[1], "locales": locales, "steps": []})
        # The steps, separated by " · ", and the separator that begins a continued line.
        for source in filter(str.strip, (" " + row[3] + " · ").split(" · ")):
            verb, _, rest = source.lstrip(" ").partition(" ")
            if verb not in WORDS:
                raise SystemExit(f"scenarios.tsv: no step {verb}")
            parts = rest.split(" ", WORDS[verb])
            found[-1]["steps"].append({"verb": verb, "words": parts[:WORDS[verb]],
                                       "text": expand("".join(parts[WORDS[verb]:]))})
    return found


def plan(scenario):
    """A scenario as plain acts and checks for every window's runner alone to perform and read:
    the table's steps (its header says them), each a verb, its words and its text, with these
    meanings fixed: before each act, `close KEY`, the key that closes a report the act shows
    (the next step's, else Enter); after each step no report follows, `no-report`: every report
    shown so far has been checked; a report step checks the first not yet checked; `selected all`
    is `selected 0 end`, counted in UTF-16 units as every toolkit counts them."""
    steps, acts = scenario["steps"], ("set", "type", "click", "key", "select", "paste", "compose")
    planned = []
    for index, step in enumerate(steps):
        following = steps[index + 1] if index + 1 < len(steps) else None
        reported = following is not None and following["verb"] == "report"
        verb, words, text = step["verb"], list(step["words"]), step["text"]
        if verb in acts:
            planned.append({"verb": "close", "words": [following["words"][1] if reported else "Enter"],
                            "text": ""})
        if verb == "selected" and words[0] == "all":
            words = ["0", "end"]
        planned.append({"verb": verb, "words": words, "text": text})
        if not reported:
            planned.append({"verb": "no-report", "words": [], "text": ""})
    return planned


def cpp(text):
    """A C++ string literal of UTF-8 text."""
    body = "".join("\\" + c if c in '"\\' else f"\\{ord(c):03o}" if ord(c) < 0x20 else c for c in text)
    return f'"{body}"'


def main(folder):
    folder = pathlib.Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    text = "".join(
        f'{{{cpp(scenario["name"])}, {cpp(scenario["windows"])}, {cpp(" ".join(scenario["locales"]))}, {{'
        + ", ".join(f'{{{cpp(s["verb"])}, {{{", ".join(map(cpp, s["words"]))}}}, {cpp(s["text"])}}}'
                    for s in plan(scenario)) + "}},\n" for scenario in scenarios())
    # Written only when it changes: every configure runs this, and `make run` configures.
    target = folder / "scenarios.inc"
    if not target.exists() or target.read_text(encoding="utf-8") != text:
        target.write_text(text, encoding="utf-8")


if __name__ == "__main__":
    if sys.argv[1:3] == ["compare-seen", "--"]:
        sys.exit(compare_seen_of(sys.argv[3:]))
    if sys.argv[1:] == ["window"]:  # for scripts: its title and its client area, WIDTHxHEIGHT
        window = what_users_see()[0]
        print(f"{window['text']}\t{window['width']}x{window['height']}")
        sys.exit(0)
    main(sys.argv[1])
