#!/usr/bin/env bash
# Starts where a newcomer starts, as root: a bare root of a Debian release (12 or 13, or its
# codename, bookworm or trixie) with only git and a clone of HEAD, where ./run.sh must install,
# build and start the editor, still running when its time limit ends it, then ./test.sh must pass,
# and last the Debian package of that build must install with apt and start. See
# scripts/debian-root.sh for the root, its cache and its mirror.
#     check-bare-debian.sh RELEASE
# RIGTUNE_BARE_RUN_LIMIT and RIGTUNE_BARE_TEST_LIMIT bound run.sh and test.sh in seconds;
# RIGTUNE_SANITIZE_RUN and RIGTUNE_FUZZ_SECONDS, when set, go on to test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

run_limit=${RIGTUNE_BARE_RUN_LIMIT:-1800}
test_limit=${RIGTUNE_BARE_TEST_LIMIT:-3600}
# How long the editor must stay up once it is seen running.
settle_seconds=10
checkout=/root/rigtune

source scripts/lib.sh
source scripts/deps.sh
source scripts/debian-root.sh
[ $# -eq 1 ] || fail "usage: $0 RELEASE (12 or 13)"
release="Debian $1"

commit=$(git rev-parse HEAD)
debian_root_begin "$1"
root=$DEBIAN_ROOT
git clone -q --no-checkout . "$root$checkout"
git -C "$root$checkout" checkout -q --detach "$commit"
echo "== clone of $commit in $checkout, root ready after $SECONDS s"

# The command follows, in the root's checkout.
debian_root_at "$checkout"
inside=("${DEBIAN_ROOT_INSIDE[@]}")
for name in RIGTUNE_SANITIZE_RUN RIGTUNE_FUZZ_SECONDS; do
    [ -z "${!name:-}" ] || inside+=("$name=${!name}")
done

editor_running() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/exe" 2>/dev/null)" = "$root$checkout/build/ui/rigtune" ] && return 0
    done
    return 1
}

echo "== ./run.sh (at most ${run_limit} s)"
started=$SECONDS
timeout "$run_limit" "${inside[@]}" QT_QPA_PLATFORM=offscreen ./run.sh </dev/null \
    >"$DEBIAN_ROOT_WORK/run.log" 2>&1 &
run_pid=$!
seen_running=0
up_or_ended() { editor_running || ! kill -0 "$run_pid" 2>/dev/null; }
within "$run_limit" up_or_ended || true
if editor_running && sleep "$settle_seconds" && editor_running; then
    seen_running=1
    kill -ALRM "$run_pid" 2>/dev/null || true # timeout's own limit: it ends the editor, exits 124
fi
run_status=0
wait "$run_pid" || run_status=$?
if [ "$run_status" -ne 124 ] || [ "$seen_running" -ne 1 ]; then
    echo "--- last lines of ./run.sh:"
    tail -n 40 "$DEBIAN_ROOT_WORK/run.log"
    [ "$run_status" -eq 124 ] && fail "./run.sh did not start the editor within ${run_limit} s"
    fail "./run.sh exited with status $run_status instead of running the editor"
fi
echo "editor built and running after $((SECONDS - started)) s"
debian_root_kill

echo "== ./test.sh (at most ${test_limit} s)"
started=$SECONDS
test_status=0
timeout "$test_limit" "${inside[@]}" ./test.sh </dev/null &
wait $! || test_status=$?
[ "$test_status" -eq 0 ] || fail "./test.sh exited with status $test_status"
echo "bare $release check passed after $SECONDS s: ./test.sh took $((SECONDS - started)) s"

# The release's own package of the editor, as a player installs it (with apt), then started.
echo "== the Debian package, installed and started"
# shellcheck disable=SC2016 # expanded inside the root
"${inside[@]}" bash -c 'cd build && cpack -G DEB && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq ./rigtune_*.deb' </dev/null >"$DEBIAN_ROOT_WORK/package.log" 2>&1 &
wait $! || { tail -n 30 "$DEBIAN_ROOT_WORK/package.log"; fail "the package did not install"; }
package_status=0
timeout 10 "${inside[@]}" QT_QPA_PLATFORM=offscreen rigtune </dev/null \
    >"$DEBIAN_ROOT_WORK/package.log" 2>&1 &
wait $! || package_status=$?
[ "$package_status" -eq 124 ] || {
    cat "$DEBIAN_ROOT_WORK/package.log"
    fail "the installed rigtune ended with status $package_status instead of running"
}
debian_root_kill
echo "bare $release: its package installs and the installed editor runs"
