#!/usr/bin/env bash
# Installs what is missing, builds Rigtune with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
rigtune_install_packages "${RIGTUNE_BUILD_PACKAGES[@]}" "${RIGTUNE_TEST_PACKAGES[@]}"

build=${RIGTUNE_BUILD_DIR:-build}
cmake -S . -B "$build" -DBUILD_TESTING=ON "$@"
cmake --build "$build" --parallel "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure --timeout 600
