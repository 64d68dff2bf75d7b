#!/usr/bin/env bash
# Builds Setup.exe a second time in another folder and compares it byte for
# byte with the first build's: nothing of time or place may get into it.
#   check-reproducible.sh SOURCE_DIR FIRST_SETUP_EXE
set -euo pipefail
root=$1
first=$2
second_dir=$(mktemp -d /tmp/vrb-repro.XXXXXX)
trap 'rm -rf "$second_dir"' EXIT
sleep 1  # a different second, should a time stamp creep in
cmake -S "$root" -B "$second_dir" -DCMAKE_BUILD_TYPE=Release -DVRB_BUILD_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" >/dev/null
cmake --build "$second_dir" --target Setup >/dev/null
if cmp "$first" "$second_dir/bin/Setup.exe"; then
  echo "Setup.exe is byte-identical in both builds ($(stat -c %s "$first") bytes)"
else
  echo "Setup.exe differs between two builds of the same source" >&2
  exit 1
fi
