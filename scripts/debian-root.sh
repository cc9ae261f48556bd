# A bare Debian root to run commands in, as root: Debian 12 (bookworm) or 13 (trixie), made by
# debootstrap (minbase and git) from the mirror that apt uses on this machine, kept as a pristine
# tarball in RIGTUNE_BARE_CACHE (/var/cache/rigtune-bare-debian) and unpacked afresh into a work
# folder under /var/tmp for each use. Sourced after lib.sh; it sets no shell option.
#
#     debian_root_begin RELEASE     the root at $DEBIAN_ROOT, with proc, sys and dev mounted, its
#                                   apt pointed at that release on this machine's mirror; every
#                                   way out of the script then goes through debian_root_cleanup
#     debian_root_bind PATH [AT [ro]]
#                                   a folder of this machine at the same path in the root, or at AT
#     "${DEBIAN_ROOT_INSIDE[@]}" [NAME=VALUE...] COMMAND...
#                                   the command in the root, in a fresh login's environment, in
#                                   its / or the folder last given to debian_root_at

# The codename of RELEASE, given as a version or a codename.
debian_codename() {
    case $1 in
    12 | bookworm) echo bookworm ;;
    13 | trixie) echo trixie ;;
    *) fail "Debian release \"$1\": 12 (bookworm) or 13 (trixie)" ;;
    esac
}

# "URI SUITE CODENAME" of each Debian 12 source that apt uses on this machine, as apt itself lists
# the indexes it reads (one-line and deb822 source files alike).
debian12_sources() {
    apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(CODENAME)' 'Created-By: Packages' \
        'Origin: Debian' | awk '$3 ~ /^bookworm(-updates|-security)?$/ && !seen[$0]++'
}

# "URI SUITE" of each source of CODENAME: those of Debian 12 on this machine, the same mirrors with
# the other release's suites (the security suite on the security mirror).
debian_sources() {
    local sources
    sources=$(debian12_sources)
    [ -n "$sources" ] || { apt-get update -qq || true; sources=$(debian12_sources); }
    awk '$3 ~ /^bookworm/' <<<"$sources" | grep -q . ||
        fail "apt on this machine has no Debian 12 (bookworm) source"
    awk -v codename="$1" '{ sub(/^bookworm/, codename, $3); print $1, $3 }' <<<"$sources"
}

# Every process whose root is inside the work folder: a program, Xvfb, cupsd, a Wine server...
debian_root_pids() {
    local proc link
    for proc in /proc/[0-9]*; do
        link=$(readlink "$proc/root" 2>/dev/null) || continue
        [[ $link == "$DEBIAN_ROOT_WORK"/* ]] && echo "${proc#/proc/}"
    done
    return 0
}
debian_root_idle() { [ -z "$(debian_root_pids)" ]; }

# Ends every process inside the root, politely first.
debian_root_kill() {
    local signal pids
    for signal in TERM KILL; do
        pids=$(debian_root_pids)
        [ -n "$pids" ] || return 0
        # shellcheck disable=SC2086 # one pid per word
        kill -s "$signal" $pids 2>/dev/null || true
        ! within 5 debian_root_idle || return 0
    done
}

debian_root_mounts() {
    awk -v under="$DEBIAN_ROOT_WORK/" 'index($5, under) == 1 { print $5 }' /proc/self/mountinfo |
        sort -r
}

# Ends the script's jobs and every process inside, unmounts, and removes the work folder; it is
# kept, and said, while anything is still mounted there: a folder bound from this machine is on
# the same file system, which rm would not stop at.
debian_root_cleanup() {
    local status=$? jobs mount_point
    trap - EXIT INT TERM HUP
    jobs=$(jobs -p)
    # shellcheck disable=SC2086 # one pid per word
    [ -z "$jobs" ] || kill $jobs 2>/dev/null || true
    debian_root_kill
    rm -f "${DEBIAN_ROOT_TARBALL:-}.$$.partial"
    for mount_point in $(debian_root_mounts); do
        umount "$mount_point" 2>/dev/null || umount -l "$mount_point"
    done
    if [ -n "$(debian_root_mounts)" ]; then
        echo "still mounted, $DEBIAN_ROOT_WORK kept:" >&2
        debian_root_mounts >&2
    else
        rm -rf --one-file-system "$DEBIAN_ROOT_WORK"
    fi
    exit "$status"
}

# debian_root_pristine CODENAME MIRROR: the pristine root's tarball, made by debootstrap when the
# cache has none. A newcomer's first apt-get update fetches fresh lists, so it keeps none.
debian_root_pristine() {
    local codename=$1 mirror=$2 pristine=$DEBIAN_ROOT_WORK/pristine
    if [ -f "$DEBIAN_ROOT_TARBALL" ]; then
        echo "== bare $codename root from $DEBIAN_ROOT_TARBALL"
        return
    fi
    echo "== bare $codename root: debootstrap from $mirror into $DEBIAN_ROOT_TARBALL"
    debootstrap --variant=minbase --include=git --arch="$(dpkg --print-architecture)" \
        "$codename" "$pristine" "$mirror" >"$DEBIAN_ROOT_WORK/debootstrap.log" 2>&1 &
    wait $! || { tail -n 30 "$DEBIAN_ROOT_WORK/debootstrap.log"; fail "debootstrap failed"; }
    rm -rf "$pristine"/var/cache/apt/archives/*.deb "$pristine"/var/lib/apt/lists/*
    mkdir -p "$pristine/var/lib/apt/lists/partial" "$(dirname "$DEBIAN_ROOT_TARBALL")"
    tar -C "$pristine" --numeric-owner -czf "$DEBIAN_ROOT_TARBALL.$$.partial" .
    mv "$DEBIAN_ROOT_TARBALL.$$.partial" "$DEBIAN_ROOT_TARBALL" # whole or not at all
    rm -rf --one-file-system "$pristine"
}

# debian_root_configure SOURCES: apt on those sources, with the same leniency about the age of the
# mirror's index files as here, the machine's name service, and no service started by a package
# (it would share this machine's network, the print service's port: the tests start their own).
debian_root_configure() {
    local root=$DEBIAN_ROOT
    awk '{ print "deb", $1, $2, "main" }' <<<"$1" >"$root/etc/apt/sources.list"
    rm -f "$root"/etc/apt/sources.list.d/*
    mkdir -p "$root/var/lib/apt/lists/partial"
    apt-config dump | grep -E '^Acquire::Check-(Valid-Until|Date) ' \
        >"$root/etc/apt/apt.conf.d/50host" || true
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n::1\tlocalhost ip6-localhost\n' "$(hostname)" \
        >"$root/etc/hosts"
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
}

debian_root_mount_system() {
    local root=$DEBIAN_ROOT dev
    mount -t proc proc "$root/proc"
    mount -t sysfs -o ro sysfs "$root/sys"
    for dev in /dev /dev/pts; do
        mount --bind "$dev" "$root$dev"
        mount --make-private "$root$dev" # so nothing mounted below reaches this machine's /dev
    done
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
}

debian_root_begin() {
    local codename sources
    [ "$(id -u)" -eq 0 ] || fail "a bare Debian root needs root (debootstrap, chroot, mounts)"
    codename=$(debian_codename "$1")
    rigtune_install_packages debootstrap
    sources=$(debian_sources "$codename")

    DEBIAN_ROOT_WORK=$(mktemp -d /var/tmp/rigtune-bare.XXXXXX)
    DEBIAN_ROOT=$DEBIAN_ROOT_WORK/root
    DEBIAN_ROOT_TARBALL=${RIGTUNE_BARE_CACHE:-/var/cache/rigtune-bare-debian}
    DEBIAN_ROOT_TARBALL+=/$codename-minbase-git-$(dpkg --print-architecture).tar.gz
    # Long steps run in the background while the script waits for them, so that a signal is
    # handled at once.
    trap debian_root_cleanup EXIT
    trap 'exit 130' INT TERM HUP

    debian_root_pristine "$codename" "$(awk -v suite="$codename" '$2 == suite { print $1; exit }' \
        <<<"$sources")"
    mkdir "$DEBIAN_ROOT"
    tar -C "$DEBIAN_ROOT" --numeric-owner -xzf "$DEBIAN_ROOT_TARBALL"
    debian_root_configure "$sources"
    debian_root_mount_system
    debian_root_at /
}

# debian_root_at DIR: DEBIAN_ROOT_INSIDE runs its command in DIR inside the root.
debian_root_at() {
    DEBIAN_ROOT_INSIDE=(chroot "$DEBIAN_ROOT" /usr/bin/env -i -C "$1" HOME=/root LANG=C.UTF-8
        TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
}

# debian_root_bind PATH [AT [ro]]: a folder of this machine at the same path in the root, or at AT;
# read-only with ro.
debian_root_bind() {
    local path at
    path=$(realpath "$1")
    at=$DEBIAN_ROOT${2:-$path}
    mkdir -p "$at"
    mount --bind "$path" "$at"
    mount --make-private "$at"
    [ "${3:-}" != ro ] || mount -o remount,bind,ro "$at"
}
