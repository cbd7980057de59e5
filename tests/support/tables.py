#!/usr/bin/env python3
"""The two tables every window's tests are checked against, read here and nowhere else: what a
user sees in the window (what-users-see.tsv) and what a user does in it (scenarios.tsv). The
browser tests import it; for the desktop windows' tests in C++ it writes both tables as
initialisers, which WhatUsersSee.h and Scenarios.h compile in:  tables.py <output folder>
"""
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
# How many words each step takes before its text.
WORDS = {"set": 1, "type": 1, "click": 1, "key": 1, "select": 2, "paste": 1, "expect": 1, "focus": 1,
         "selected": 2, "report": 2, "from-start": 1}


def rows(name):
    lines = (HERE / name).read_text(encoding="utf-8").splitlines()
    return [line.split("\t") for line in lines if line and not line.startswith("#")]


def what_users_see():
    seen = []
    for row in rows("what-users-see.tsv"):
        if len(row) != 9:
            raise SystemExit(f"what-users-see.tsv: not nine columns in {row}")
        name, kind, left, top, width, height, background, tab, text = row
        seen.append({"name": name, "kind": kind, "box": [int(left), int(top), int(width), int(height)],
                     "background": None if background == "theme" else background,
                     "tab": 0 if tab == "-" else int(tab), "text": text})
    return seen


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


def cpp(text):
    """A C++ string literal of UTF-8 text."""
    body = "".join("\\" + c if c in '"\\' else f"\\{ord(c):03o}" if ord(c) < 0x20 else c for c in text)
    return f'"{body}"'


def main(folder):
    folder = pathlib.Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "what-users-see.inc").write_text("".join(
        f'{{{cpp(row["name"])}, {cpp(row["kind"])}, {", ".join(map(str, row["box"]))}, '
        f'{"std::nullopt" if row["background"] is None else "0x" + row["background"][1:] + "U"}, '
        f'{row["tab"]}, {cpp(row["text"])}}},\n' for row in what_users_see()), encoding="utf-8")
    (folder / "scenarios.inc").write_text("".join(
        f'{{{cpp(scenario["name"])}, {cpp(scenario["windows"])}, {cpp(" ".join(scenario["locales"]))}, {{'
        + ", ".join(f'{{{cpp(s["verb"])}, {{{", ".join(map(cpp, s["words"]))}}}, {cpp(s["text"])}}}'
                    for s in scenario["steps"]) + "}},\n" for scenario in scenarios()), encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv[1])
