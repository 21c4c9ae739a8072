#!/usr/bin/env bash
# Writes a dati.cfg that points the four panes at the pages in demo/, so that a first
# start shows the program at work: a clock, a long list held on its marked rows, a
# page that changes on every reload, and a wide board held on its right-hand columns.
set -euo pipefail
target=${1:?usage: write-demo-config.sh TARGET}
demo=$(cd "$(dirname "$0")/../demo" && pwd)

# The path as it stands in a file:// address: every byte but letters, digits and
# "/._~-" percent-encoded (UTF-8 names byte by byte), so that a blank, comma, "#",
# "%" or quote in the checkout's path neither breaks the address nor splits the
# settings line. What is left holds nothing the settings writer would put in quotes.
uri_path_of() {
  local LC_ALL=C
  local path=$1 encoded='' c i
  for ((i = 0; i < ${#path}; i++)); do
    c=${path:i:1}
    case $c in
      [A-Za-z0-9/._~-]) encoded+=$c ;;
      *) printf -v c '%%%02X' "'$c"; encoded+=$c ;;
    esac
  done
  printf '%s' "$encoded"
}
demo=$(uri_path_of "$demo")
{
  # scroll offsets: pane 1, 2, 3, 4 (horizontal, vertical)
  printf ' 0 \r\n 0 \r\n'
  printf ' 0 \r\n 1200 \r\n'
  printf ' 0 \r\n 0 \r\n'
  printf ' 660 \r\n 0 \r\n'
  # addresses of panes 1 to 4
  printf 'file://%s/clock.html\r\n' "$demo"
  printf 'file://%s/list.html\r\n' "$demo"
  printf 'file://%s/changing.html\r\n' "$demo"
  printf 'file://%s/wide.html\r\n' "$demo"
  # refresh flags of panes 1 to 4
  printf ' 0 \r\n 1 \r\n 1 \r\n 0 \r\n'
  # launcher program
  printf '\r\n'
} > "$target"
echo "Wrote the demo settings to $target"
