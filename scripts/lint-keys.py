"""Picks the files scripts/lint examines and the cache key of each.

Reads `ninja -C build -t deps` on standard input. Arguments: the cache
folder, clang-tidy's version text, "all" or "changed", the number of
changed files and their names, "--", the files asked for. Prints "FILE KEY"
for each file to examine; KEY is "-" when the build does not know the
file's dependencies (it is examined and not remembered).
"""
import hashlib
import json
import os
import sys


def read_deps(lines):
    """Source file -> the files of the tree its translation unit reads."""
    deps, current = {}, None
    for line in lines:
        if not line.strip():
            continue
        if not line[0].isspace():
            current = None
            continue
        path = os.path.normpath(os.path.join("build", line.strip()))
        if path.startswith(("/", "..")):
            continue
        if current is None:
            current = path
            deps.setdefault(current, set())
        deps[current].add(path)
    return deps


def file_digest(path):
    try:
        with open(path, "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()
    except OSError:
        return "missing"


def main():
    cache, version, mode, count = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    changed = set(sys.argv[5:5 + count])
    files = sys.argv[6 + count:]
    everything = mode == "all" or ".clang-tidy" in changed
    with open("build/compile_commands.json", encoding="utf-8") as f:
        commands = {os.path.relpath(e["file"]): e.get("command", " ".join(e.get("arguments", [])))
                    for e in json.load(f)}
    deps = read_deps(sys.stdin)
    with open(".clang-tidy", "rb") as f:
        config = f.read()
    for name in files:
        name = os.path.normpath(name)
        reads = deps.get(name)
        if not everything and name not in changed and not (reads or set()) & changed:
            continue
        if not reads:
            print(name, "-")
            continue
        key = hashlib.sha256()
        for part in (version.encode(), config, commands.get(name, "").encode()):
            key.update(part + b"\0")
        for path in sorted(reads):
            key.update(f"{path} {file_digest(path)}\0".encode())
        if not os.path.exists(os.path.join(cache, key.hexdigest())):
            print(name, key.hexdigest())


main()
