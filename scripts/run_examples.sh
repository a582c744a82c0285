#!/bin/bash
# Builds rimbolt and runs it on the shipped example files, writing
# /data/display-tests/combined_modes.xml.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_deps.sh build
cmake -S . -B build -DRIMBOLT_TESTS=OFF
cmake --build build -j"$(nproc)" --target rimbolt

sudo=""
if [ "$(id -u)" -ne 0 ] && [ ! -w /data/display-tests ]; then sudo="sudo"; fi
$sudo mkdir -p /data/display-tests
$sudo ./build/rimbolt examples/qa_modes.xml examples/factory_modes.xml
