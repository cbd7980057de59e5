#!/usr/bin/env python3
"""Every source of the project's own is compiled with the tree's warnings, as errors:
check-warnings.py <compile_commands.json> <source folder>. A target that forgot to link
halvern_warnings would otherwise build quietly with the compiler's defaults."""
import json
import os
import shlex
import sys

commands, top = sys.argv[1], os.path.realpath(sys.argv[2])
build = os.path.realpath(os.path.dirname(commands))
checked, unwarned = set(), set()
with open(commands, encoding="utf-8") as file:
    entries = json.load(file)
for entry in entries:
    source = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    # Generated sources (Qt's moc), the test framework's and the resource scripts are not C++ of
    # the project's own.
    ours = source.startswith(top + os.sep) and not source.startswith(build + os.sep)
    if not ours or not source.endswith(".cpp"):
        continue
    words = entry.get("arguments") or shlex.split(entry["command"])
    name = os.path.relpath(source, top)
    checked.add(name)
    if not {"-Werror", "-Wconversion"} <= set(words):
        unwarned.add(name)
print(f"{len(checked)} sources of the project's own checked")
if unwarned or not checked:
    print("compiled without the tree's warnings as errors:", *sorted(unwarned), sep="\n  ")
    sys.exit(1)
