#!/usr/bin/env bash
# Takes the pictures of docs/ from the Xvfb display: runs the screenshot test
# of the win64 build in a fresh Wine prefix and converts what it saved to PNG.
# Usage: scripts/screenshots.sh   (after scripts/build.sh win64)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/build/win64/screenshots"
rm -rf "$out"
mkdir -p "$out" docs
export SETUP_SCREENSHOTS="Z:${out//\//\\}"
xvfb-run -a -s "-screen 0 1024x768x24" scripts/wine-ctest.sh -R '^Screenshots\.' --output-on-failure
for name in dialog-fresh dialog-upgrade progress completed dialog-refused; do
  python3 scripts/bmp2png.py "$out/$name.bmp" "docs/$name.png"
done
ls -l docs/*.png
