#!/usr/bin/env python3
"""Fails when the folders' #include lines form a cycle.

Prints the include graph between folders, one folder a line; a cycle is a
folder that reaches itself again through the folders it includes."""
import os
import re
import sys

ROOT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
FOLDERS = ["include", "util", "base", "spec", "engine", "writers", "driver", "dialogue", "api",
           "verify", "cli"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z_]+)/')

graph = {folder: set() for folder in FOLDERS}
for folder in FOLDERS:
    path = os.path.join(ROOT, folder)
    for name in sorted(os.listdir(path)) if os.path.isdir(path) else []:
        if not name.endswith((".h", ".cpp", ".c")):
            continue
        with open(os.path.join(path, name), encoding="utf-8") as f:
            for line in f:
                m = INCLUDE.match(line)
                if m and m.group(1) != folder:
                    if m.group(1) not in graph:
                        sys.exit("%s/%s includes from %s/, which is no folder of the layout"
                                 % (folder, name, m.group(1)))
                    graph[folder].add(m.group(1))

for folder in FOLDERS:
    print("%-9s -> %s" % (folder, " ".join(sorted(graph[folder])) or "(nothing)"))


def cycle_from(start):
    """A path start -> ... -> start, or None."""
    stack = [(start, [start])]
    seen = set()
    while stack:
        node, path = stack.pop()
        for nxt in sorted(graph[node]):
            if nxt == start:
                return path + [start]
            if nxt not in seen:
                seen.add(nxt)
                stack.append((nxt, path + [nxt]))
    return None


for folder in FOLDERS:
    found = cycle_from(folder)
    if found:
        sys.exit("include cycle: " + " -> ".join(found))
