#!/usr/bin/env bash
# The engine's programs load no print system and no part of Qt beyond QtCore (and QtTest, for a
# test): the file engine is QtCore and the code page alone.
#     engine_libraries.sh PROGRAM...
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

for program in "$@"; do
    needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
    [ -n "$needed" ] || fail "readelf lists no library that $program needs"
    unwanted=$(grep -E '^libcups|^libQt6' <<<"$needed" | grep -v -E '^libQt6(Core|Test)\.' || true)
    [ -z "$unwanted" ] || fail "$(basename "$program") needs $(paste -sd' ' <<<"$unwanted")"
done
echo "No print system and no Qt beyond QtCore in $(basename -a "$@" | paste -sd" ")"
