#!/usr/bin/env bash
# Builds the XML engine's libFuzzer target with clang (address and undefined
# behaviour sanitizers) and runs it for a bounded time.
#   fuzz/run.sh [SECONDS]   (default 600)
# The log, any finding and the growing working corpus (seeded from
# fuzz/corpus) are in build/fuzz/.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
out=build/fuzz
mkdir -p "$out/corpus"
cmake -S . -B "$out" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DSETUP_TESTS=OFF -DSETUP_FUZZ=ON >/dev/null || exit 1
cmake --build "$out" --target xml_fuzz -j"$(nproc)" >/dev/null || exit 1
cp -n fuzz/corpus/* "$out/corpus/" 2>/dev/null
cd "$out"
./xml_fuzz -max_total_time="$seconds" -dict=../../fuzz/xml.dict -max_len=8192 -timeout=10 \
  -print_final_stats=1 corpus >fuzz.log 2>&1
status=$?
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::|ERROR|SUMMARY|^artifact' fuzz.log
echo "exit status $status"
exit "$status"
