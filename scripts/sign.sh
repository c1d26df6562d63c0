#!/usr/bin/env bash
# Signs a program with Authenticode (osslsigncode), for the build target
# setup-signed. The certificate and key come from the environment, so that
# no key path or password lands in a build folder's cache:
#   SETUP_SIGN_CERT           certificate chain (PEM), the signer's first
#   SETUP_SIGN_KEY            its private key (PEM)
#   SETUP_SIGN_PASSWORD_FILE  optional: a file holding the key's password
#   SETUP_SIGN_TIMESTAMP_URL  optional: an RFC 3161 time-stamp server, so that
#                             the signature outlives the certificate
# Usage: sign.sh IN OUT
set -euo pipefail
in="$1" out="$2"
if [ -z "${SETUP_SIGN_CERT:-}" ] || [ -z "${SETUP_SIGN_KEY:-}" ]; then
  echo "sign.sh: set SETUP_SIGN_CERT and SETUP_SIGN_KEY (see README.md, 'Signing')" >&2
  exit 1
fi
args=(sign -certs "$SETUP_SIGN_CERT" -key "$SETUP_SIGN_KEY" -h sha256
      -n "Ravozeve Vuzizirer Setup")
[ -z "${SETUP_SIGN_PASSWORD_FILE:-}" ] || args+=(-readpass "$SETUP_SIGN_PASSWORD_FILE")
[ -z "${SETUP_SIGN_TIMESTAMP_URL:-}" ] || args+=(-ts "$SETUP_SIGN_TIMESTAMP_URL")
mkdir -p "$(dirname "$out")"
rm -f "$out"
osslsigncode "${args[@]}" -in "$in" -out "$out" >/dev/null
echo "signed: $out"
