#!/bin/bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# the given number of seconds over a copy of the seed corpus. Exits non-zero on
# any crash, leak, timeout, out-of-memory or sanitizer report; what was
# found is kept in fuzz/corpus-run/artifacts/.
#
# Usage: bash fuzz/run_fuzz.sh [seconds] [more libFuzzer flags...]
# Set RIMBOLT_FUZZ_LOG=1 to see what the targets print on stderr while
# fuzzing: the database's log and rimbolt-inspect's reports.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  # libFuzzer takes 0 as "no time limit".
  echo "usage: bash fuzz/run_fuzz.sh <seconds > 0> [libFuzzer flags...]" >&2
  exit 2
fi

bash scripts/install_deps.sh build fuzz

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DRIMBOLT_FUZZ=ON \
  -DRIMBOLT_TESTS=OFF
targets=(rimbolt_fuzz rimbolt_inspect_fuzz)
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

run=fuzz/corpus-run
rm -rf "$run"
mkdir -p "$run/artifacts"

# Every input of rimbolt_fuzz saves the output file twice: a RAM file system
# keeps that from costing disk syncs.
scratch_base=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch_base=/dev/shm; fi
scratch=$(mktemp -d "$scratch_base/rimbolt-fuzz-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=0
for target in "${targets[@]}"; do
  echo "=== $target for ${seconds}s"
  mkdir -p "$run/$target"
  cp fuzz/corpus/* "$run/$target/"
  status=0
  TMPDIR="$scratch" "$build/fuzz/$target" \
    -max_total_time="$seconds" -dict=fuzz/calib.dict -max_len=65536 \
    -timeout=60 -print_final_stats=1 \
    -artifact_prefix="$run/artifacts/$target-" \
    "$@" "$run/$target" 2>&1 | tee "$run/$target.log" || status=$?
  found=$(find "$run/artifacts" -type f -name "$target-*" | sort)
  if [ "$status" -ne 0 ] || [ -n "$found" ]; then
    echo "fuzzing $target failed (status $status); inputs that show it:" >&2
    echo "${found:-  (none written)}" >&2
    echo "reproduce one with: $build/fuzz/$target <file>" >&2
    failed=1
  fi
done
if [ "$failed" -ne 0 ]; then exit 1; fi
echo "fuzzing each target for ${seconds}s found nothing; logs in $run/"
