#!/bin/sh
# Runs a command that writes under /data without touching the machine's
# /data: in a private mount namespace the command is chrooted into a
# temporary root that shares the system's /usr, /etc, /proc and /dev, the
# test's folder and the command's folder, and has a temporary file system of
# its own on /data.
#
# Usage: in_private_data.sh <test folder> <setup> <command> [args...]
#   (the command may be an emulator followed by the program)
#   setup "none": /data is empty (no /data/display-tests);
#   setup "dir": /data/display-tests exists and is empty;
#   setup "full": /data/display-tests is a file system of 64 KiB;
#   setup "full:FILE": the same, holding FILE as the existing output file;
#   any other setup names a file placed as the existing output file.
# Afterwards /data/display-tests is copied to <test folder>/data-after.
# Needs root. Exits with the command's status.

if [ "$1" != "--inside" ]; then
  exec unshare -m --propagation private sh "$0" --inside "$@"
fi
shift
work=$1
setup=$2
shift 2

set -e
root="$work/.root"
mkdir -p "$root"
mount -t tmpfs -o size=64m rimbolt-root "$root"
for dir in usr etc proc dev; do
  mkdir "$root/$dir"
  mount --rbind "/$dir" "$root/$dir"
done
for dir in bin sbin lib lib32 lib64 libx32; do
  if [ -L "/$dir" ]; then
    ln -s "$(readlink "/$dir")" "$root/$dir"
  elif [ -d "/$dir" ]; then
    mkdir "$root/$dir"
    mount --rbind "/$dir" "$root/$dir"
  fi
done
# The test folder, and the folder of each program named by an absolute path
# (an emulator may come before the binary); /usr is shared already.
dirs="$work"
for arg in "$@"; do
  case "$arg" in
    /usr/*) ;;
    /*) if [ -f "$arg" ]; then dirs="$dirs
$(dirname "$arg")"; fi ;;
  esac
done
echo "$dirs" | while IFS= read -r dir; do
  if [ ! -d "$root$dir" ] || ! mountpoint -q "$root$dir"; then
    mkdir -p "$root$dir"
    mount --bind "$dir" "$root$dir"
  fi
done
mkdir -p "$root/tmp" "$root/data"
case "$setup" in
  none) ;;
  dir) mkdir "$root/data/display-tests" ;;
  full|full:*)
    mkdir "$root/data/display-tests"
    mount -t tmpfs -o size=64k rimbolt-full "$root/data/display-tests"
    if [ "$setup" != full ]; then
      cp "${setup#full:}" "$root/data/display-tests/combined_modes.xml"
    fi
    ;;
  *)
    mkdir "$root/data/display-tests"
    cp "$setup" "$root/data/display-tests/combined_modes.xml"
    ;;
esac
set +e

chroot "$root" sh -c 'cd "$1" && shift && exec "$@"' sh "$work" "$@"
status=$?
if [ -d "$root/data/display-tests" ]; then
  cp -r "$root/data/display-tests" "$work/data-after"
fi
exit $status
