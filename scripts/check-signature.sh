#!/usr/bin/env bash
# Signs setup.exe through the build target setup-signed with a throwaway
# certificate authority and code-signing certificate made here, and verifies
# the signature against that authority; the unsigned setup.exe must carry none.
# Usage: check-signature.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$build/signature-check"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throwaway Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
  -keyout ca.key -out ca.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=Varnex (test)" -keyout signer.key -out signer.csr 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
  -out signer.pem 2>/dev/null
SETUP_SIGN_CERT="$PWD/signer.pem" SETUP_SIGN_KEY="$PWD/signer.key" \
  cmake --build "$build" --target setup-signed >/dev/null
if osslsigncode verify -in "$build/setup.exe" >/dev/null 2>&1; then
  echo "the unsigned build carries a signature"
  exit 1
fi
osslsigncode verify -CAfile ca.pem -in "$build/signed/setup.exe" | grep -E "Signer's certificate|Subject:|Signature verification"
