#!/bin/sh
# Installs into a scratch prefix, then builds and runs the C example against
# the installed tree, found through pkg-config.
set -e
build=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(find "$work/prefix" -name libvaskreport.so.1 -printf '%h\n' | head -n 1)
test -L "$libdir/libvaskreport.so"
test -L "$libdir/libvaskreport.so.1"
test -f "$work/prefix/include/vaskreport.h"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
cc -std=c99 -Wall -Wextra -Werror -o "$work/api_example" "$src/examples/api_example.c" \
  $(pkg-config --cflags --libs vaskreport)
mkdir "$work/run"
LD_LIBRARY_PATH="$libdir" "$work/api_example" "$work/run"
test -s "$work/run/reports/ManifestReport.txt"
