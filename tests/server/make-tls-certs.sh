#!/usr/bin/env bash
# Makes the certificates of the test server's https listeners, new for every
# run (nothing here is ever committed):
#   make-tls-certs.sh OUT_DIR
# OUT_DIR receives
#   test_root.pem             the root the run trusts (certificate only)
#   server.pem, server.key    127.0.0.1's certificate under that root
#   untrusted.pem, untrusted.key
#                             127.0.0.1's certificate under a second root that
#                             nobody trusts (the file carries that root too, so
#                             a client sees the whole chain and refuses it for
#                             its root alone)
#   incomplete.pem, incomplete.key
#                             127.0.0.1's certificate under an intermediate of
#                             the trusted root, without that intermediate: a
#                             chain the client cannot complete, which WinINet
#                             reports as a failed revocation check (12057)
# The roots' keys are deleted before this script ends; the caller deletes
# the two server keys once the server has read them.
set -euo pipefail
out=${1:?output folder}
mkdir -p "$out"
work=$(mktemp -d "$out/pki.XXXXXX")
trap 'rm -rf "$work"' EXIT

cat >"$work/ext.cnf" <<'CNF'
[root]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[intermediate]
basicConstraints = critical, CA:TRUE, pathlen:0
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[server]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:localhost
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF

make_key() {  # file
  openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1" 2>/dev/null
}

make_root() {  # name subject
  make_key "$work/$1.key"
  openssl req -x509 -new -key "$work/$1.key" -sha256 -days 30 -subj "$2" \
    -config "$work/ext.cnf" -extensions root -out "$work/$1.pem" 2>/dev/null
}

make_intermediate() {  # name root subject
  make_key "$work/$1.key"
  openssl req -new -key "$work/$1.key" -subj "$3" -out "$work/$1.csr" 2>/dev/null
  openssl x509 -req -in "$work/$1.csr" -CA "$work/$2.pem" -CAkey "$work/$2.key" -CAcreateserial \
    -sha256 -days 30 -extfile "$work/ext.cnf" -extensions intermediate -out "$work/$1.pem" 2>/dev/null
}

make_server() {  # name root
  make_key "$out/$1.key"
  openssl req -new -key "$out/$1.key" -subj "/O=Zelk Test PKI/CN=127.0.0.1" -out "$work/$1.csr" 2>/dev/null
  openssl x509 -req -in "$work/$1.csr" -CA "$work/$2.pem" -CAkey "$work/$2.key" -CAcreateserial \
    -sha256 -days 30 \
    -extfile "$work/ext.cnf" -extensions server -out "$work/$1.pem" 2>/dev/null
}

make_root root "/O=Zelk Test PKI/CN=Zelk Test HTTPS Root"
make_root stranger "/O=Zelk Test PKI/CN=Zelk Test Untrusted HTTPS Root"
make_intermediate issuer root "/O=Zelk Test PKI/CN=Zelk Test HTTPS Intermediate"
make_server server root
make_server untrusted stranger
make_server incomplete issuer

cp "$work/root.pem" "$out/test_root.pem"
cp "$work/server.pem" "$out/server.pem"
cat "$work/untrusted.pem" "$work/stranger.pem" >"$out/untrusted.pem"
cp "$work/incomplete.pem" "$out/incomplete.pem"
