#!/bin/bash
# Installs the Debian packages that the given groups need, skipping what is
# already there. Groups: build, test, fuzz, bench, and cross (the aarch64
# cross toolchain, arm64 libraries and qemu-user, for the cross build).
set -euo pipefail

packages=(g++ make cmake libtinyxml2-dev libbsd-dev)
cross=0
for group in "$@"; do
  case "$group" in
    build) packages+=(zlib1g-dev) ;;
    test) packages+=(libgtest-dev libgmock-dev libxml2-utils util-linux
                     valgrind python3 blueprint-tools clang man-db
                     groff-base) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    bench) packages+=(libbenchmark-dev time) ;;
    # qemu-user runs the cross-built programs with the loader and libc of
    # libc6:arm64, so it is named rather than left to come as a dependency.
    cross) packages+=(g++-aarch64-linux-gnu qemu-user libc6:arm64
                      libstdc++6:arm64 libtinyxml2-dev:arm64 libbsd-dev:arm64
                      zlib1g-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64)
           cross=1 ;;
    *) echo "unknown group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
      grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
if [ "$cross" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx arm64
then
  $sudo dpkg --add-architecture arm64
fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
