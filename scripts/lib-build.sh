# Sourced by the scripts: configure and build for Windows with mingw-w64.
# Two builds of the same sources: x86 in BUILD_DIR, what ships; x64 in
# BUILD_DIR/x64, the test bench where 32-bit programs cannot run.
toolchain_of() { case $1 in x86) echo i686-w64-mingw32 ;; x64) echo x86_64-w64-mingw32 ;; esac; }

# vrb_build ROOT BUILD_DIR [ARCH]: BUILD_DIR is the x86 build's folder; the
# x64 build goes below it.
vrb_build() {
  local root=$1 build_dir=$2 arch=${3:-x86} dir extra=()
  dir=$(vrb_build_dir "$build_dir" "$arch")
  # The x64 build's reproducibility and release tests take the x86 build.
  [ "$arch" = x86 ] || extra=(-DVRB_X86_BUILD_DIR="$build_dir")
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${extra[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$(toolchain_of "$arch").cmake" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

# The folder of ARCH's build below BUILD_DIR.
vrb_build_dir() { if [ "$2" = x64 ]; then echo "$1/x64"; else echo "$1"; fi; }
