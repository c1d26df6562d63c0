#!/usr/bin/env bash
# The Windows tests, inside the X display made by xvfb-run.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
wine_start "$PWD/build/win64/wine"
ctest --preset win64 "$@"
status=$?
wine_stop
exit $status
