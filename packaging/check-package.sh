#!/usr/bin/env bash
# Checks Rigtune's desktop integration.
#   check-package.sh validate DESKTOP METAINFO   both files pass their validators
#   check-package.sh deb BUILD_DIR APP_ID         the .deb builds, passes lintian, unpacks, and
#                                                 every file that the menu entry and AppStream name
#                                                 is in it, and it answers to the windows' class;
#                                                 it recommends Qt's Wayland platform
#   check-package.sh reproducible BUILD_DIR CMAKE_ARGS...
#                                                 a second build of the program, from a second
#                                                 checkout whose files have other times, elsewhere,
#                                                 configured with CMAKE_ARGS, packs the same .deb
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

validate() {
    desktop-file-validate "$1" || fail "desktop-file-validate $1"
    appstreamcli validate --no-net "$2" || fail "appstreamcli validate $2"
}

field() { sed -n "s/^$1=//p" "$2" | head -n 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Runs a command quietly, its output shown when it fails.
quietly() { "$@" >"$scratch/log" 2>&1 || { cat "$scratch/log" >&2; fail "$*"; }; }

# The .deb of a build tree, packed into a folder of its own; prints its path.
pack_deb() {
    quietly cpack -G DEB --config "$1/CPackConfig.cmake" -B "$2"
    ls "$2"/*.deb
}

deb() {
    local build=$1 id=$2
    local package
    package=$(pack_deb "$build" "$scratch/out")
    dpkg-deb --info "$package"
    lintian --fail-on error,warning "$package" || fail "lintian $package"
    local depends
    depends=$(dpkg-deb --field "$package" Depends)
    for needed in libqt6widgets6 libqt6printsupport6 fonts-liberation; do
        [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
    done
    [ "$(dpkg-deb --field "$package" Recommends)" = qt6-wayland ] ||
        fail "qt6-wayland is not recommended"

    local root=$scratch/root
    dpkg-deb -x "$package" "$root"
    local desktop=$root/usr/share/applications/$id.desktop
    local metainfo=$root/usr/share/metainfo/$id.metainfo.xml
    [ -f "$desktop" ] || fail "no $desktop"
    [ -f "$metainfo" ] || fail "no $metainfo"

    local exec icon
    source "$build/texts.sh" # X11 names the windows' class after the application
    [ "$(field StartupWMClass "$desktop")" = "$ApplicationTitle" ] || fail "menu entry's class"
    exec=$(field Exec "$desktop")
    [ -x "$root/usr/bin/$exec" ] || fail "Exec=$exec is not an installed program"
    icon=$(field Icon "$desktop")
    for size in 16x16 32x32 48x48 128x128; do
        [ -f "$root/usr/share/icons/hicolor/$size/apps/$icon.png" ] || fail "no $size icon $icon"
    done
    [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "metainfo does not launch $id.desktop"
    grep -q "<binary>$exec</binary>" "$metainfo" || fail "metainfo does not provide $exec"
    grep -q "MIT License" "$root/usr/share/doc/rigtune/copyright" || fail "no copyright file"
    local version
    version=$(dpkg-deb --field "$package" Version)
    zcat "$root/usr/share/doc/rigtune/changelog.gz" | head -n 1 | grep -q "^rigtune ($version) " ||
        fail "the changelog's last entry is not version $version"
    echo "package $(basename "$package") holds:"
    (cd "$root" && find . -type f | sort)
}

reproducible() {
    local build=$1
    shift
    another_checkout "$(realpath "$(dirname "$0")/..")" "$scratch/source"
    quietly cmake -S "$scratch/source" -B "$scratch/build" "$@"
    quietly cmake --build "$scratch/build" --parallel 2
    local first second
    first=$(pack_deb "$build" "$scratch/first")
    second=$(pack_deb "$scratch/build" "$scratch/second")
    cmp "$first" "$second" || fail "two builds give two packages (diffoscope shows how)"
}

"$@"
