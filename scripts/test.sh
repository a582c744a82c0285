#!/bin/bash
# Builds and runs every test: the normal build (with the check that the
# device build, Android.bp, builds from the same sources), the whole suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer, the suite
# cross-built for aarch64 and run under qemu-user, valgrind on a run of the
# examples, and a short fuzzing run. Any step that cannot run fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_deps.sh build test fuzz cross
jobs="$(nproc)"

step() { echo; echo "=== $*"; }

step "host build and tests"
cmake -S . -B build -DRIMBOLT_TESTS=ON
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

step "sanitizer build and tests"
cmake -S . -B build-asan -DRIMBOLT_TESTS=ON -DRIMBOLT_SANITIZE=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")

step "aarch64 build and tests under qemu-user"
cmake -S . -B build-aarch64 -DRIMBOLT_TESTS=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
cmake --build build-aarch64 -j"$jobs"
(cd build-aarch64 && ctest --output-on-failure -j"$jobs")

step "valgrind on the examples"
bash tests/valgrind_examples.sh build/rimbolt

step "fuzzing"
bash fuzz/run_fuzz.sh "${RIMBOLT_FUZZ_SECONDS:-60}"
