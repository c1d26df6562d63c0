#!/usr/bin/env bash
# Takes the pictures of docs/ from the Xvfb display: builds and runs the
# screenshot program of the build that runs here (scripts/wine-env.sh) in a
# fresh Wine prefix and converts what it saved to PNG.
# Usage: scripts/screenshots.sh   (after scripts/build.sh of that build)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
. scripts/wine-env.sh
build=$SETUP_WINE_BUILD
cmake --build --preset "$build" --target screenshots >/dev/null
out="$PWD/build/$build/screenshots"
rm -rf "$out"
mkdir -p "$out" docs
export SETUP_SCREENSHOTS="Z:${out//\//\\}"
wine_start "$PWD/build/$build/wine-screenshots"
status=0
wine "build/$build/screenshots.exe" </dev/null || status=$?
wine_stop
[ $status -eq 0 ] || exit $status
for name in dialog-fresh dialog-upgrade progress completed dialog-refused; do
  python3 scripts/bmp2png.py "$out/$name.bmp" "docs/$name.png"
done
ls -l docs/*.png
