# Sourced: the Wine settings of a test or demo run, with a prefix inside build/.
export WINEDEBUG=-all
# winemenubuilder would put menu entries and folders into the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# Starts a fresh prefix at $1 and keeps its server up until wine_stop.
wine_start() {
  export WINEPREFIX="$1"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Wine's services inherit open descriptors: detach them from ours.
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -p </dev/null >/dev/null 2>&1 || true
  # Message boxes and captions in Chinese, Japanese and Korean need these;
  # windows stay unmanaged: Xvfb runs no window manager, and Wine would wait
  # 2 s for one whenever a managed window is destroyed.
  wine regedit /S "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.reg" </dev/null >/dev/null 2>&1 || true
}
wine_stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}
