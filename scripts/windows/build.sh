#!/usr/bin/env bash
# Builds Rigtune for 64-bit Windows on Debian 12, with its tests: installs what is missing
# (mingw-w64, Wine, ...), finds a Qt for Windows, builds Rigtune.exe with its version resource and
# icon in build-windows/ (cmake --preset windows), lays out the ready-to-run folder
# build-windows/Rigtune/ and packs it as an installer and a zip (cpack, in build-windows/).
# Arguments go to the configure step.
#
# The Qt for Windows is the first of:
#   RIGTUNE_WINDOWS_QT=DIR                   a Qt for mingw unpacked or installed there
#   RIGTUNE_WINDOWS_QT_TARBALL=FILE.tar.xz   a prebuilt one, unpacked once into the cache
#   one built from Debian's qt6-base source into the cache by build-qt.sh (about half an hour on
#   two cores, the first time only)
# The cache folder is RIGTUNE_WINDOWS_CACHE (default ~/.cache/rigtune-windows), outside the clone;
# a Qt built there is built anew when Debian's source has another version.
# RIGTUNE_WINDOWS_BUILD_DIR builds in another folder than build-windows/.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh
source scripts/deps.sh

# The host's moc, rcc and uic write code for the Qt for Windows, so they must be of its version,
# 6.4, as Debian 12's are (the prebuilt Qt, and the only one build-qt.sh builds): on another host
# the build would fail halfway.
(source /etc/os-release && [ "$ID $VERSION_ID" = "debian 12" ]) ||
    fail "the Windows build needs a Debian 12 host, whose Qt tools are 6.4 as the Qt for Windows is"
rigtune_install_packages "${RIGTUNE_BUILD_PACKAGES[@]}" "${RIGTUNE_WINDOWS_PACKAGES[@]}"

# unpack_qt TARBALL DIR; build_qt DIR: the Qt for Windows at DIR, from a tarball or from source.
unpack_qt() { mkdir -p "$2" && tar -C "$2" -xf "$1"; }
build_qt() { scripts/windows/build-qt.sh "$1" "$RIGTUNE_WINDOWS_CACHE/qt-source-work" >&2; }

# Prints the folder of the Qt for Windows, unpacking or building it first when needed.
windows_qt() {
    if [ -n "${RIGTUNE_WINDOWS_QT:-}" ]; then
        realpath "$RIGTUNE_WINDOWS_QT"
        return
    fi
    local tarball=${RIGTUNE_WINDOWS_QT_TARBALL:-} dir
    if [ -n "$tarball" ]; then
        # Keyed by content, so another tarball of the same name is unpacked anew.
        local sum
        sum=$(sha256sum "$tarball" | cut -c1-16)
        dir=$RIGTUNE_WINDOWS_CACHE/qt-tarball-$sum
        make_once "$dir" "$sum" unpack_qt "$(realpath "$tarball")"
        find "$dir" -mindepth 1 -maxdepth 1 -type d -print -quit
        return
    fi
    # Keyed by the source's version, so a new Debian revision (a security fix) is built anew.
    dir=$RIGTUNE_WINDOWS_CACHE/qt-from-source
    make_once "$dir" "qt6-base $(qt_source_version)" build_qt
    echo "$dir"
}

start=$SECONDS
RIGTUNE_WINDOWS_QT=$(windows_qt)
export RIGTUNE_WINDOWS_QT
echo "Qt for Windows: $RIGTUNE_WINDOWS_QT ($((SECONDS - start)) s)"

build=$RIGTUNE_WINDOWS_BUILD_DIR
start=$SECONDS
cmake --preset windows -B "$build" "$@"
cmake --build "$build" --parallel 2
scripts/windows/deploy.sh "$build/ui/Rigtune.exe" "$RIGTUNE_WINDOWS_QT" "$build/Rigtune"
echo "Windows build: $((SECONDS - start)) s"

start=$SECONDS
(cd "$build" && cpack)
echo "Windows packages: $((SECONDS - start)) s"
