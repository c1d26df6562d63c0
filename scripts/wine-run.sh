#!/usr/bin/env bash
# The tests' emulator: runs a Windows program under Wine. Now and then Wine
# ends a process before its first instruction, with no output and a failing
# status; such a run is made once more. A program that started has printed
# something (the tests' first line, the tools' report), so a failure it
# reports is never run again.
set -u
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  "${SETUP_WINE:-wine}" "$@" >"$out"
  status=$?
  if [ "$status" -eq 0 ] || [ -s "$out" ] || [ "$attempt" -eq 2 ]; then
    break
  fi
  echo "wine-run: $1 ended with status $status before any output; running it again" >&2
done
cat "$out"
exit "$status"
