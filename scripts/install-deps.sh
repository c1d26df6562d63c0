#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, when missing.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for pkg in cmake g++ wine wine64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools \
           xvfb xauth googletest libpugixml-dev python3 "$@"; do
  have "$pkg" || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${need[@]}" >/dev/null
fi
