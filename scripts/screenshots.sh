#!/usr/bin/env bash
# Takes the pictures of docs/ from the Xvfb display: builds and runs the
# screenshot program of the win64 build in a fresh Wine prefix and converts
# what it saved to PNG.
# Usage: scripts/screenshots.sh   (after scripts/build.sh win64)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
cmake --build --preset win64 --target screenshots >/dev/null
out="$PWD/build/win64/screenshots"
rm -rf "$out"
mkdir -p "$out" docs
export SETUP_SCREENSHOTS="Z:${out//\//\\}"
. scripts/wine-env.sh
wine_start "$PWD/build/win64/wine-screenshots"
status=0
wine build/win64/screenshots.exe </dev/null || status=$?
wine_stop
[ $status -eq 0 ] || exit $status
for name in dialog-fresh dialog-upgrade progress completed dialog-refused; do
  python3 scripts/bmp2png.py "$out/$name.bmp" "docs/$name.png"
done
ls -l docs/*.png
