# Sourced by the scripts: configure and build for Windows with mingw-w64.
vrb_build() {
  local root=$1 build_dir=$2
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" >/dev/null
  cmake --build "$build_dir" -j"$(nproc)"
}
