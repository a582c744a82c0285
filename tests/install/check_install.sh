#!/bin/bash
# cmake --install of a build into a private prefix puts rimbolt,
# rimbolt-inspect and their manual pages where GNUInstallDirs says, and
# nothing else; man reads each page without a warning, and the installed
# rimbolt-inspect runs and says the project's version.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR VERSION [EMULATOR...]
set -euo pipefail
cmake=$1 build=$2 source=$3 version=$4
shift 4
prefix=$(mktemp -d "${TMPDIR:-/tmp}/rimbolt-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT

if ! log=$("$cmake" --install "$build" --prefix "$prefix" 2>&1); then
  echo "FAIL: cmake --install: $log"
  exit 1
fi
expected="bin/rimbolt
bin/rimbolt-inspect
share/man/man1/rimbolt-inspect.1
share/man/man1/rimbolt.1"
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
if [ "$installed" != "$expected" ]; then
  printf 'FAIL: installed\n%s\nnot\n%s\n' "$installed" "$expected"
  exit 1
fi
for program in rimbolt rimbolt-inspect; do
  if [ ! -x "$prefix/bin/$program" ]; then
    echo "FAIL: $program is not executable"
    exit 1
  fi
done
for page in rimbolt.1 rimbolt-inspect.1; do
  installed_page="$prefix/share/man/man1/$page"
  cmp "$source/docs/$page" "$installed_page"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$installed_page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    printf 'FAIL: man warns of %s:\n%s\n' "$page" "$warnings"
    exit 1
  fi
done
said=$("$@" "$prefix/bin/rimbolt-inspect" --version | head -n 1)
if [ "$said" != "rimbolt-inspect $version" ]; then
  echo "FAIL: the installed rimbolt-inspect says '$said'"
  exit 1
fi
echo "ok: installed $(echo $expected)"
