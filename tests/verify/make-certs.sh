#!/usr/bin/env bash
# Makes the signed files the verifier tests read, from a throw-away test PKI
# generated on every run (nothing here is ever committed):
#   make-certs.sh OUT_DIR SAMPLE_EXE PROBE_EXE [LEAF:OUTPUT_NAME:INPUT | keep:LEAF ...]
# OUT_DIR receives the test root (test_root.cer, DER), copies of SAMPLE_EXE
# signed by leaves with the subjects the cases need, one altered after
# signing, and copies of PROBE_EXE unsigned, signed by an unlisted
# publisher and signed then altered. Each further argument signs INPUT with
# the leaf LEAF (one made below, e.g. mobile or unlisted) into
# OUT_DIR/OUTPUT_NAME, for other tests' and the demo's programs; keep:LEAF
# keeps that leaf's key and chain as OUT_DIR/signing/LEAF.key and
# LEAF.chain.pem, for programs signed later with sign-file.sh (an installer
# whose address a test or the demo sets after the build).
#
# Leaf certificates carry SHA-1 certificate signatures: Wine's policy step
# passes any signer whose certificate is signed with sha256RSA, so only
# SHA-1 certificates show expired and unknown-root chains. The Authenticode
# digest itself is SHA-256.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?output folder}
sample=${2:?sample exe}
probe=${3:?probe exe}

mkdir -p "$out"
work="$out/pki"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# OpenSSL 3 refuses SHA-1 certificate signatures at its default security level.
cat >openssl.cnf <<'CNF'
openssl_conf = init
[init]
ssl_conf = ssl_section
[ssl_section]
system_default = seclevel0
[seclevel0]
CipherString = DEFAULT@SECLEVEL=0
[req]
distinguished_name = dn
string_mask = utf8only
utf8 = yes
[dn]
[root_ext]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[leaf_ext]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[ca]
default_ca = test_ca
[test_ca]
database = index.txt
serial = serial.txt
new_certs_dir = .
default_md = sha1
policy = any_policy
unique_subject = no
copy_extensions = none
preserve = yes
email_in_dn = no
[any_policy]
countryName = optional
organizationName = optional
organizationalUnitName = optional
commonName = optional
CNF
export OPENSSL_CONF="$work/openssl.cnf"

make_root() {  # name subject
  openssl req -x509 -new -newkey rsa:2048 -nodes -sha1 -days 3650 -utf8 \
    -keyout "$1.key" -out "$1.pem" -subj "$2" -extensions root_ext -config openssl.cnf 2>/dev/null
}

# name root subject [startdate enddate]
make_leaf() {
  local name=$1 root=$2 subject=$3 start=${4:-} end=${5:-}
  openssl req -new -newkey rsa:2048 -nodes -utf8 -keyout "$name.key" -out "$name.csr" \
    -subj "$subject" -config openssl.cnf 2>/dev/null
  : >index.txt
  [ -f serial.txt ] || echo 1000 >serial.txt
  local dates=(-days 825)
  [ -n "$start" ] && dates=(-startdate "$start" -enddate "$end")
  openssl ca -batch -notext -utf8 -md sha1 -cert "$root.pem" -keyfile "$root.key" \
    -extensions leaf_ext -config openssl.cnf "${dates[@]}" \
    -in "$name.csr" -out "$name.pem" 2>/dev/null
  echo "$root" >"$name.issuer"
}

# The signature carries the leaf and its root: with the leaf alone, Wine
# accepts a chain it cannot complete.
chain() {  # leaf
  cat "$1.pem" "$(cat "$1.issuer").pem" >"$1.chain.pem"
}
sign() {  # leaf input output
  chain "$1"
  "$here/sign-file.sh" "$1.key" "$1.chain.pem" "$2" "$3"
}

# Changes one byte of the DOS stub, which the signature covers and no
# Windows loader runs, so the altered file still starts.
alter() {  # input output
  cp "$1" "$2"
  local pe_offset
  pe_offset=$(od -An -t u4 -j 60 -N 4 "$2" | tr -d ' ')
  [ "$pe_offset" -gt 80 ] || { echo "make-certs: $1 has no DOS stub to alter" >&2; exit 1; }
  printf 'Z' | dd of="$2" bs=1 seek=78 conv=notrunc status=none
}

make_root root "/O=Zelk Test PKI/CN=Zelk Test Root"
make_root stranger "/O=Zelk Test PKI/CN=Zelk Stranger Root"
openssl x509 -in root.pem -outform DER -out "$out/test_root.cer"

make_leaf mobile root "/C=CN/O=Shanghai Zelk Mobile Technology Co., Ltd./CN=Shanghai Zelk Mobile Technology Co., Ltd."
make_leaf lower root "/C=CN/CN=shanghai zelk mobile technology co., ltd."
make_leaf expired root "/C=CN/CN=Ningbo Talvor Intelligent Technology Co., Ltd." 20200101000000Z 20210101000000Z
make_leaf ou_only root "/C=CN/O=Zelk Test/OU=Shanghai Zelk Network Technology Co.,Ltd"
make_leaf chinese root "/C=CN/CN=上海泽珂网络科技股份有限公司"
make_leaf unlisted root "/C=CN/O=Zelk Test/CN=Zelk Test Unlisted Publisher"
make_leaf relay root "/C=CN/O=Relay CN=zelkpdf.com, Inc./CN=Zelk Test Relay"
# The unlisted publisher's name again, under a root nobody installed.
make_leaf stranger_unlisted stranger "/C=CN/O=Zelk Test/CN=Zelk Test Unlisted Publisher"
make_leaf stranger_mobile stranger "/C=CN/CN=Shanghai Zelk Mobile Technology Co., Ltd."

cp "$sample" "$out/unsigned.exe"
sign mobile "$sample" "$out/mobile.exe"
sign lower "$sample" "$out/mobile_lower.exe"
sign expired "$sample" "$out/expired.exe"
sign ou_only "$sample" "$out/ou_only.exe"
sign chinese "$sample" "$out/chinese.exe"
sign unlisted "$sample" "$out/unlisted.exe"
sign relay "$sample" "$out/relay.exe"
sign stranger_unlisted "$sample" "$out/stranger_unlisted.exe"
sign stranger_mobile "$sample" "$out/stranger_mobile.exe"
alter "$out/mobile.exe" "$out/mobile_altered.exe"

cp "$probe" "$out/probe_unsigned.exe"
sign unlisted "$probe" "$out/probe_unlisted.exe"
alter "$out/probe_unlisted.exe" "$out/probe_altered.exe"

rm -rf "$out/signing"
for extra in "${@:4}"; do
  leaf=${extra%%:*}
  rest=${extra#*:}
  if [ "$leaf" = keep ]; then
    mkdir -p "$out/signing"
    chain "$rest"
    cp "$rest.key" "$rest.chain.pem" "$out/signing/"
    continue
  fi
  sign "$leaf" "${rest#*:}" "$out/${rest%%:*}"
done

# Only the kept leaves' keys are needed past this point.
rm -rf "$work"
