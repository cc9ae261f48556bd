#!/usr/bin/env bash
# The Debian packages that Rigtune needs, one list for each purpose, and their installer: Debian 12
# and 13 name each of them alike (libclang-rt-dev is the runtime of either release's clang).
# Sourced by the scripts that build, run and test it; as root the installer uses apt-get directly,
# otherwise through sudo. After changing a list, run scripts/check-bare-debian.sh (see README).
# It sets no shell option: each script that sources it sets its own.

# Building the editor.
RIGTUNE_BUILD_PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-liberation libcups2-dev)
# A private X display, and driving programs on it by key presses: window titles and sizes, the
# clipboard.
RIGTUNE_DISPLAY_PACKAGES=(xvfb xauth x11-utils xdotool xclip)
# Printing through a private CUPS daemon with a CUPS-PDF queue, and reading the PDF back.
RIGTUNE_PRINT_PACKAGES=(cups cups-client cups-bsd cups-daemon cups-filters
    printer-driver-cups-pdf ghostscript poppler-utils)
# The rest of the Linux tests: Wayland (a headless Weston, Qt's Wayland platform), the desktop
# integration checks, the Debian package build and its checker (lintian), the fuzzer (clang with its
# sanitizer and libFuzzer runtimes, llvm-symbolizer so that a finding's stack names its functions)
# and the benchmarks, with a session bus of their own as a desktop has one.
RIGTUNE_TEST_PACKAGES=(weston qt6-wayland desktop-file-utils appstream dpkg-dev file lintian
    clang libclang-rt-dev llvm libbenchmark-dev dbus-daemon)
# The Windows build beside the build packages (whose Qt tools, moc, rcc and uic, are the Windows
# Qt's version): mingw-w64, ninja, NSIS for the installer, patch and xz for build-qt.sh. Running
# it: Wine, Wine's own fonts (its Tahoma and Marlett), and Liberation 2 standing in for Arial, as
# Wine draws version 1's capital I as nothing at 11 pixels.
RIGTUNE_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix ninja-build nsis patch xz-utils
    wine wine64 fonts-wine fonts-liberation2)

# Running a Windows build made on another machine or release (its suite under Debian 13's Wine):
# Wine with its own fonts and Liberation, CMake for CTest and CPack, NSIS for the test's installer
# of a higher version, binutils for reading the version resource.
RIGTUNE_WINE_RUN_PACKAGES=(wine wine64 fonts-wine fonts-liberation fonts-liberation2 cmake nsis
    binutils)

rigtune_install_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq &&
        "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
