#!/usr/bin/env bash
# Builds and runs the XML engine benchmark against pugixml (Debian's
# libpugixml-dev), optimised and without sanitizers.
#   bench/run.sh [SIZE_MB...]   (default 1 10 50)
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/bench
mkdir -p "$out"
g++ -std=c++17 -O2 -DNDEBUG -Wall -Wextra -I. bench/xml_bench.cpp xml/memory.cpp xml/codepage.cpp \
  xml/native_codepage.cpp xml/parse.cpp xml/query.cpp xml/variant.cpp common/text.cpp \
  -lpugixml -o "$out/xml_bench"
"$out/xml_bench" "$@"
