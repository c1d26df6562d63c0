#!/usr/bin/env bash
# Starts the file that ships: build/win32/setup.exe (the one the import,
# signature and reproducibility checks read) installs the sample package
# silently into a fresh 32-bit prefix and uninstalls it again. Fails on an
# exit code other than 0, on a crash (with Wine's line for it), and when the
# product's file or key is not where the run left it. Inside xvfb-run.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
if [ "$SETUP_WINE_BUILD" != win32 ]; then
  wine_say_build
  echo "start-shipped: cannot start build/win32/setup.exe on this machine"
  exit 1
fi
exe=build/win32/setup.exe
wine_start "$PWD/build/win32/wine-shipped" win32
trap wine_stop EXIT
drive_c="$WINEPREFIX/drive_c"
cp -r build/win32/package "$drive_c/pkg" && cp "$exe" "$drive_c/pkg/setup.exe"
errors=$(mktemp)
problems=0
run() {  # what, command line...
  local what=$1 code
  shift
  timeout 120 "$SETUP_WINE" "$@" </dev/null >/dev/null 2>"$errors"
  code=$?
  echo "$what: exit code $code"
  if grep -E "Unhandled|page fault|wine: .*exception" "$errors"; then problems=$((problems + 1)); fi
  [ "$code" -eq 0 ] || problems=$((problems + 1))
}
product_file() { find "$drive_c/Program Files" -name 'DidIve.exe' 2>/dev/null | grep -q .; }
product_key() { wine reg query 'HKLM\SOFTWARE\KWO\PlumwickSoftwareInstaller' /v ProgDir >/dev/null 2>&1; }

run "install ($(stat -c %s "$exe") bytes, sha256 $(sha256sum <"$exe" | cut -c1-16))" 'C:\pkg\setup.exe' /S
if product_file && product_key; then echo "installed: DidIve.exe and the product key"
else echo "the install left no DidIve.exe under Program Files or no product key"; problems=$((problems + 1)); fi
run "uninstall" 'C:\pkg\setup.exe' /U /S
if product_file || product_key; then echo "the uninstall left DidIve.exe or the product key"; problems=$((problems + 1))
else echo "uninstalled: no DidIve.exe, no product key"; fi
rm -f "$errors"
[ "$problems" -eq 0 ]
