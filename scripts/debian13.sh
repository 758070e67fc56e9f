#!/usr/bin/env bash
# scripts/test.sh --debian13: builds, tests and packages the program on Debian 13 (trixie) from this
# Debian machine. It makes a minimal trixie system with debootstrap in build-debian13/root (or
# reuses the one there, brought up to date first), runs scripts/test.sh and scripts/package.sh in
# it on a fresh copy of the tracked files, two build jobs at most, and leaves the package in dist/
# beside this machine's, as vellora_<version>+deb13_<architecture>.deb. The archive is Debian's as
# this machine's apt sources name it, or VELLORA_DEBIAN_MIRROR. Needs root (through sudo otherwise).
#   scripts/debian13.sh [COMMAND...]   runs COMMAND (a shell command line) in the copy instead;
#                                      whatever it leaves in the copy's dist/ comes to dist/
# The user's cache of built toolchains (~/.cache/vellora) is at /root/.cache/vellora inside.
#
# Everything it mounts lives in a mount namespace of its own, which the kernel tears down when the
# run ends, however it ends; the mounts are also taken down on the way out. The host's /dev is
# never bound into the tree: the chroot gets a small /dev of its own. Work on files inside the
# tree is done from inside it (chroot), so a link there can never lead to the host's own files.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

fail() { vellora_fail "$@"; }

base=$VELLORA_TOP/build-debian13
root=$base/root
suite=trixie

# Mount points at or below $1 in this mount namespace, the deepest first.
mounts_under() {
  awk -v dir="$1" '{ p = $5; gsub(/\\040/, " ", p); if (p == dir || index(p, dir "/") == 1) print p }' \
    /proc/self/mountinfo | sort -r
}

if [ -z "${VELLORA_DEBIAN13_NAMESPACE:-}" ]; then
  [ "$(id -u)" -eq 0 ] || exec sudo bash "$VELLORA_SCRIPT" "$@"
  vellora_install_missing debootstrap
  [ ! -L "$base" ] || fail "$base is a symbolic link; remove it"
  mkdir -p "$base" "$VELLORA_CACHE"
  # The folder is the user's; the Debian system in it stays root's.
  [ -z "${SUDO_UID:-}" ] || chown "$SUDO_UID:${SUDO_GID:-$SUDO_UID}" "$base"
  [ -z "$(mounts_under "$base")" ] || fail "something is mounted below $base; unmount it first"
  # A private mount namespace: nothing mounted from here on is seen outside, or outlives the run.
  exec unshare --mount --propagation private env VELLORA_DEBIAN13_NAMESPACE=1 \
    bash "$VELLORA_SCRIPT" "$@"
fi

# One run at a time per tree.
exec 9>"$base/lock"
flock -n 9 || fail "another run is using $base"
VELLORA_MADE+=("$base/lock" "$base/ready" "$base/debootstrap.log" "$base/os-release" dist)

unmount_all() {
  local point
  while IFS= read -r point; do
    umount "$point" 2>/dev/null || umount -l "$point"
  done < <(mounts_under "$root")
}
vellora_at_exit unmount_all
trap 'exit 130' INT
trap 'exit 143' TERM

# Removes the tree, never while anything is mounted below it.
remove_tree() {
  [ -z "$(mounts_under "$root")" ] || fail "$root still has mounts; not removing it"
  rm -rf --one-file-system "$root"
}

# A path inside the tree ($root/$1) with every link in it resolved as the host sees it; fails
# unless it stays inside the tree, so that nothing is mounted through a link onto a host folder.
inside() {
  local path
  path=$(realpath -m "$root/$1")
  [[ $path == "$root"/* ]] || fail "$root/$1 leads out of the tree (to $path)"
  echo "$path"
}

in_tree() {
  chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" DEBIAN_FRONTEND=noninteractive \
    CMAKE_BUILD_PARALLEL_LEVEL=2 OMP_NUM_THREADS=2 "$@"
}

start=$SECONDS
# The ready mark is written once debootstrap has finished; a tree without it is a half-made one
# from an interrupted run and is made again.
if [ ! -f "$base/ready" ]; then
  mirror=$(vellora_debian_mirror "$(vellora_os_field VERSION_CODENAME)") ||
    fail "no Debian archive in this machine's apt sources; name one in VELLORA_DEBIAN_MIRROR"
  echo "== debootstrap $suite from $mirror into $root"
  unmount_all
  remove_tree
  debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$base/debootstrap.log" 2>&1 ||
    { tail -n 30 "$base/debootstrap.log" >&2; fail "debootstrap failed; the log is $base/debootstrap.log"; }
  unmount_all
  touch "$base/ready"
fi
[ "$(realpath "$root")" = "$root" ] || fail "$root is not a folder of its own"

# What the chroot needs of a running system: proc, sys, and a /dev of its own with the few
# devices builds and tests open, pseudo terminals and shared memory; and the toolchain cache.
mount -t proc proc "$(inside proc)"
mount -t sysfs -o ro sysfs "$(inside sys)"
dev=$(inside dev)
mount -t tmpfs -o mode=755,nosuid tmpfs "$dev"
for device in null:1:3 zero:1:5 full:1:7 random:1:8 urandom:1:9 tty:5:0; do
  IFS=: read -r name major minor <<<"$device"
  mknod -m 666 "$dev/$name" c "$major" "$minor"
done
mkdir "$dev/pts" "$dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$dev/pts"
ln -s pts/ptmx "$dev/ptmx"
mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$dev/shm"
ln -s /proc/self/fd "$dev/fd"
ln -s /proc/self/fd/0 "$dev/stdin"
ln -s /proc/self/fd/1 "$dev/stdout"
ln -s /proc/self/fd/2 "$dev/stderr"
in_tree mkdir -p /root/.cache/vellora
mount --bind "$VELLORA_CACHE" "$(inside root/.cache/vellora)"
# The name servers, written from inside, in place of whatever /etc/resolv.conf is there.
in_tree sh -c 'rm -f /etc/resolv.conf && cat >/etc/resolv.conf' </etc/resolv.conf

# A package install cut short by an interrupted run is finished first; then the tree is brought
# up to date, so that every run tests today's Debian 13.
echo "== apt-get update and upgrade in Debian 13"
in_tree sh -c 'dpkg --configure -a && apt-get -qq update && apt-get -qq -y upgrade' >/dev/null

# A fresh copy of the tracked files, as they are in the checkout now.
in_tree sh -c 'rm -rf /build/vellora && mkdir -p /build/vellora'
vellora_tracked_tar | in_tree tar -xf - -C /build/vellora

# Two build jobs at most: cmake --build reads CMAKE_BUILD_PARALLEL_LEVEL, and package.sh asks
# nproc, which OMP_NUM_THREADS caps.
if [ $# -gt 0 ]; then
  echo "== $* on Debian 13"
  # shellcheck disable=SC2016  # the command line is expanded inside
  in_tree bash -c 'cd /build/vellora && eval "$1"' command "$*"
else
  echo "== scripts/test.sh and scripts/package.sh on Debian 13"
  in_tree bash -c 'cd /build/vellora && bash scripts/test.sh && bash scripts/package.sh'
fi

# What the run left in the copy's dist/ comes out the same way, as a tar stream from inside;
# an older package of the same release and architecture makes way.
mkdir -p dist
in_tree cat /etc/os-release >"$base/os-release"
tree_suffix=$(vellora_release_suffix "$base/os-release") || fail "the tree names no Debian release"
vellora_debs dist "$tree_suffix" "$(dpkg --print-architecture)" | xargs -r rm -f --
in_tree sh -c 'cd /build/vellora && if [ -d dist ]; then tar -cf - dist; else tar -cf - -T /dev/null; fi' |
  tar -xf - --no-same-owner
echo "== Debian 13: $(in_tree sh -c 'ls /build/vellora/dist 2>/dev/null' | tr '\n' ' ')in dist/ after $((SECONDS - start)) s"
