#!/usr/bin/env bash
# Runs the Windows suite and the packages' checks (test-built.sh) of a build that build.sh made
# here, under Debian 13's Wine 10, in a bare Debian 13 root (scripts/debian-root.sh), as root:
# Wine 10's file dialog, fonts and installer handling differ from Debian 12's Wine 8. The root
# gets only what running needs; the clone, the build folder, the Windows cache (its Qt, the Wine
# templates) are bound into it at the same paths, so the build's own paths hold, and the mingw
# runtime DLLs that the tests find through WINEPATH apart from the root's own. Builds nothing.
#     test-under-debian13.sh [BUILD_DIR]     (default RIGTUNE_WINDOWS_BUILD_DIR, or build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh
source scripts/deps.sh
source scripts/debian-root.sh

clone=$(pwd -P)
build=$(realpath -m "${1:-$RIGTUNE_WINDOWS_BUILD_DIR}")
[ -f "$build/Rigtune/Rigtune.exe" ] || fail "no Windows build in $build: run scripts/windows/build.sh"
mapfile -t runtime_dirs < <(mingw_runtime_dirs)

debian_root_begin 13
debian_root_bind "$clone"
[[ $build == "$clone"/* ]] || debian_root_bind "$build"
mkdir -p "$RIGTUNE_WINDOWS_CACHE"
debian_root_bind "$RIGTUNE_WINDOWS_CACHE"
# The build's CPack configuration names this machine's CMake templates, which the test's installer
# of a higher version is made with.
cmake_root=$(cmake --system-information | sed -n 's/^CMAKE_ROOT "\(.*\)"$/\1/p')
[ -d "$cmake_root" ] || fail "no CMake root found: \"$cmake_root\""
debian_root_bind "$cmake_root" "$cmake_root" ro
# The mingw runtime DLLs apart from the root's own /usr/x86_64-w64-mingw32, which its Wine fills.
inner_runtime_dirs=()
for dir in "${runtime_dirs[@]}"; do
    inner_runtime_dirs+=("/opt/host-mingw-runtime/${#inner_runtime_dirs[@]}")
    debian_root_bind "$dir" "${inner_runtime_dirs[-1]}" ro
done
debian_root_at "$clone"
echo "== Debian 13 root ready after $SECONDS s"

start=$SECONDS
# shellcheck disable=SC2016 # expanded inside the root
"${DEBIAN_ROOT_INSIDE[@]}" bash -c 'set -e; source scripts/deps.sh
    rigtune_install_packages "${RIGTUNE_DISPLAY_PACKAGES[@]}" "${RIGTUNE_PRINT_PACKAGES[@]}" \
        "${RIGTUNE_WINE_RUN_PACKAGES[@]}"' </dev/null >"$DEBIAN_ROOT_WORK/install.log" 2>&1 &
wait $! || { tail -n 30 "$DEBIAN_ROOT_WORK/install.log"; fail "installing in the root failed"; }
# The Wine of another release, not this machine's again through a source of the wrong suite.
wine=$("${DEBIAN_ROOT_INSIDE[@]}" wine --version 2>/dev/null)
[ "$wine" != "$(WINEDEBUG=-all wine --version 2>/dev/null)" ] ||
    fail "the Debian 13 root got this machine's Wine, $wine"
echo "== $wine installed in $((SECONDS - start)) s"

"${DEBIAN_ROOT_INSIDE[@]}" RIGTUNE_WINDOWS_CACHE="$RIGTUNE_WINDOWS_CACHE" \
    RIGTUNE_MINGW_RUNTIME_DIRS="$(printf '%s\n' "${inner_runtime_dirs[@]}")" \
    scripts/windows/test-built.sh "$build" </dev/null &
wait $! || fail "the Windows suite under Debian 13's Wine failed"
echo "Windows suite and packages passed under Debian 13's Wine after $SECONDS s"
