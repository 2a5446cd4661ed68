#!/usr/bin/env bash
# Runs the README's "Using it" examples as written, in order, in a fresh sandbox: its own
# profile, state and data directories, with build/bin pointing at the programs under test.
# Examples that need a printer on a real port are skipped; the desktop program and the ones
# that run until stopped must still be running after a while, and are then stopped.
# Usage: readme_examples.sh SOURCE_DIR BIN_DIR
set -uo pipefail

source_dir=$1
bin_dir=$2
sandbox=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-readme-XXXXXX")
trap 'rm -rf "$sandbox"' EXIT

mkdir -p "$sandbox/build" "$sandbox/home"
ln -s "$bin_dir" "$sandbox/build/bin"
ln -s "$source_dir/examples" "$sandbox/examples"
export HOME="$sandbox/home"
export XDG_CONFIG_HOME="$sandbox/home/.config" XDG_STATE_HOME="$sandbox/home/.local/state"
export XDG_DATA_HOME="$sandbox/home/.local/share" XDG_RUNTIME_DIR="$sandbox/home/run"
export TARVO_PROFILE="$sandbox/home/tarvo32.ini" QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset TARVO_HOME TARVO_TRACE
cd "$sandbox" || exit 1

# The example lines: the first code block after "## Using it", continuation lines joined.
examples=$(awk '
    /^## Using it/ { section = 1; next }
    section && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$source_dir/README.md" |
    sed -e ':join' -e '/\\$/{N;s/\\\n//;b join}')

# How long a program that runs until stopped gets to show it started and did not fail.
settle_seconds=5
ran=0 skipped=0 failed=0
while IFS= read -r line; do
    [[ -z "${line// }" || "$line" =~ ^[[:space:]]*# ]] && continue
    if [[ "$line" == *"needs a printer"* ]]; then
        echo "SKIP  $line"
        skipped=$((skipped + 1))
        continue
    fi
    if [[ "$line" == *"runs until stopped"* || "$line" == build/bin/tarvo32* ]]; then
        timeout "$settle_seconds" bash -c "$line" </dev/null >"$sandbox/out" 2>&1
        status=$?
        [[ $status -eq 124 ]] && status=0   # still running when stopped: it started
    else
        bash -c "$line" </dev/null >"$sandbox/out" 2>&1
        status=$?
    fi
    ran=$((ran + 1))
    if [[ $status -ne 0 ]]; then
        failed=$((failed + 1))
        echo "FAIL  $line  (exit $status)"
        sed 's/^/      /' "$sandbox/out" | tail -20
    else
        echo "OK    $line"
    fi
done <<<"$examples"

echo "$ran examples run, $skipped skipped (need a printer), $failed failed"
[[ $failed -eq 0 && $ran -gt 0 ]]
