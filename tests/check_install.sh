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
# Or with the library's directory recorded in the program, as the README says.
cc -std=c99 -o "$work/api_rpath" "$src/examples/api_example.c" \
  $(pkg-config --cflags --libs vaskreport) -Wl,-rpath,"$(pkg-config --variable=libdir vaskreport)"
mkdir "$work/run2"
env -u LD_LIBRARY_PATH "$work/api_rpath" "$work/run2" >/dev/null
# The installed front end finds its library without help, and no binary's
# search path has an empty entry (which the loader takes as the current
# directory).
(cd "$work" && env -u LD_LIBRARY_PATH "$work/prefix/bin/vaskreport" --help >/dev/null)
for binary in "$build/vaskreport" "$work/prefix/bin/vaskreport"; do
  runpath=$(readelf -d "$binary" | sed -n 's/.*R[UN]*PATH.*\[\(.*\)\]/\1/p')
  case ":$runpath:" in
    *::*) echo "empty entry in the library search path of $binary: $runpath" >&2; exit 1 ;;
  esac
done
