#!/usr/bin/env bash
# The desktop program's AppStream metainfo as a software centre reads it: no errors, and no
# warning but the one about its identifier, which is the desktop entry's own name (tarvo32)
# rather than a reverse domain name: the project has no domain to name it by.
set -euo pipefail
command -v appstreamcli > /dev/null || { echo "appstreamcli is missing (scripts/install-deps)"; exit 1; }
out=$(appstreamcli validate --no-net "$1" 2>&1 || true)
[[ "$out" == *"Validation"* ]] || { echo "appstreamcli said nothing of a validation:"; echo "$out"; exit 1; }
problems=$(printf '%s\n' "$out" | grep -E '^[EWI]:' | grep -v 'cid-desktopapp-is-not-rdns' || true)
[ -z "$problems" ] || { echo "$out"; exit 1; }
echo "metainfo ok"
