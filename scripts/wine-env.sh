# Sourced: the Wine settings of a test or demo run, with a prefix inside build/.
export WINEDEBUG=-all
# winemenubuilder would put menu entries and folders into the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# The shipped setup.exe is 32-bit. It runs where the kernel runs 32-bit
# programs, which some kernels cannot (built or booted without ia32
# emulation); there the 64-bit build stands in, and only its loader may be
# started: Debian's "wine" command would pick the 32-bit one.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export SETUP_WINE_BUILD=win32 SETUP_WINE=/usr/lib/wine/wine
else
  export SETUP_WINE_BUILD=win64 SETUP_WINE=/usr/lib/wine/wine64
fi
wine() { "$SETUP_WINE" "$@"; }
# Says why the 64-bit build stands in, on a kernel that runs no 32-bit program.
wine_say_build() {
  if [ "$SETUP_WINE_BUILD" = win64 ]; then
    echo "NOTE: this kernel runs no 32-bit program (ia32 emulation off), so Wine cannot run the"
    echo "      shipped i686 build here: the x86_64 build stands in for it."
  fi
}
# Starts a fresh prefix at $1 (32-bit, or 64-bit with $2 = win64) and keeps
# its server up until wine_stop.
wine_start() {
  export WINEPREFIX="$1"
  export WINEARCH="${2:-$SETUP_WINE_BUILD}"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Wine's services inherit open descriptors: detach them from ours.
  wine wineboot -i </dev/null >/dev/null 2>&1
  wineserver -p </dev/null >/dev/null 2>&1 || true
  local settings
  settings="$(dirname "${BASH_SOURCE[0]}")/wine-prefix.reg"
  wine regedit /S "$settings" </dev/null >/dev/null 2>&1 || true
  # A 64-bit prefix keeps a second software key for 32-bit programs.
  if [ "$WINEARCH" = win64 ] && [ "$SETUP_WINE_BUILD" = win32 ]; then
    /usr/lib/wine/wine64 regedit /S "$settings" </dev/null >/dev/null 2>&1 || true
  fi
}
wine_stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}
