#!/usr/bin/env bash
# Lets this machine's trusted roots include a test run's root for as long as
# the run lasts:
#   host-root.sh add ID PEM     appends PEM to the host bundle as block ID
#   host-root.sh remove ID      takes block ID out again
#   host-root.sh forget SHA1    deletes the copy of root SHA1 (thumbprint,
#                               hex) that Wine made in the registry of the
#                               prefix $WINEPREFIX
# Why the host bundle: Wine's crypt32 builds the Root store that WinINet's
# schannel checks server certificates against from the host's roots (the
# first of /etc/ssl/certs/ca-certificates.crt, /etc/ssl/certs, ... that has
# any), and every Wine process copies that set into the prefix's registry
# (HKLM\Software\Microsoft\SystemCertificates\Root\Certificates, one key
# per thumbprint) when it first opens the store. WinINet does not trust a
# root that is only in that registry store (it fails with 12057, then 12045
# without the revocation check), but it does trust one in the bundle, in
# every Wine process started while it is there. Wine 8 never deletes its
# registry copies, so a run also deletes its root's copy from its prefix
# ("forget"); otherwise every run would leave one more root behind there.
#
# Only the bundle file is touched (no update-ca-certificates, nothing under
# /usr/local/share/ca-certificates), and only between this script's marker
# lines, so every other certificate stays byte for byte as it was. Each run
# adds its own root under its own ID, so concurrent runs (two build folders)
# neither share nor remove each other's; edits are serialised by a lock.
# Blocks of runs whose process is gone (killed before their trap ran) are
# dropped by the next edit.
set -euo pipefail
bundle=${ZELK_HOST_ROOT_BUNDLE:-/etc/ssl/certs/ca-certificates.crt}
lock=${ZELK_HOST_ROOT_LOCK:-/tmp/zelk-host-roots.lock}
action=${1:?add or remove}
id=${2:?block id}
marker="# zelk test root"

# Rewrites the bundle without block ID and without blocks of dead runs.
# The new text goes through a file beside the bundle and a rename, so a
# reader sees either the old or the new bundle, never half of one.
rewrite_without() {
  local keep
  keep=$(mktemp "$bundle.zelk.XXXXXX")
  awk -v marker="$marker" -v id="$id" '
    index($0, marker " begin ") == 1 {
      # "# zelk test root begin PID ID"
      drop = $7 == id || system("kill -0 " $6 " 2>/dev/null") != 0
    }
    !drop { print }
    index($0, marker " end ") == 1 { drop = 0 }
  ' "$bundle" >"$keep"
  chmod --reference="$bundle" "$keep"
  chown --reference="$bundle" "$keep" 2>/dev/null || true
  mv -f "$keep" "$bundle"
}

if [ "$action" = forget ]; then
  [ -n "${WINEPREFIX:-}" ] || exit 0
  . "$(dirname "$0")/../harness/wine-loader.sh"
  WINEDEBUG=-all "$ZELK_WINE" reg delete "HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$id" /f \
    </dev/null >/dev/null 2>&1 || true
  exit 0
fi

exec 9>"$lock"
flock 9
case "$action" in
  add)
    pem=${3:?certificate file}
    # The run's own PID (the caller's), so a later edit can tell a dead run.
    owner=${ZELK_HOST_ROOT_OWNER:-$PPID}
    grep -q "^$marker " "$bundle" && rewrite_without
    { printf '%s begin %s %s\n' "$marker" "$owner" "$id"
      cat "$pem"
      printf '%s end %s\n' "$marker" "$id"; } >>"$bundle" ;;
  remove)
    grep -q "^$marker begin .* $id\$" "$bundle" && rewrite_without ;;
  *) echo "host-root: unknown action $action" >&2; exit 2 ;;
esac
exit 0
