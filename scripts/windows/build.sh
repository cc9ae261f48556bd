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
# The cache folder is RIGTUNE_WINDOWS_CACHE (default ~/.cache/rigtune-windows), outside the clone.
# RIGTUNE_WINDOWS_BUILD_DIR builds in another folder than build-windows/.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh
source scripts/deps.sh
rigtune_install_packages "${RIGTUNE_BUILD_PACKAGES[@]}" "${RIGTUNE_WINDOWS_PACKAGES[@]}"

# Prints the folder of the Qt for Windows, unpacking or building it first when needed.
windows_qt() {
    if [ -n "${RIGTUNE_WINDOWS_QT:-}" ]; then
        realpath "$RIGTUNE_WINDOWS_QT"
        return
    fi
    local tarball=${RIGTUNE_WINDOWS_QT_TARBALL:-}
    if [ -n "$tarball" ]; then
        # Keyed by content, so another tarball of the same name is unpacked anew.
        local dir
        dir=$RIGTUNE_WINDOWS_CACHE/qt-$(sha256sum "$tarball" | cut -c1-16)
        if [ ! -e "$dir/.unpacked" ]; then
            rm -rf "$dir"
            mkdir -p "$dir"
            tar -C "$dir" -xf "$tarball"
            touch "$dir/.unpacked"
        fi
        find "$dir" -mindepth 1 -maxdepth 1 -type d -print -quit
        return
    fi
    local built=$RIGTUNE_WINDOWS_CACHE/qt-source-build/qt6-mingw-6.4.2
    if [ ! -e "$built/.built" ]; then
        scripts/windows/build-qt.sh "$built" "$RIGTUNE_WINDOWS_CACHE/qt-source-work" >&2
        touch "$built/.built"
    fi
    echo "$built"
}

start=$SECONDS
RIGTUNE_WINDOWS_QT=$(windows_qt)
export RIGTUNE_WINDOWS_QT
echo "Qt for Windows: $RIGTUNE_WINDOWS_QT ($((SECONDS - start)) s)"

build=${RIGTUNE_WINDOWS_BUILD_DIR:-build-windows}
start=$SECONDS
cmake --preset windows -B "$build" "$@"
cmake --build "$build" --parallel 2
scripts/windows/deploy.sh "$build/ui/Rigtune.exe" "$RIGTUNE_WINDOWS_QT" "$build/Rigtune"
echo "Windows build: $((SECONDS - start)) s"

start=$SECONDS
(cd "$build" && cpack)
echo "Windows packages: $((SECONDS - start)) s"
