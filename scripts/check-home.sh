#!/usr/bin/env bash
# Shows that building and testing leave the user's home alone: with HOME an
# empty folder, relinks a Windows test program (a build that ran it under
# Wine, as test discovery right after linking would, makes ~/.wine) and runs
# one Windows test, which discovers the tests of every test program under
# Wine first. Fails if HOME then holds a .wine, or anything at all (Wine's
# menu builder, left on, would add folders). Run after a build of the
# Windows tests (scripts/wine-env.sh says which build runs here).
set -euo pipefail
cd "$(dirname "$0")/.."
home="$PWD/build/home-check"
rm -rf "$home"
mkdir -p "$home"
export HOME="$home"
. scripts/wine-env.sh
rm -f "build/$SETUP_WINE_BUILD/unit_tests.exe"
cmake --build --preset "$SETUP_WINE_BUILD" --target unit_tests -j2 >/dev/null
xvfb-run -a scripts/wine-ctest.sh -R '^XmlParseDocument\.' >/dev/null
left=$(ls -A "$home")
if [ -n "$left" ]; then
  echo "HOME=$home got files from the build or the tests: $left"
  exit 1
fi
echo "HOME left empty (no .wine) by a build and a Windows test run"
