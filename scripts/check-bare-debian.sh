#!/usr/bin/env bash
# Starts where a newcomer starts, as root: a bare Debian 12 root (debootstrap minbase) with only git
# and a clone of HEAD, where ./run.sh must install, build and start the editor, still running when
# its time limit ends it, and then ./test.sh must pass. The pristine root is kept as a tarball in
# RIGTUNE_BARE_CACHE (/var/cache/rigtune-bare-debian); the mirror is the one apt uses here.
# RIGTUNE_BARE_RUN_LIMIT and RIGTUNE_BARE_TEST_LIMIT bound run.sh and test.sh in seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

cache=${RIGTUNE_BARE_CACHE:-/var/cache/rigtune-bare-debian}
run_limit=${RIGTUNE_BARE_RUN_LIMIT:-1800}
test_limit=${RIGTUNE_BARE_TEST_LIMIT:-3600}
# How long the editor must stay up once it is seen running.
settle_seconds=10
checkout=/root/rigtune

source scripts/lib.sh
source scripts/deps.sh
[ "$(id -u)" -eq 0 ] || fail "the bare Debian 12 check needs root (debootstrap, chroot, mounts)"
rigtune_install_packages debootstrap

commit=$(git rev-parse HEAD)
work=$(mktemp -d /var/tmp/rigtune-bare.XXXXXX)
root=$work/root

# Every process whose root is inside the work folder: the editor, Xvfb, cupsd, ...
pids_inside() {
    local proc link
    for proc in /proc/[0-9]*; do
        link=$(readlink "$proc/root" 2>/dev/null) || continue
        [[ $link == "$work"/* ]] && echo "${proc#/proc/}"
    done
    return 0
}

kill_inside() {
    local signal pids
    for signal in TERM KILL; do
        pids=$(pids_inside)
        [ -n "$pids" ] || return 0
        # shellcheck disable=SC2086 # one pid per word
        kill -s "$signal" $pids 2>/dev/null || true
        ! within 5 none_inside || return 0
    done
}
none_inside() { [ -z "$(pids_inside)" ]; }

mounts_inside() {
    awk -v under="$work/" 'index($5, under) == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

cleanup() {
    local status=$? jobs
    trap - EXIT INT TERM HUP
    jobs=$(jobs -p)
    # shellcheck disable=SC2086 # one pid per word
    [ -z "$jobs" ] || kill $jobs 2>/dev/null || true
    kill_inside
    rm -f "${tarball:-}.$$.partial"
    local mount_point
    for mount_point in $(mounts_inside); do
        umount "$mount_point" 2>/dev/null || umount -l "$mount_point"
    done
    if [ -n "$(mounts_inside)" ]; then
        echo "still mounted, $work kept:" >&2
        mounts_inside >&2
    else
        rm -rf --one-file-system "$work"
    fi
    exit "$status"
}
# Every way out goes through cleanup. Long steps run in the background while this script waits for
# them, so that a signal is handled at once.
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# "URI SUITE CODENAME" of each Debian 12 source that apt uses on this machine, as apt itself
# lists the indexes it reads (one-line and deb822 source files alike).
debian12_sources() {
    apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(CODENAME)' 'Created-By: Packages' \
        'Origin: Debian' | awk '$3 ~ /^bookworm(-updates|-security)?$/ && !seen[$0]++'
}
sources=$(debian12_sources)
[ -n "$sources" ] || { apt-get update -qq || true; sources=$(debian12_sources); }
mirror=$(awk '$3 == "bookworm" { print $1; exit }' <<<"$sources")
[ -n "$mirror" ] || fail "apt on this machine has no Debian 12 (bookworm) source"

arch=$(dpkg --print-architecture)
tarball=$cache/bookworm-minbase-git-$arch.tar.gz
if [ -f "$tarball" ]; then
    echo "== bare Debian 12 root from $tarball"
else
    echo "== bare Debian 12 root: debootstrap from $mirror into $tarball"
    debootstrap --variant=minbase --include=git --arch="$arch" bookworm "$work/pristine" "$mirror" \
        >"$work/debootstrap.log" 2>&1 &
    wait $! || { tail -n 30 "$work/debootstrap.log"; fail "debootstrap failed"; }
    # A newcomer's first apt-get update fetches fresh lists.
    rm -rf "$work"/pristine/var/cache/apt/archives/*.deb "$work"/pristine/var/lib/apt/lists/*
    mkdir -p "$work/pristine/var/lib/apt/lists/partial"
    mkdir -p "$cache"
    tar -C "$work/pristine" --numeric-owner -czf "$tarball.$$.partial" .
    mv "$tarball.$$.partial" "$tarball" # whole or not at all, even with two checks at once
    rm -rf --one-file-system "$work/pristine"
fi
mkdir "$root"
tar -C "$root" --numeric-owner -xzf "$tarball"

awk '{ print "deb", $1, $2, "main" }' <<<"$sources" >"$root/etc/apt/sources.list"
# The same mirror needs the same leniency about the age of its index files.
apt-config dump | grep -E '^Acquire::Check-(Valid-Until|Date) ' \
    >"$root/etc/apt/apt.conf.d/50host" || true
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n::1\tlocalhost ip6-localhost\n' "$(hostname)" \
    >"$root/etc/hosts"
# Services that packages start on installing would share this machine's network (the print
# service's port); the tests start their own.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"

git clone -q --no-checkout . "$root$checkout"
git -C "$root$checkout" checkout -q --detach "$commit"
echo "== clone of $commit in $checkout, root ready after $SECONDS s"

mount -t proc proc "$root/proc"
mount -t sysfs -o ro sysfs "$root/sys"
for dev in /dev /dev/pts; do
    mount --bind "$dev" "$root$dev"
    mount --make-private "$root$dev" # so nothing mounted below reaches this machine's /dev
done
mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"

# A fresh login's environment in the root's checkout; the command follows.
inside=(chroot "$root" /usr/bin/env -i -C "$checkout" HOME=/root LANG=C.UTF-8 TERM=dumb
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)

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
    >"$work/run.log" 2>&1 &
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
    tail -n 40 "$work/run.log"
    [ "$run_status" -eq 124 ] && fail "./run.sh did not start the editor within ${run_limit} s"
    fail "./run.sh exited with status $run_status instead of running the editor"
fi
echo "editor built and running after $((SECONDS - started)) s"
kill_inside

echo "== ./test.sh (at most ${test_limit} s)"
started=$SECONDS
test_status=0
timeout "$test_limit" "${inside[@]}" ./test.sh </dev/null &
wait $! || test_status=$?
[ "$test_status" -eq 0 ] || fail "./test.sh exited with status $test_status"
echo "bare Debian 12 check passed after $SECONDS s: ./test.sh took $((SECONDS - started)) s"
