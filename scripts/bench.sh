#!/bin/bash
# Builds the benchmarks in Release and runs them all: the hex codec beside
# memcpy of the same hex text, then the whole run beside the floor program
# on generated files of growing size. Full output goes to
# build-bench/results/; the two summary tables are printed at the end.
# Arguments are passed to both benchmark programs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_deps.sh build bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DRIMBOLT_BENCH=ON \
  -DRIMBOLT_TESTS=OFF
cmake --build build-bench -j"$(nproc)"

results=build-bench/results
mkdir -p "$results"
build-bench/bench/rimbolt_codec_bench "$@" | tee "$results/codec.txt"
build-bench/bench/rimbolt_run_bench "$@" | tee "$results/run.txt"

echo
echo "==== Summary ($(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ)) ===="
sed -n '/^Hex codec,/,$p' "$results/codec.txt"
echo
sed -n '/^Whole run vs floor/,$p' "$results/run.txt"
