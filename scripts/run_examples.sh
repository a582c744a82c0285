#!/bin/bash
# Builds rimbolt and rimbolt-inspect, runs rimbolt on the shipped example
# files, writing /data/display-tests/combined_modes.xml, and shows with
# rimbolt-inspect what the examples hold that the tool does not write as it
# stands, that its output holds nothing of the kind, and what combining
# changed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_deps.sh build
cmake -S . -B build -DRIMBOLT_TESTS=OFF
cmake --build build -j"$(nproc)" --target rimbolt rimbolt_inspect

sudo=""
if [ "$(id -u)" -ne 0 ] && [ ! -w /data/display-tests ]; then sudo="sudo"; fi
$sudo mkdir -p /data/display-tests
$sudo ./build/rimbolt examples/qa_modes.xml examples/factory_modes.xml

# check exits 1 on warnings, as the examples' WhitePoint gives; 2 is an
# error: a file the tool cannot read.
status=0
./build/rimbolt-inspect check examples/qa_modes.xml examples/factory_modes.xml ||
  status=$?
if [ "$status" -ne 1 ]; then
  echo "rimbolt-inspect check: status $status on the examples, where 1 (warnings) was expected" >&2
  exit 1
fi
./build/rimbolt-inspect check /data/display-tests/combined_modes.xml
# diff exits 1 when the files differ, as they should here.
status=0
./build/rimbolt-inspect diff examples/qa_modes.xml \
  /data/display-tests/combined_modes.xml || status=$?
if [ "$status" -ne 1 ]; then
  echo "rimbolt-inspect diff: status $status, where 1 (the files differ) was expected" >&2
  exit 1
fi
