#!/usr/bin/env bash
# Signs one program with a test leaf of make-certs.sh's throw-away PKI:
#   sign-file.sh KEY CHAIN INPUT OUTPUT
# KEY is the leaf's private key (PEM), CHAIN the leaf followed by its root
# (PEM). OUTPUT may be INPUT: the signed copy replaces it once complete.
set -euo pipefail
key=${1:?leaf key}
chain=${2:?leaf and root certificates}
input=${3:?program to sign}
output=${4:?signed program}

signed="$output.signing"
rm -f "$signed"
osslsigncode sign -h sha256 -certs "$chain" -key "$key" -n "Test package" \
  -in "$input" -out "$signed" >/dev/null
mv -f "$signed" "$output"
