#!/usr/bin/env bash
# The Windows tests, inside the X display made by xvfb-run, in a fresh
# prefix: the shipped i686 build in a 32-bit prefix (or, on a kernel that runs
# no 32-bit program, the x86_64 build in a 64-bit one). With "wow64" first:
# the i686 build's end-to-end runs in a 64-bit prefix, as on 64-bit Windows.
# Further arguments go to ctest.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
# One locale for every test (the language tests set their own): Wine takes
# the ANSI code page from it.
export LANG=en_US.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES
build=$SETUP_WINE_BUILD preset=$SETUP_WINE_BUILD prefix=wine arch=$SETUP_WINE_BUILD
if [ "${1:-}" = wow64 ]; then
  shift
  if [ "$SETUP_WINE_BUILD" != win32 ]; then
    wine_say_build
    echo "wine-ctest: no 64-bit Windows to run the 32-bit build in here"
    exit 1
  fi
  preset=wow64 prefix=wine64 arch=win64
fi
wine_start "$PWD/build/$build/$prefix" "$arch"
# Keeps the desktop in use between the tests (see the program's comment).
wine "$PWD/build/$build/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
ctest --preset "$preset" "$@"
status=$?
wine_stop
exit $status
