#!/bin/sh
# Compares the library's exported functions (demangled) with the published list.
lib=$1
expected=$2
actual=$(mktemp)
nm -D --defined-only -C "$lib" | awk '$2 ~ /^[TWV]$/ { $1 = ""; $2 = ""; sub(/^  /, ""); print }' |
  sort -u >"$actual"
sorted=$(mktemp)
grep -v '^#' "$expected" | grep -v '^$' | sort -u >"$sorted"
if diff -u "$sorted" "$actual"; then
  rm -f "$actual" "$sorted"
  exit 0
fi
echo "exported symbols differ from $expected (- expected, + exported)" >&2
rm -f "$actual" "$sorted"
exit 1
