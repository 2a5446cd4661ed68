#!/usr/bin/env python3
"""Checks that every source file includes only what its layer may see.

The layers, lowest first:
  base               the shared tier (tarvo/base/...), over the kernel's public types
  kernel/platform    Linux services
  kernel/port        frames and connections
  kernel/session     the contexts, the process-wide state, the exports' boundary
  kernel/config, models, objects, fonts, services   what the kernel does with a printer
  fwxfer             the serial port and Zmodem sender of the Brakenholm transfers: the shared
                     tier only
  app core           the programs' logic (app/shell, app/desk, app/brakenholm, app/lanmere),
                     without widgets
  app/qt             the desktop program's windows
  cli                the command-line tool: the app core, but not the windows
  sim                the simulated printer: the shared tier only, never the host's logic
                     (sim/simulation.cpp and private_profile.cpp, which start it for the
                     programs, talk to the kernel's exports)

A quoted include names its layer by its first folder ("port/framing.h");
a bare name is a header
of the same folder. Tests, benchmarks and fuzzers may reach anything. Prints each violation and
exits 1 when there is one.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]')

KERNEL_UPPER = {"config", "models", "objects", "fonts", "services"}
APP_CORE = {"shell", "desk", "brakenholm", "lanmere"}


def module_of(name):
    """The layer an include names, by its path."""
    if name.startswith("tarvo/base/"):
        return "base"
    if name.startswith("tarvo/sim/"):
        return "sim-api"
    if name.startswith("tarvo/"):
        return "kernel-api"
    if name.startswith("gaugebar/"):
        return "progress"
    if name.startswith("fwxfer/"):
        return "fwxfer"
    first = name.split("/", 1)[0] if "/" in name else None
    return first


def allowed_for(path):
    """The layers a source file may include, or None when it may include anything."""
    parts = path.relative_to(ROOT).parts
    top = parts[0]
    public = {"base", "kernel-api"}
    if top == "base":
        return public
    if top == "fwxfer":
        return {"base", "fwxfer"}
    if top == "kernel":
        if parts[1] == "include":
            return public | {"progress"}
        layer = parts[1]
        below = {
            "platform": {"platform"},
            "port": {"platform", "port"},
            "session": {"platform", "port", "session"},
        }
        if layer in below:
            return public | {"progress"} | below[layer]
        return public | {"progress", "platform", "port", "session"} | KERNEL_UPPER
    if top == "app":
        if parts[1] == "qt":
            return public | {"progress", "fwxfer"} | APP_CORE | {"qt", "sim-api"}
        return public | {"progress", "fwxfer"} | APP_CORE
    if top == "cli":
        return public | {"progress", "sim-api", "fwxfer"} | APP_CORE
    if top == "sim":
        if path.name in ("simulation.cpp", "private_profile.cpp"):
            return {"base", "kernel-api", "sim-api"}
        return {"base", "sim-api"} | ({"kernel-api"} if "include" in parts else set())
    return None


def violations(path):
    allowed = allowed_for(path)
    if allowed is None:
        return
    in_app_core = path.relative_to(ROOT).parts[:1] == ("app",) and "qt" not in path.parts
    for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        bracket, name = match.groups()
        if bracket == "<":
            # The program core stays free of widgets, so that the tests and the command-line
            # tool drive it without a display.
            if in_app_core and re.match(r"Q[A-Za-z]*(/|$)", name):
                yield number, name, "Qt in the program core"
            continue
        module = module_of(name)
        if module is None or module in allowed:
            continue
        yield number, name, f"layer '{module}' is out of reach here"


def main():
    bad = 0
    for folder in ("base", "kernel", "fwxfer", "app", "cli", "sim"):
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            for number, name, why in violations(path):
                print(f"{path.relative_to(ROOT)}:{number}: includes \"{name}\": {why}")
                bad += 1
    if bad:
        print(f"{bad} include(s) break the layering", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
