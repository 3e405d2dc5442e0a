#!/bin/sh
# Builds the Debian packages from the build tree, checks what each holds and
# depends on, unpacks them into a scratch root and runs the unpacked front
# end there on the bundled example. Exit 77 (skipped) without dpkg-deb.
set -e
build=$1
src=$2
command -v dpkg-deb >/dev/null 2>&1 || { echo "dpkg-deb is not installed"; exit 77; }
work=$(mktemp -d "$build/packages-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
lib=$(ls "$work"/libvaskreport1_*.deb)
dev=$(ls "$work"/libvaskreport-dev_*.deb)
cli=$(ls "$work"/vaskreport_*.deb)

fail() { echo "$*" >&2; exit 1; }
# The files of a package, a multiarch library directory written as lib/.
contents() {
  dpkg-deb -c "$1" | awk '{print $6}' | grep -v '/$' | sed -E 's#/lib/[a-z0-9_]+-linux-[a-z]+/#/lib/#' |
    sort | tr '\n' ' '
}
expect_contents() {
  got=$(contents "$1")
  [ "$got" = "$2" ] || fail "$(basename "$1") holds $got; expected $2"
}
expect_contents "$lib" "./usr/lib/libvaskreport.so.1 ./usr/lib/libvaskreport.so.1.0.0 "
expect_contents "$dev" \
  "./usr/include/vaskreport.h ./usr/lib/libvaskreport.so ./usr/lib/pkgconfig/vaskreport.pc "
expect_contents "$cli" "./usr/bin/vaskreport ./usr/share/man/man1/vaskreport.1.gz "

depends_on() {
  case ", $(dpkg-deb -f "$1" Depends)" in
    *", $2"*) ;;
    *) fail "$(basename "$1") does not depend on $2: $(dpkg-deb -f "$1" Depends)" ;;
  esac
}
depends_on "$dev" "libvaskreport1 (= "
depends_on "$cli" "libvaskreport1 (= "
# The run-time dependencies are filled in where dpkg-shlibdeps was found.
if grep -q 'CPACK_DEBIAN_PACKAGE_SHLIBDEPS "ON"' "$build/CPackConfig.cmake"; then
  depends_on "$lib" "libstdc++6 "
  depends_on "$cli" "libstdc++6 "
fi

root=$work/root
for deb in "$lib" "$dev" "$cli"; do dpkg-deb -x "$deb" "$root"; done
so=$(find "$root" -name libvaskreport.so.1.0.0)
readelf -d "$so" | grep -q 'SONAME.*\[libvaskreport\.so\.1\]' || fail "no SONAME libvaskreport.so.1"
export PKG_CONFIG_PATH="$(dirname "$so")/pkgconfig"
test -f "$(pkg-config --variable=includedir vaskreport)/vaskreport.h"
# The unpacked front end runs with the unpacked library, on nobody's path.
ldd "$root/usr/bin/vaskreport" | grep -q "=> $root/usr/.*/libvaskreport.so.1 " ||
  fail "the unpacked vaskreport does not load the unpacked library"
mkdir "$work/run"
cp "$src/examples/mailing.csv" "$src/examples/example.ini" "$work/run/"
(cd "$work/run" && env -u LD_LIBRARY_PATH "$root/usr/bin/vaskreport" run -q example.ini >/dev/null)
cmp "$work/run/reports/ManifestReport.csv" "$src/tests/golden/cli/ManifestReport.csv"
