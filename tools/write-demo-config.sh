#!/usr/bin/env bash
# Writes a dati.cfg that points the four panes at the pages in demo/, so that a first
# start shows the program at work: a clock, a long list held on its marked rows, a
# page that changes on every reload, and a wide board held on its right-hand columns.
set -euo pipefail
target=${1:?usage: write-demo-config.sh TARGET}
demo=$(cd "$(dirname "$0")/../demo" && pwd)
# An address carries no blanks; a checkout under a folder with blanks still works.
demo=${demo// /%20}
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
