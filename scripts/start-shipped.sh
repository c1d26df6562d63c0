#!/usr/bin/env bash
# Starts the file that ships: build/win32/setup.exe (the one the import,
# signature and reproducibility checks read) installs the sample package
# silently and uninstalls it again, in a fresh 32-bit prefix and in a fresh
# 64-bit one (WoW64). Fails on an exit code other than 0, on a crash (with
# Wine's line for it), and when the product's file, key or uninstall entry is
# not where the run left it: under WoW64 in "Program Files (x86)" and the
# 32-bit registry view, with nothing in the 64-bit view. Inside xvfb-run.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
if [ "$SETUP_WINE_BUILD" != win32 ]; then
  wine_say_build
  echo "start-shipped: cannot start build/win32/setup.exe on this machine"
  exit 1
fi
exe=build/win32/setup.exe
errors=$(mktemp)
problems=0
trap 'wine_stop; rm -f "$errors"' EXIT
problem() { echo "PROBLEM: $*"; problems=$((problems + 1)); }
run() {  # what, command line...
  local what=$1 code
  shift
  timeout 120 "$SETUP_WINE" "$@" </dev/null >/dev/null 2>"$errors"
  code=$?
  echo "  $what: exit code $code"
  if grep -E "Unhandled|page fault|wine: .*exception" "$errors"; then problem "$what crashed"; fi
  [ "$code" -eq 0 ] || problem "$what: exit code $code"
}
# The registry view of the given width: reg.exe's own width decides nothing
# here.
key_in() {  # 32|64, key [reg query options]
  wine reg query "${@:2}" "/reg:$1" >/dev/null 2>&1
}
product_key='HKLM\SOFTWARE\KWO\PlumwickSoftwareInstaller'
uninstall_entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PlumwickSoftwareInstaller'
# What an install left, one word per place: "file key entry", "-" where
# missing (the key: its "ProgDir", which an uninstall deletes).
landed() {  # program files folder, view
  local file=- key=- entry=-
  [ -f "$1/Varnex/Ravozeve Vuzizirer/DidIve.exe" ] && file=file
  key_in "$2" "$product_key" /v ProgDir && key=key
  key_in "$2" "$uninstall_entry" && entry=entry
  echo "$file $key $entry"
}

for arch in win32 win64; do
  wine_start "$PWD/build/win32/wine-shipped-$arch" "$arch"
  drive_c="$WINEPREFIX/drive_c"
  cp -r build/win32/package "$drive_c/pkg" && cp "$exe" "$drive_c/pkg/setup.exe"
  programs="$drive_c/Program Files" view=32
  [ "$arch" = win64 ] && programs="$drive_c/Program Files (x86)"
  echo "$arch prefix:"
  run "install ($(stat -c %s "$exe") bytes, sha256 $(sha256sum <"$exe" | cut -c1-16))" 'C:\pkg\setup.exe' /S
  [ "$(landed "$programs" "$view")" = "file key entry" ] ||
    problem "install left '$(landed "$programs" "$view")' in $(basename "$programs"), view $view"
  if [ "$arch" = win64 ]; then
    [ "$(landed "$drive_c/Program Files" 64)" = "- - -" ] ||
      problem "install wrote '$(landed "$drive_c/Program Files" 64)' to Program Files or the 64-bit view"
  fi
  run "uninstall" 'C:\pkg\setup.exe' /U /S
  [ "$(landed "$programs" "$view")" = "- - -" ] ||
    problem "uninstall left '$(landed "$programs" "$view")' in $(basename "$programs"), view $view"
  wine_stop
done
echo "start-shipped: $problems problems"
[ "$problems" -eq 0 ]
