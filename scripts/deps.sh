#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Rigtune need, when missing.
# Sourced by run.sh and test.sh; as root it uses apt-get directly, otherwise through sudo.
set -euo pipefail

RIGTUNE_BUILD_PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-liberation libcups2-dev)
RIGTUNE_TEST_PACKAGES=(xvfb xauth
    cups cups-client cups-bsd cups-daemon cups-filters printer-driver-cups-pdf ghostscript
    poppler-utils)
# The player's steps: key presses, window titles and sizes, the clipboard.
RIGTUNE_TEST_PACKAGES+=(xdotool x11-utils xclip)
# The desktop integration checks, the Debian package build and its checker.
RIGTUNE_TEST_PACKAGES+=(desktop-file-utils appstream dpkg-dev file lintian)
# The fuzzer (clang with its sanitizer and libFuzzer runtimes, llvm-symbolizer so that a finding's
# stack names its functions) and the benchmarks.
RIGTUNE_TEST_PACKAGES+=(clang libclang-rt-14-dev llvm libbenchmark-dev)

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
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
