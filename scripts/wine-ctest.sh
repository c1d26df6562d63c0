#!/usr/bin/env bash
# The Windows tests, inside the X display made by xvfb-run.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
# One locale for every test (the language tests set their own): Wine takes
# the ANSI code page from it.
export LANG=en_US.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES
wine_start "$PWD/build/win64/wine"
# Keeps the desktop in use between the tests (see the program's comment).
wine "$PWD/build/win64/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
ctest --preset win64 "$@"
status=$?
wine_stop
exit $status
