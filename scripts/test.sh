#!/usr/bin/env bash
# Runs every test: the native tests (AddressSanitizer, UBSan) and the Windows
# tests under Wine and Xvfb, in a fresh Wine prefix. The shipped i686 build is
# compiled too (it cannot run here) and checked: imports, version resource,
# signature, and that a second build elsewhere gives the same bytes. Also
# shows that building and testing leave HOME without a .wine. Ends with
# ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh native win64 win32
status=0
ctest --preset native || status=1
ctest --preset win32 || status=1
scripts/check-reproducible.sh || status=1
scripts/check-home.sh || status=1
xvfb-run -a scripts/wine-ctest.sh || status=1
exit $status
