#!/usr/bin/env bash
# Cross-builds Qt's base module (Core, Gui, Widgets, PrintSupport, Test and the windows platform
# plugin) for 64-bit Windows with mingw-w64, from Debian's own qt6-base source, the same version
# as the host's Qt tools (moc, rcc and uic run on Linux), with Debian's patches.
#     build-qt.sh PREFIX WORK_DIR [JOBS]
# PREFIX receives the Qt, which works wherever it is moved; WORK_DIR holds the source and the
# build tree and is removed at the end. About half an hour on two cores from an empty cache.
# Needs the build and Windows packages of scripts/deps.sh (build.sh installs them) and the
# Debian source archive of the machine's mirror, which is asked for through a private apt set-up:
# the system's apt sources stay as they are.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "${1:?usage: $0 PREFIX WORK_DIR [JOBS]}")
work=$(realpath -m "${2:?usage: $0 PREFIX WORK_DIR [JOBS]}")
jobs=${3:-2}
log=$work/logs

source "$here/../lib.sh"
version=$(qt_source_version)
upstream=${version%%+*}

rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/apt/sources" \
    "$work/source" "$log"

# --- 1. the source, through apt with a deb-src twin of each of the system's deb entries ---------
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$file" ] && sed -n 's/^deb\s/deb-src /p' "$file"
done >"$work/apt/sources/sources.list"
for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] &&
        sed 's/^Types:.*/Types: deb-src/' "$file" >"$work/apt/sources/$(basename "$file")"
done
cat >"$work/apt/apt.conf" <<CONF
Dir::Etc::sourcelist "$work/apt/sources/sources.list";
Dir::Etc::sourceparts "$work/apt/sources";
Dir::State::lists "$work/apt/lists";
Dir::Cache "$work/apt/cache";
APT::Sandbox::User "$(id -un)";
CONF
export APT_CONFIG=$work/apt/apt.conf
apt-get update -qq
(cd "$work/source" && apt-get source --download-only -qq "qt6-base=$version")

# --- 2. unpacked, with Debian's patches and ours ----------------------------------------------
tar -C "$work" -xf "$work/source"/qt6-base_*.orig.tar.xz
tar -C "$work" -xf "$work/source"/qt6-base_*.debian.tar.xz
src=$work/qtbase-everywhere-src-$upstream
# cross.patch serves Debian's own multiarch cross builds (it would build androiddeployqt.exe);
# the rest, security fixes among them, are wanted.
grep -v -E '^\s*(#|$)' "$work/debian/patches/series" | while read -r patch _; do
    [ "$patch" = cross.patch ] && continue
    patch -d "$src" -p1 --quiet <"$work/debian/patches/$patch"
done
for patch in "$here"/qt-patches/*.patch; do
    patch -d "$src" -p1 --quiet <"$patch"
done
echo "Qt $version: source ready, patches applied"

# --- 3. configured, built, installed stripped ---------------------------------------------------
#  * no tablet events: the +dfsg source lacks wintab.h, whose licence forbids changes;
#  * no SQL: the +dfsg source lacks SQLite too;
#  * no direct2d: the GDI-based windows platform plugin is the default one;
#  * the bundled zlib, libpng, libjpeg, FreeType, HarfBuzz, PCRE2 and double-conversion, so no
#    Windows builds of them are needed, and no pkg-config, so nothing of the Linux host leaks in.
mkdir -p "$work/build"
cd "$work/build"
nice -n 19 "$src/configure" -prefix "$prefix" -release -shared -xplatform win32-g++ \
    -qt-host-path /usr -nomake examples -nomake tests \
    -no-pkg-config -no-icu -no-dbus -no-opengl -no-openssl -no-zstd -no-feature-vulkan \
    -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
    -no-feature-sql -no-feature-network -no-feature-concurrent -no-feature-xml \
    -no-feature-tabletevent -no-feature-direct2d \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$log/configure.log" 2>&1 ||
    { tail -50 "$log/configure.log"; exit 1; }
echo "Qt $version: configured, building with $jobs jobs"
nice -n 19 cmake --build . --parallel "$jobs" >"$log/build.log" 2>&1 ||
    { tail -60 "$log/build.log"; exit 1; }
rm -rf "$prefix"
cmake --install . --strip >"$log/install.log" 2>&1 || { tail -30 "$log/install.log"; exit 1; }

# Qt's toolchain file names the mingw one by the path it had here; a copy inside the prefix,
# named relative to it, lets the prefix move.
cp "$here/mingw-w64-x86_64.cmake" "$prefix/mingw-w64-x86_64.cmake"
toolchain_variable=__qt_initially_configured_toolchain_file
toolchain='${CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64-x86_64.cmake'
sed -i "s|^set($toolchain_variable \".*\")|set($toolchain_variable \"$toolchain\")|" \
    "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
cd /
rm -rf "$work"
echo "Qt $version for Windows: $prefix"
