#!/usr/bin/env python3
"""Prints the share of test code in the repository's code.

Counted: every line (blank and comment lines included) of the files git tracks that are C++
(.cpp, .h), Python (.py), shell (.sh and the extensionless scripts in scripts/) or CMake
(CMakeLists.txt, .cmake). Test code is everything of those under tests/ and fuzz/ (the fuzz
harnesses and their build); the benchmarks in bench/ count as code, not as tests. Data files
(fuzz corpora, test images) and documents are not code and are not counted.

Usage: scripts/code-share.py [-v]   (-v lists the test files by size)
"""
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CODE_SUFFIXES = {".cpp", ".h", ".py", ".sh", ".cmake"}
TEST_FOLDERS = ("tests/", "fuzz/")


def is_code(path):
    p = pathlib.PurePosixPath(path)
    if p.suffix in CODE_SUFFIXES or p.name == "CMakeLists.txt":
        return True
    return p.parent.as_posix() == "scripts" and p.suffix == ""


def line_count(path):
    with open(ROOT / path, "rb") as f:
        return f.read().count(b"\n")


def main():
    files = subprocess.run(["git", "ls-files"], cwd=ROOT, capture_output=True, text=True,
                           check=True).stdout.split()
    counts = {path: line_count(path) for path in files if is_code(path)}
    tests = {path: n for path, n in counts.items() if path.startswith(TEST_FOLDERS)}
    total = sum(counts.values())
    test_total = sum(tests.values())
    if "-v" in sys.argv[1:]:
        for path, n in sorted(tests.items(), key=lambda item: -item[1]):
            print(f"{n:7d}  {path}")
    print(f"test code {test_total} of {total} lines: {100.0 * test_total / total:.1f}%")


if __name__ == "__main__":
    main()
