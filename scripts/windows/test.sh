#!/usr/bin/env bash
# Builds Rigtune for Windows (build.sh, with the same settings and arguments), runs its whole suite
# and the packages' checks under this machine's Wine (test-built.sh), and builds it once more to
# compare the bytes. test-under-debian13.sh runs the same suite under Debian 13's Wine.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh
source scripts/deps.sh
# A Qt for Windows named relative to the clone is found from the second checkout too.
for qt in RIGTUNE_WINDOWS_QT RIGTUNE_WINDOWS_QT_TARBALL; do
    [ -z "${!qt:-}" ] || export "$qt=$(realpath "${!qt}")"
done
rigtune_install_packages "${RIGTUNE_DISPLAY_PACKAGES[@]}" "${RIGTUNE_PRINT_PACKAGES[@]}"
scripts/windows/build.sh "$@"

build=$(realpath -m "$RIGTUNE_WINDOWS_BUILD_DIR")
scripts/windows/test-built.sh "$build"

# Built once more, later, from a second checkout whose files carry another time, in another folder
# and without the tests: the program and both packages come out the same bytes.
start=$SECONDS
again=$(mktemp -d)
another_checkout "$PWD" "$again/source"
RIGTUNE_WINDOWS_BUILD_DIR=$again "$again/source/scripts/windows/build.sh" "$@" -DBUILD_TESTING=OFF \
    >"$again/build.log" 2>&1 || fail "the second build: $(cat "$again/build.log")"
for file in Rigtune/Rigtune.exe $(cd "$build" && ls Rigtune-*-win64.*); do
    cmp "$build/$file" "$again/$file" || fail "two builds, two $file: see $again (diffoscope)"
done
rm -rf "$again"
echo "Built twice, the same Rigtune.exe, installer and zip ($((SECONDS - start)) s)"
