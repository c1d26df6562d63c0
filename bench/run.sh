#!/usr/bin/env bash
# Builds and runs the XML engine benchmark against pugixml (Debian's
# libpugixml-dev), optimised and without sanitizers.
#   bench/run.sh [SIZE_MB...]   (default 1 10 50)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DSETUP_TESTS=OFF -DSETUP_BENCH=ON >/dev/null
cmake --build build/bench --target xml_bench -j"$(nproc)" >/dev/null
build/bench/xml_bench "$@"
