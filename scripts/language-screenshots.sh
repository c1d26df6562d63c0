#!/usr/bin/env bash
# Screenshots of the install dialog in German, Japanese and Traditional Chinese
# for docs/: setup.exe on the sample package, each run under its system
# language, in a Wine desktop window (which draws the title bar) on Xvfb.
# Usage: scripts/language-screenshots.sh   (after scripts/build.sh of the build scripts/wine-env.sh names)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 560x220x24" "$0" "$@"
fi
scripts/install-deps.sh imagemagick
. scripts/wine-env.sh
wine_start "$PWD/build/$SETUP_WINE_BUILD/wine-screenshots"
# Wine's own Tahoma and Marlett (title bar, close box) are not found in
# Debian's data folder: give the prefix copies.
for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
  if [ -f "/usr/share/wine/fonts/$font" ]; then
    cp "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
done
cp -r build/$SETUP_WINE_BUILD/package "$WINEPREFIX/drive_c/pkg"
mkdir -p docs
for shot in de_DE:de ja_JP:ja zh_TW:zh_tw; do
  locale=${shot%%:*}
  env -u LC_ALL -u LC_MESSAGES -u LC_CTYPE LANG="$locale.UTF-8" \
    wine explorer /desktop=shot,560x220 'C:\pkg\setup.exe' </dev/null >/dev/null 2>&1 &
  sleep 6
  import -window root "docs/dialog-fresh-${shot#*:}.png"
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wait || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
done
wine_stop
rm -rf "$WINEPREFIX"
ls -l docs/dialog-fresh-de.png docs/dialog-fresh-ja.png docs/dialog-fresh-zh_tw.png
