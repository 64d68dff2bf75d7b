# Sourced by the scripts: installs what is missing (the base set, plus any
# packages named as arguments). Quick when everything is already there.
need_pkgs=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

ensure_deps() {
  local pkgs=(cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
              wine wine32:i386 xvfb xauth mscompress googletest
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
  # Another install may hold the lock (a fresh machine installing Wine): wait for it.
  local try
  for try in $(seq 60); do apt-get update -q && break; sleep 15; done
  apt-get install -y -q -o DPkg::Lock::Timeout=900 --no-install-recommends "${missing[@]}"
  ensure_locale
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
