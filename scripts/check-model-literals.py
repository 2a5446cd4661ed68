#!/usr/bin/env python3
"""Counts comparisons of a model number against number literals outside the model tables.

What a model can do belongs in a column of the capabilities table
(base/model_capabilities.cpp, read through tarvo::CapabilitiesOf), not in a rule such as
`model == 11` scattered over the code: a new model then needs one new row, and the host and the
simulated printer cannot disagree. A few comparisons are not capabilities (an operation that is
defined by the identifier itself); each of those carries a comment saying why.

What counts, in base/, kernel/, app/, cli/ and sim/ (comments stripped; the table files
themselves are skipped):
  - NAME OP LITERAL or LITERAL OP NAME (the operator between blanks, as the formatter writes
    it, so that the end of a template argument list such as `N + 1> name` is not taken for
    one), where NAME is an identifier or member access whose last
    part contains "model" (model, s.model, row->model, model_, printerModel, dialog.model()),
    OP one of == != < <= > >= and LITERAL a decimal number;
  - OneOf(NAME, {...}) with such a NAME: one per call;
  - switch (NAME): one per switch, whatever its case labels.
What does not count: sign tests, NAME < 0 and NAME >= 0, which ask whether there is a model at
all (lookups give -1 for none), and comparisons against named constants (kDefaultModel).

Prints every comparison found and fails when there are more than LIMIT.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
FOLDERS = ["base", "kernel", "app", "cli", "sim"]
TABLE_FILES = {"base/model_capabilities.cpp", "base/model_tables.cpp", "base/setting_tables.cpp"}
LIMIT = 10

NAME = r"(?:\w+(?:\.|->))*\w*[mM]odel\w*(?:\(\))?"
OP = r"(?:==|!=|<=|>=|<|>)"
NAME_FIRST = re.compile(rf"(?<![\w.>])({NAME})\s*({OP})\s*(\d+)\b")
LITERAL_FIRST = re.compile(rf"\b(\d+)\s+({OP})\s+({NAME})\b")
ONE_OF = re.compile(rf"\bOneOf\(\s*{NAME}\s*,")
SWITCH = re.compile(rf"\bswitch\s*\(\s*{NAME}\s*\)")


def is_sign_test(op, literal):
    return literal == "0" and op in ("<", ">=")


def comparisons(line):
    """The model comparisons of one line of code, as texts."""
    found = []
    for m in NAME_FIRST.finditer(line):
        if not is_sign_test(m.group(2), m.group(3)):
            found.append(m.group(0))
    for m in LITERAL_FIRST.finditer(line):
        # 0 > model is model < 0; 0 <= model is model >= 0.
        mirrored = {"<": ">", ">": "<", "<=": ">=", ">=": "<="}.get(m.group(2), m.group(2))
        if not is_sign_test(mirrored, m.group(1)):
            found.append(m.group(0))
    found += [m.group(0) for m in ONE_OF.finditer(line)]
    found += [m.group(0) for m in SWITCH.finditer(line)]
    return found


def code_lines(path):
    """(number, text) of each line with its // comment and string literals removed."""
    in_block = False
    for number, raw in enumerate(path.read_text(errors="replace").splitlines(), 1):
        line = raw
        if in_block:
            end = line.find("*/")
            if end < 0:
                continue
            line, in_block = line[end + 2:], False
        line = re.sub(r'"(?:[^"\\]|\\.)*"', '""', line)
        line = re.sub(r"/\*.*?\*/", "", line)
        if "/*" in line:
            line, in_block = line[:line.index("/*")], True
        yield number, line.split("//", 1)[0]


def main():
    total = 0
    for folder in FOLDERS:
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h") or not path.is_file():
                continue
            relative = path.relative_to(ROOT).as_posix()
            if relative in TABLE_FILES:
                continue
            for number, line in code_lines(path):
                for text in comparisons(line):
                    print(f"{relative}:{number}: {text}")
                    total += 1
    print(f"{total} model comparisons against literals outside the tables (at most {LIMIT})")
    return 1 if total > LIMIT else 0


if __name__ == "__main__":
    sys.exit(main())
