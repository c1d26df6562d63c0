#!/usr/bin/env bash
# Runs the Windows tests N times in a row (not part of the test command) and
# prints each test that failed at least once, with how often.
#   scripts/repeat-wine-tests.sh N [--load] [ctest options, e.g. -R Browse]
# --load builds the native preset afresh in build/load beside each run, to
# see what a busy machine does to the tests.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:?usage: repeat-wine-tests.sh N [--load] [ctest options]}
shift
load=0
if [ "${1:-}" = --load ]; then load=1; shift; fi
logs="$PWD/build/repeat"
rm -rf "$logs"
mkdir -p "$logs"
for run in $(seq 1 "$runs"); do
  loader=
  if [ "$load" = 1 ]; then
    rm -rf build/load
    (cmake -S . -B build/load -DSETUP_TESTS=ON >/dev/null && cmake --build build/load -j2 >/dev/null 2>&1) &
    loader=$!
  fi
  xvfb-run -a scripts/wine-ctest.sh "$@" >"$logs/run-$run.log" 2>&1
  echo "run $run: exit $? ($(grep -E '^[0-9]+% tests passed' "$logs/run-$run.log"))"
  [ -z "$loader" ] || kill "$loader" 2>/dev/null
  wait 2>/dev/null
done
echo "failed at least once:"
cat "$logs"/run-*.log | sed -n 's/^\s*[0-9]* - \(.*\) (\(Failed\|Timeout\|Not Run\)).*/\1/p' | sort | uniq -c |
  sort -rn | sed 's/^/  /'
