#!/bin/sh
# The manual page renders without a warning and names every command and
# option that the program's and the commands' --help list. Exit 77 (skipped)
# where groff is not installed.
set -e
binary=$1
page=$2
command -v groff >/dev/null 2>&1 || { echo "groff is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
groff -man -Tutf8 -ww -P-cbou "$page" >"$work/page.txt" 2>"$work/warnings"
if [ -s "$work/warnings" ]; then cat "$work/warnings"; exit 1; fi
for command in "" run check edit verify; do
  "$binary" $command --help
done >"$work/help.txt"
options=$(grep -oE '(^|[][ ])--?[A-Za-z][A-Za-z-]*' "$work/help.txt" | sed 's/^[][ ]//' | sort -u)
test -n "$options"
missing=0
for word in run check edit verify $options; do
  if ! grep -qE -- "(^|[^A-Za-z-])$word([^A-Za-z-]|\$)" "$work/page.txt"; then
    echo "not in the manual page: $word"
    missing=1
  fi
done
exit $missing
