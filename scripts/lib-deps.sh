# Sourced by the scripts: installs what is missing (the base set, plus any
# packages named as arguments). Quick when everything is already there.
need_pkgs=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

ensure_deps() {
  # Both builds' compilers and both Wine loaders: whether 32-bit programs run
  # here is only known by trying (scripts/lib-wine.sh), so both are installed.
  local pkgs=(cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
              g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
              wine wine32:i386 wine64 xvfb xauth mscompress googletest
              x11-apps imagemagick xorriso
              clang libclang-rt-14-dev locales "$@")
  local missing=()
  for p in "${pkgs[@]}"; do have_pkg "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && { ensure_locale; return; }
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt_update
  apt_install "${missing[@]}"
  ensure_locale
}

# Waits only while another apt holds the lists' lock (a fresh machine
# installing Wine); an index that fails to download is not waited for.
apt_update() {
  local try out
  for try in $(seq 60); do
    if out=$(apt-get update -q 2>&1); then return 0; fi
    if ! grep -q 'Could not get lock' <<<"$out"; then
      echo "apt-get update: some package lists did not download; going on with those that did" >&2
      APT_LISTS_PARTIAL=1
      return 0
    fi
    sleep 15
  done
  echo "apt-get update: the package lists stayed locked; going on with the old ones" >&2
}

# A list that did not download (often one architecture's security index)
# leaves that architecture's newer versions unknown, and Multi-Arch packages
# then cannot match the other one's: take the release's own versions instead.
# Where 32-bit Wine still cannot be installed the rest goes in, and the bench
# uses the x64 build.
APT_LISTS_PARTIAL=""
apt_install() {
  local opts=(-y -q -o DPkg::Lock::Timeout=900 --no-install-recommends)
  apt-get install "${opts[@]}" "$@" && return 0
  if [ -n "$APT_LISTS_PARTIAL" ]; then
    local release
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "apt-get install: retrying with the versions of $release itself" >&2
    apt-get install "${opts[@]}" -o APT::Default-Release="$release" "$@" && return 0
  fi
  local rest=() p
  for p in "$@"; do [[ $p == *:i386 ]] || rest+=("$p"); done
  [ ${#rest[@]} -eq $# ] && return 1
  echo "apt-get install: the 32-bit packages could not be installed; the tests will use the x64 build" >&2
  apt-get install "${opts[@]}" "${rest[@]}"
}

# The tests run Windows programs in a Western locale (code page 1252) whose
# Unix file names are UTF-8, so that names the code page cannot spell exist,
# and some in a Japanese one (code page 932, double-byte).
ensure_locale() {
  local have missing=()
  have=$(locale -a 2>/dev/null)
  for l in en_US ja_JP; do grep -qix "$l.utf-\?8" <<<"$have" || missing+=("$l"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "the locales ${missing[*]} (UTF-8) are missing (run as root to generate them)" >&2
    return 1
  fi
  for l in "${missing[@]}"; do
    sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >>/etc/locale.gen
  done
  locale-gen >/dev/null
}

# What scripts/release signs with, and what its tests make keys with.
release_pkgs=(osslsigncode libengine-pkcs11-openssl openssl xorriso git)
release_test_pkgs=("${release_pkgs[@]}" softhsm2 opensc)
