#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, when missing.
set -euo pipefail
# The shipped setup.exe is 32-bit: Wine's 32-bit loader comes from the i386
# architecture's packages.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# locales: the language tests run Wine under each of these; fonts-wqy-microhei
# gives Wine the Chinese, Japanese and Korean glyphs; openssl and osslsigncode
# make the throwaway certificate and sign with it (target setup-signed).
for pkg in cmake g++ wine wine64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools \
           xvfb xauth googletest libpugixml-dev python3 locales fonts-wqy-microhei openssl osslsigncode \
           wine32:i386 "$@"; do
  have "$pkg" || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${need[@]}" >/dev/null
fi
# The system languages of the language tests (pt_BR: one the program lacks).
for locale in en_US de_DE fr_FR ja_JP ko_KR zh_TW zh_CN sv_SE nb_NO da_DK fi_FI it_IT \
              nl_NL es_ES pt_BR; do
  if ! locale -a 2>/dev/null | grep -qx "${locale}.utf8"; then
    echo "generating locale ${locale}.UTF-8"
    localedef -i "$locale" -f UTF-8 "${locale}.UTF-8"
  fi
done
