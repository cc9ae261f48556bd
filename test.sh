#!/usr/bin/env bash
# Installs what is missing, builds Rigtune with its tests and runs every test; then runs the whole
# suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the reader for
# a minute. RIGTUNE_SANITIZE_RUN=0 or RIGTUNE_FUZZ_SECONDS=0 leaves those out.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
rigtune_install_packages "${RIGTUNE_BUILD_PACKAGES[@]}" "${RIGTUNE_DISPLAY_PACKAGES[@]}" \
    "${RIGTUNE_PRINT_PACKAGES[@]}" "${RIGTUNE_TEST_PACKAGES[@]}"

build=${RIGTUNE_BUILD_DIR:-build}
cmake -S . -B "$build" -DBUILD_TESTING=ON "$@"
cmake --build "$build" --parallel "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure --timeout 600

if [ "${RIGTUNE_SANITIZE_RUN:-1}" != 0 ]; then
    cmake --preset sanitize
    cmake --build --preset sanitize
    ctest --preset sanitize
fi

if [ "${RIGTUNE_FUZZ_SECONDS:-60}" != 0 ]; then
    fuzz/run.sh "${RIGTUNE_FUZZ_SECONDS:-60}"
fi
