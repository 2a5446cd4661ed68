#!/usr/bin/env python3
"""Checks that every exported function of the public headers says what it returns.

Each TARVO_API declaration must follow a comment block holding a sentence that begins with
"Returns". Declarations written one after another without a blank line form a group that shares
the comment block before its first member. Prints file:line and the function's name for each
declaration without one and exits with 1; exits with 0 when all are documented.

Usage: check-headers.py DIRECTORY [DIRECTORY...]
"""

import pathlib
import re
import sys

DECLARATION = re.compile(r"^\s*TARVO_API\b")
NAME = re.compile(r"(\w+)\s*\(")
# "Returns" starting the comment, a line of it, or a sentence inside it.
RETURNS_SENTENCE = re.compile(r"(?:^|[.;:]\s|\n)\s*Returns\b")


def comment_text(lines):
    """The text of a comment block, without its /*, * and */ markers."""
    text = []
    for line in lines:
        line = line.strip()
        line = re.sub(r"^(/\*+|\*/|\*|//+)", "", line)
        line = re.sub(r"\*/$", "", line)
        text.append(line.strip())
    return "\n".join(text)


def comment_before(lines, index):
    """The comment block ending on the line before `index`, or None when there is none."""
    end = index - 1
    if end < 0:
        return None
    last = lines[end].strip()
    if last.startswith("//"):
        start = end
        while start > 0 and lines[start - 1].strip().startswith("//"):
            start -= 1
        return comment_text(lines[start : end + 1])
    if not last.endswith("*/"):
        return None
    start = end
    while start >= 0 and "/*" not in lines[start]:
        start -= 1
    if start < 0:
        return None
    return comment_text(lines[start : end + 1])


def declaration_end(lines, index):
    """Index of the line that ends the declaration starting at `index` (its ';')."""
    while index < len(lines) - 1 and ";" not in lines[index]:
        index += 1
    return index


def undocumented(path):
    """(line number, function name) of each declaration in `path` lacking a Returns sentence."""
    lines = path.read_text(encoding="utf-8").splitlines()
    missing = []
    group_comment = None
    previous_end = None
    index = 0
    while index < len(lines):
        if not DECLARATION.match(lines[index]):
            index += 1
            continue
        end = declaration_end(lines, index)
        if previous_end is None or previous_end != index - 1:
            group_comment = comment_before(lines, index)
        text = " ".join(lines[index : end + 1]).replace("TARVO_API", "", 1)
        found = NAME.search(text)
        name = found.group(1) if found else "?"
        if group_comment is None or not RETURNS_SENTENCE.search(group_comment):
            missing.append((index + 1, name))
        previous_end = end
        index = end + 1
    return missing


def main(arguments):
    if not arguments:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    headers = []
    for argument in arguments:
        root = pathlib.Path(argument)
        if not root.is_dir():
            print(f"{argument}: not a directory", file=sys.stderr)
            return 2
        headers.extend(sorted(root.rglob("*.h")))
    failures = 0
    declarations = 0
    for header in headers:
        declarations += sum(1 for line in header.read_text(encoding="utf-8").splitlines()
                            if DECLARATION.match(line))
        for line, name in undocumented(header):
            print(f"{header}:{line}: {name}: no \"Returns\" sentence in the comment before it")
            failures += 1
    if declarations == 0:
        print("no TARVO_API declarations found", file=sys.stderr)
        return 2
    if failures:
        print(f"{failures} of {declarations} exported declarations lack a Returns sentence")
        return 1
    print(f"all {declarations} exported declarations say what they return")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
