#!/usr/bin/env bash
# The main job: builds setup.exe, the stand-in product and the sample package
# (the shipped i686 build, nothing else; the x86_64 one on a kernel that runs
# no 32-bit program), installs the package silently into a fresh Wine
# prefix under build/, shows what happened, then uninstalls it and shows that
# too. The build's and Wine's own output go to build/demo.log.
set -euo pipefail
cd "$(dirname "$0")/.."
log="$PWD/build/demo.log"
step() { echo "== $*"; }
failed() { echo "failed: the end of build/demo.log follows"; tail -n 20 "$log"; exit 1; }
if [ "${1:-}" != "--inside-display" ]; then
  mkdir -p build
  : >"$log"
  scripts/install-deps.sh >>"$log" 2>&1 || failed
  . scripts/wine-env.sh
  wine_say_build
  step "building setup.exe, DidIve.exe and the sample package ($SETUP_WINE_BUILD)"
  start=$SECONDS
  { cmake --preset "$SETUP_WINE_BUILD" &&
    cmake --build --preset "$SETUP_WINE_BUILD" --target setup-package -j2; } >>"$log" 2>&1 || failed
  echo "   built in $((SECONDS - start)) s: build/$SETUP_WINE_BUILD/package/"
  exec xvfb-run -a "$0" --inside-display
fi
. scripts/wine-env.sh
step "starting a fresh Wine prefix: build/demo/wine"
wine_start "$PWD/build/demo/wine"
trap wine_stop EXIT
drive_c="$WINEPREFIX/drive_c"
cp -r "build/$SETUP_WINE_BUILD/package" "$drive_c/pkg"

reg_show() {  # key...
  local text
  for key in "$@"; do
    if ! text=$(wine reg query "$key" /s 2>/dev/null); then
      echo "  (no key $key)"
      continue
    fi
    text=$(printf '%s' "$text" | tr -d '\r' | sed '/^$/d; /^reg: /d')
    # Wine's reg prints nothing for a key without values or subkeys.
    if [ -n "$text" ]; then echo "$text"; else echo "  (key $key, empty)"; fi
  done
}
show_state() {
  echo "--- result record"
  reg_show 'HKCU\SOFTWARE\KWO\PlumwickSoftwareInstaller'
  echo "--- product key"
  reg_show 'HKLM\SOFTWARE\KWO\PlumwickSoftwareInstaller'
  echo "--- uninstall entry and interface path"
  reg_show 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PlumwickSoftwareInstaller' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}'
  echo "--- browser button"
  reg_show 'HKLM\SOFTWARE\Microsoft\Internet Explorer\Extensions\{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}'
  echo "--- files"
  (cd "$drive_c" && find "Program Files" windows/_nvxu000.exe -path '*Ravozeve*' -o -name '_nvxu000.exe' \
     -o -path '*Program Files/*/*' -newer "$drive_c/pkg/setup.exe" 2>/dev/null | sort | windows_paths) || true
  echo "--- shortcuts"
  (cd "$drive_c" && find users ProgramData -name '*.lnk' -newer "$drive_c/pkg/setup.exe" 2>/dev/null |
     windows_paths) || true
}
# Paths under drive C as Windows writes them, one a line; "(none)" for none.
windows_paths() {
  sed 's#/#\\#g; s#^#  C:\\#' | grep . || echo "  (none)"
}

echo
step "install: C:\\pkg\\setup.exe /S"
set +e; wine 'C:\pkg\setup.exe' /S >>"$log" 2>&1; code=$?; set -e
echo "exit code: $code"
show_state

echo
step "uninstall: C:\\windows\\_nvxu000.exe /U /S"
if [ -f "$drive_c/windows/_nvxu000.exe" ]; then
  set +e; wine 'C:\windows\_nvxu000.exe' /U /S >>"$log" 2>&1; code=$?; set -e
else
  echo "(no uninstaller in the Windows folder; running the package's setup.exe /U /S)"
  set +e; wine 'C:\pkg\setup.exe' /U /S >>"$log" 2>&1; code=$?; set -e
fi
echo "exit code: $code"
show_state
