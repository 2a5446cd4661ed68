#!/usr/bin/env bash
# Builds the Debian package from a build directory, unpacks it in a scratch directory and runs
# the unpacked programs as an installed copy would run: from usr/bin, with the kernel found
# beside them through the run path, the manual pages and the completion in their places.
set -euo pipefail
build_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB -B "$scratch/out" --config "$build_dir/CPackConfig.cmake" > "$scratch/cpack.log"
deb=$(ls "$scratch"/out/*.deb)
# Outputs are captured before they are matched: `grep -q` leaving a pipe early would fail the
# writer with SIGPIPE under pipefail, now and then.
fields=$(dpkg-deb --field "$deb" Package Depends)
for plugins in qt6-qpa-plugins libqt6svg6; do
    [[ "$fields" == *"$plugins"* ]] || { echo "the package does not depend on $plugins"; exit 1; }
done
dpkg-deb -x "$deb" "$scratch/root"
for file in usr/bin/tarvo usr/bin/tarvo32 usr/bin/tarvo-printersim usr/lib/tarvo/libkernel.so.0 \
    usr/lib/tarvo/libgaugebar.so.0 usr/share/metainfo/tarvo32.metainfo.xml \
    usr/share/man/man1/tarvo.1 usr/share/bash-completion/completions/tarvo \
    usr/share/applications/tarvo32.desktop usr/share/tarvo/BrakTTRMedia.txt \
    usr/share/tarvo/BrakDTMedia.txt; do
    test -e "$scratch/root/$file" || { echo "missing from the package: $file"; exit 1; }
done
for program in tarvo tarvo32 tarvo-printersim; do
    version=$("$scratch/root/usr/bin/$program" --version)
    [[ "$version" == "$program "* ]] || { echo "$program --version said: $version"; exit 1; }
done
# Our libraries stay out of the system's library folder, where their plain names could collide.
stray=$(find "$scratch/root/usr/lib" -maxdepth 1 -name '*.so*')
[ -z "$stray" ] || { echo "libraries in the system library folder: $stray"; exit 1; }
# The unpacked tarvo must take the packaged kernel, not the one in the build directory.
libraries=$(ldd "$scratch/root/usr/bin/tarvo")
[[ "$libraries" == *"$scratch/root/usr/bin/../lib/tarvo/libkernel.so.0"* ]] ||
    { echo "the unpacked tarvo does not take the packaged kernel:"; echo "$libraries"; exit 1; }
# The installed media tables are found beside the program (share/tarvo under its prefix) even
# when the data directories' search path names no installation: the wizard starts (and stops at
# the end of its empty input) instead of naming the files it could not open.
home="$scratch/home"
mkdir -p "$home/run"
wizard=$(env -u TARVO_HOME HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" \
    XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" TARVO_PROFILE="$home/tarvo32.ini" \
    XDG_DATA_DIRS="$home/nowhere" \
    "$scratch/root/usr/bin/tarvo" --simulate TQ8e quality-wizard < /dev/null 2>&1 || true)
[[ "$wizard" == *"== Print Quality Wizard - Paper Type =="* ]] ||
    { echo "the installed tarvo did not find its media tables:"; echo "$wizard"; exit 1; }
echo "package ok: $(basename "$deb")"
