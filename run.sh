#!/usr/bin/env bash
# Installs what is missing, builds Rigtune and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
rigtune_install_packages "${RIGTUNE_BUILD_PACKAGES[@]}"

build=${RIGTUNE_BUILD_DIR:-build}
cmake -S . -B "$build"
cmake --build "$build" --parallel "$(nproc)" --target rigtune
exec "$build/ui/rigtune"
