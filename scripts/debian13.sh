#!/usr/bin/env bash
# scripts/test.sh --debian13: builds, tests and packages the program on Debian 13 (trixie) from this
# Debian machine. It makes a minimal trixie system with debootstrap in build-debian13/root (or
# reuses the one there), runs scripts/test.sh and scripts/package.sh in it on a fresh copy of the
# tracked files, two build jobs at most, and leaves the package in dist/ beside this machine's,
# as vellora_<version>+deb13_<architecture>.deb. The archive is the one this machine's apt sources
# name. Needs root (through sudo otherwise).
#
# Everything it mounts lives in a mount namespace of its own, which the kernel tears down when the
# run ends, however it ends; the mounts are also taken down on the way out. The host's /dev is
# never bound into the tree: the chroot gets a small /dev of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

fail() {
  echo "debian13.sh: $*" >&2
  exit 1
}

base=$PWD/build-debian13
root=$base/root
suite=trixie

# Mount points at or below $1 in this mount namespace, the deepest first.
mounts_under() {
  awk -v dir="$1" '{ p = $5; gsub(/\\040/, " ", p); if (p == dir || index(p, dir "/") == 1) print p }' \
    /proc/self/mountinfo | sort -r
}

if [ -z "${VELLORA_DEBIAN13_NAMESPACE:-}" ]; then
  [ "$(id -u)" -eq 0 ] || exec sudo bash "$0" "$@"
  vellora_install_missing debootstrap
  mkdir -p "$base"
  [ -z "$(mounts_under "$base")" ] || fail "something is mounted below $base; unmount it first"
  # A private mount namespace: nothing mounted from here on is seen outside, or outlives the run.
  exec unshare --mount --propagation private env VELLORA_DEBIAN13_NAMESPACE=1 bash "$0" "$@"
fi

# One run at a time per tree.
exec 9>"$base/lock"
flock -n 9 || fail "another run is using $base"

unmount_all() {
  local point
  while IFS= read -r point; do
    umount "$point" 2>/dev/null || umount -l "$point"
  done < <(mounts_under "$root")
}
trap unmount_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Removes a folder of the chroot's tree, never while anything is mounted below it.
remove_tree() {
  [ -z "$(mounts_under "$1")" ] || fail "$1 still has mounts; not removing it"
  rm -rf --one-file-system "$1"
}

# Debian's archive as this machine's apt sources name it: the first deb source that is not a
# security archive, in deb822 files or in the one-line format.
debian_mirror() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -r "$file" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; uris = ""; suites = ""; enabled = "yes"
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^#/) continue
          split($i, kv, ":"); key = tolower(kv[1]); value = substr($i, length(kv[1]) + 2)
          gsub(/^[ \t]+|[ \t]+$/, "", value)
          if (key == "types") types = value
          else if (key == "uris") uris = value
          else if (key == "suites") suites = value
          else if (key == "enabled") enabled = tolower(value)
        }
        if (enabled != "no" && types ~ /(^| )deb( |$)/ && suites !~ /-security/ && uris != "") {
          split(uris, u, " "); print u[1]; exit
        }
      }' "$file"
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -r "$file" ] || continue
    sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+[^[:space:]]\+.*/\2/p' \
      "$file" | grep -v -- '-security' || true
  done
}

start=$SECONDS
# The ready mark is written once debootstrap has finished; a tree without it is a half-made one
# from an interrupted run and is made again.
if [ ! -f "$base/ready" ]; then
  mirror=$(debian_mirror | head -n 1)
  [ -n "$mirror" ] || fail "no Debian archive in this machine's apt sources"
  echo "== debootstrap $suite from $mirror into $root"
  unmount_all
  remove_tree "$root"
  debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$base/debootstrap.log" 2>&1 ||
    { tail -n 30 "$base/debootstrap.log" >&2; fail "debootstrap failed; the log is $base/debootstrap.log"; }
  unmount_all
  touch "$base/ready"
fi

# A fresh copy of the tracked files, as they are in the checkout now.
copy=$root/build/vellora
remove_tree "$copy"
mkdir -p "$copy"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached | tar --null -T - --ignore-failed-read -cf - | tar -xf - -C "$copy"
else
  tar --exclude=./.git --exclude='./build*' --exclude=./dist -cf - . | tar -xf - -C "$copy"
fi

# What the chroot needs of a running system: proc, sys, and a /dev of its own with the few
# devices builds and tests open, pseudo terminals and shared memory.
mount -t proc proc "$root/proc"
mount -t sysfs -o ro sysfs "$root/sys"
mount -t tmpfs -o mode=755,nosuid tmpfs "$root/dev"
for device in null:1:3 zero:1:5 full:1:7 random:1:8 urandom:1:9 tty:5:0; do
  IFS=: read -r name major minor <<<"$device"
  mknod -m 666 "$root/dev/$name" c "$major" "$minor"
done
mkdir "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$root/dev/pts"
ln -s pts/ptmx "$root/dev/ptmx"
mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$root/dev/shm"
ln -s /proc/self/fd "$root/dev/fd"
ln -s /proc/self/fd/0 "$root/dev/stdin"
ln -s /proc/self/fd/1 "$root/dev/stdout"
ln -s /proc/self/fd/2 "$root/dev/stderr"
rm -f "$root/etc/resolv.conf"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

# Two build jobs at most: cmake --build reads CMAKE_BUILD_PARALLEL_LEVEL, and package.sh asks
# nproc, which OMP_NUM_THREADS caps. A package install cut short by an interrupted run is
# finished first.
echo "== scripts/test.sh and scripts/package.sh on Debian 13"
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" DEBIAN_FRONTEND=noninteractive \
  CMAKE_BUILD_PARALLEL_LEVEL=2 OMP_NUM_THREADS=2 \
  bash -c 'dpkg --configure -a && cd /build/vellora && bash scripts/test.sh && bash scripts/package.sh'

mkdir -p dist
rm -f dist/vellora_*+deb13_*.deb
cp "$copy"/dist/vellora_*+deb13_*.deb "$copy"/dist/vellora_*+deb13_*.build dist/
echo "== Debian 13: $(cd "$copy/dist" && ls vellora_*+deb13_*.deb) in dist/ after $((SECONDS - start)) s"
