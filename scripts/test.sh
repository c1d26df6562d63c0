#!/usr/bin/env bash
# Runs every test: the native tests (AddressSanitizer, UBSan); the shipped
# i686 build's checks (imports, version resource, signature, and that a second
# build elsewhere gives the same bytes); HOME left without a .wine; the
# Windows tests under Wine and Xvfb against the shipped i686 build in a 32-bit
# prefix, its end-to-end runs again in a 64-bit prefix (WoW64), and a start
# of the shipped file itself. On a kernel that runs no 32-bit program, Wine
# cannot run the i686 build: it says so, and the Windows tests run the x86_64
# build instead. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/wine-env.sh
wine_say_build
if [ "$SETUP_WINE_BUILD" = win32 ]; then
  scripts/build.sh native win32
else
  scripts/build.sh native win64
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target setup-package -j"$(nproc)"
fi
status=0
ctest --preset native || status=1
# Where the i686 tests are built, the shipped build's checks run with them.
[ "$SETUP_WINE_BUILD" = win32 ] || ctest --preset shipped || status=1
scripts/check-reproducible.sh || status=1
scripts/check-home.sh || status=1
if [ "$SETUP_WINE_BUILD" = win32 ]; then
  xvfb-run -a scripts/start-shipped.sh || status=1
  xvfb-run -a scripts/wine-ctest.sh wow64 || status=1
fi
xvfb-run -a scripts/wine-ctest.sh || status=1
exit $status
