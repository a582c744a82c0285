#!/bin/bash
# Runs rimbolt on the shipped examples under valgrind's memcheck and fails
# on any memory error or leak. The binary always writes
# /data/display-tests/combined_modes.xml, so it runs through
# tests/run/in_private_data.sh: chrooted, in a private mount namespace, with
# a temporary /data. That needs root; other users get a user namespace in
# which they are root, where the system allows one.
#
# Usage: bash tests/valgrind_examples.sh <path to rimbolt>
set -euo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: bash tests/valgrind_examples.sh <path to rimbolt>" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
binary=$(realpath "$1")

# The private root shares only /usr (and /etc, /proc, /dev) with the system.
valgrind=$(command -v valgrind || true)
if [ -z "$valgrind" ]; then
  echo "valgrind is missing: bash scripts/install_deps.sh test" >&2
  exit 2
fi
valgrind=$(realpath "$valgrind")
case "$valgrind" in
  /usr/*) ;;
  *) echo "valgrind at $valgrind is not under /usr, so not in the private root" >&2
     exit 2 ;;
esac

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! unshare -r true 2>/dev/null; then
    echo "needs root, or user namespaces, for a private /data" >&2
    exit 2
  fi
  as_root=(unshare -r)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/rimbolt-valgrind.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$binary" "$work/rimbolt"
cp "$source_dir/examples/qa_modes.xml" "$source_dir/examples/factory_modes.xml" \
  "$work/"

# The machine's own output file must not be touched.
real_output=/data/display-tests/combined_modes.xml
before=$(sha256sum "$real_output" 2>/dev/null || echo missing)

status=0
"${as_root[@]}" sh "$here/run/in_private_data.sh" "$work" dir \
  "$valgrind" --error-exitcode=99 --leak-check=full \
  --errors-for-leak-kinds=all --show-leak-kinds=all \
  --log-file=valgrind.log \
  ./rimbolt qa_modes.xml factory_modes.xml \
  >"$work/stdout" 2>"$work/stderr" || status=$?

failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}
log="$work/valgrind.log"
# valgrind itself, not the bare binary, must have run in the private root.
if ! grep -q "Memcheck, a memory error detector" "$log" 2>/dev/null ||
   ! grep -q "Command: ./rimbolt qa_modes.xml factory_modes.xml" "$log"; then
  fail "valgrind did not run inside the private root"
fi
if [ "$status" -eq 99 ]; then
  fail "valgrind found memory errors or leaks"
elif [ "$status" -ne 0 ]; then
  fail "rimbolt exited with status $status"
fi
if ! grep -q "ERROR SUMMARY: 0 errors" "$log" 2>/dev/null; then
  fail "valgrind reports errors"
fi
if ! grep -q "^Combined modes write to: $real_output successfully$" \
     "$work/stdout"; then
  fail "rimbolt did not report the combined file as written"
fi
if ! grep -q "<Disp_Modes " "$work/data-after/combined_modes.xml" 2>/dev/null
then
  fail "no combined file in the private /data"
fi
after=$(sha256sum "$real_output" 2>/dev/null || echo missing)
if [ "$before" != "$after" ]; then
  fail "the machine's $real_output changed"
fi

if [ "$failed" -ne 0 ]; then
  echo "--- valgrind log" >&2
  cat "$log" >&2 2>/dev/null || true
  echo "--- rimbolt stdout" >&2
  cat "$work/stdout" >&2
  echo "--- stderr (last lines)" >&2
  tail -n 20 "$work/stderr" >&2
  exit 1
fi
grep -E "ERROR SUMMARY|in use at exit|total heap usage" "$log" |
  sed 's/^==[0-9]*== *//'
echo "valgrind: no memory errors or leaks on the examples"
