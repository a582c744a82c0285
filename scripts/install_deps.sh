#!/bin/bash
# Installs the Debian packages that the given groups need, skipping what is
# already there. Groups: build, test, fuzz, bench.
set -euo pipefail

packages=(g++ make cmake libtinyxml2-dev libbsd-dev)
for group in "$@"; do
  case "$group" in
    build) ;;
    test) packages+=(libgtest-dev libgmock-dev libxml2-utils util-linux
                     valgrind) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    bench) packages+=(libbenchmark-dev time) ;;
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
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
