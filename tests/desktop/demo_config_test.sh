#!/usr/bin/env bash
# tools/write-demo-config.sh in a checkout whose path holds what breaks an address or
# a settings line (blank, comma, "#", "%", quotes, a non-ASCII letter): the file is the
# 17 lines the program itself would write, with every address percent-encoded.
set -euo pipefail
source=$(cd "${1:?usage: demo_config_test.sh SOURCE_DIR}" && pwd)
work=$(mktemp -d /tmp/orvalis-demo-XXXXXX)
trap 'rm -rf "$work"' EXIT
checkout="$work/a b,c#d%41e \"f\" 'g' città"
mkdir -p "$checkout/tools" "$checkout/demo"
cp "$source/tools/write-demo-config.sh" "$checkout/tools/"
bash "$checkout/tools/write-demo-config.sh" "$work/dati.cfg" >/dev/null

demo="file://$work/a%20b%2Cc%23d%2541e%20%22f%22%20%27g%27%20citt%C3%A0/demo"
printf ' %s \r\n' 0 0 0 1200 0 0 660 0 >"$work/expected"
for page in clock list changing wide; do printf '%s/%s.html\r\n' "$demo" "$page"; done >>"$work/expected"
printf ' %s \r\n' 0 1 1 0 >>"$work/expected"
printf '\r\n' >>"$work/expected"
cmp "$work/expected" "$work/dati.cfg" || { diff -a "$work/expected" "$work/dati.cfg"; exit 1; }
