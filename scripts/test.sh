#!/bin/bash
# Builds and runs every test: the normal build, the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, valgrind on a run of the
# examples, and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_deps.sh build test fuzz
jobs="$(nproc)"

cmake -S . -B build -DRIMBOLT_TESTS=ON
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DRIMBOLT_TESTS=ON -DRIMBOLT_SANITIZE=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")

if [ -f tests/valgrind_examples.sh ]; then
  bash tests/valgrind_examples.sh build/rimbolt
fi
if [ -f fuzz/run_fuzz.sh ]; then
  bash fuzz/run_fuzz.sh "${RIMBOLT_FUZZ_SECONDS:-60}"
fi
