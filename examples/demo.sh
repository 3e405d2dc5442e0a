#!/bin/sh
# Runs the front end on the bundled example, writing into BUILD/demo.
BUILD=${1:-build}
if [ ! -x "$BUILD/vaskreport" ]; then
  echo "demo: the front end is not built yet" >&2
  exit 1
fi
