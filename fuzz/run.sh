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
clang++ -std=c++17 -g -O1 -Wall -Wextra -Werror -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -I. fuzz/xml_fuzz.cpp xml/memory.cpp xml/codepage.cpp \
  xml/native_codepage.cpp xml/parse.cpp xml/query.cpp xml/variant.cpp common/text.cpp \
  -o "$out/xml_fuzz" || exit 1
cp -n fuzz/corpus/* "$out/corpus/" 2>/dev/null
cd "$out"
./xml_fuzz -max_total_time="$seconds" -dict=../../fuzz/xml.dict -max_len=8192 -timeout=10 \
  -print_final_stats=1 corpus >fuzz.log 2>&1
status=$?
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::|ERROR|SUMMARY|^artifact' fuzz.log
echo "exit status $status"
exit "$status"
