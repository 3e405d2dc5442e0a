#!/bin/sh
# Runs the front end on the bundled example, writing into BUILD/demo.
# The run rewrites its data file in lodgement order, so it works on a copy.
set -e
BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
if [ ! -x "$BUILD/vaskreport" ]; then
  echo "demo: the front end is not built yet" >&2
  exit 1
fi
BIN=$(cd "$BUILD" && pwd)/vaskreport
DEMO=$(cd "$BUILD" && pwd)/demo
rm -rf "$DEMO"
mkdir -p "$DEMO"
cp "$HERE/mailing.csv" "$HERE/example.ini" "$DEMO/"
cd "$DEMO"
"$BIN" run example.ini
echo "The reports are in $BUILD/demo/reports/; the split files and the resorted mailing.csv in $BUILD/demo/."
