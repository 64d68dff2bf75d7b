#!/usr/bin/env bash
# The discs of a distribution, from one Setup.exe and the publisher's folder of
# the product's Windows files, flat or in the CD layout (vrb\win32\ below a root
# that may hold autorun.inf): the CD folder (Setup.exe and autorun.inf at the
# root, the Windows files in vrb\win32\ with the main program LZ-compressed) and
# its ISO 9660 image; from a folder of add-on modules, the module disc folder
# (Setup.exe beside them) and its image. Every file keeps its own date (a
# compressed Vrb.Ex_ takes Vrb.exe's): the launcher compares them with installed
# copies. What is made here (Setup.exe, a written autorun.inf, the folders)
# takes SOURCE_DATE_EPOCH when set, and the images are then byte-reproducible.
#   make-dist.sh --check DIST_DIR [MODULES_DIR]   refuses them as the release would, or says nothing
#   make-dist.sh SETUP_EXE DIST_DIR OUT_DIR CD_IMAGE [MODULES_DIR [MODULE_IMAGE]]
#   make-dist.sh --sample SETUP_EXE VRB_EX_ OUT_DIR CD_IMAGE [MODULE_IMAGE]
# The sample (sample/ and the tests' stand-in main program) is for the tests
# and the demo only; its files are dated SOURCE_DATE_EPOCH, as made here.
# A refusal is one line on stderr and exit code 1.
set -euo pipefail
die() {
  echo "$*" >&2
  exit 1
}

# The entry of folder $1 that Windows takes for the name $2 (any letter case).
entry() { find "$1" -mindepth 1 -maxdepth 1 -iname "$2" -print -quit; }
# A file as Setup.exe's existence test sees one: no folder, dated 1980 to 2107.
is_file() { [ -f "$1" ] && [ "$(date -r "$1" +%Y)" -ge 1980 ] && [ "$(date -r "$1" +%Y)" -le 2107 ]; }
windows_files() {  # the folder of the Windows files: vrb\win32\ of a CD layout, else the folder itself
  local vrb
  vrb=$(entry "$1" vrb)
  if [ -d "$vrb" ] && [ -d "$(entry "$vrb" win32)" ]; then entry "$vrb" win32; else echo "$1"; fi
}
# What the module hand-off of Setup.exe takes from a disc.
hands_off() {
  local n=${1,,}
  [[ $n != .* && ($n == *801* || $n == *101*) && $n != install.801 && $n != common* && $n != betaeng.801 && $n != lang* ]]
}

check() {
  local dist=$1 modules=${2:-} win lacking=() name f
  [ -d "$dist" ] || die "$dist: no such folder"
  win=$(windows_files "$dist")
  is_file "$(entry "$win" vrb.ex_)" || is_file "$(entry "$win" vrb.exe)" || lacking+=("Vrb.Ex_ or Vrb.Exe")
  for name in Install.Msg Common.801 Vrb.JCF; do
    f=$(entry "$win" "$name")
    if [ -f "$f" ] && ! is_file "$f"; then
      lacking+=("$name (dated $(date -r "$f" +%F): Setup.exe sees no file dated before 1980 or after 2107)")
    elif ! is_file "$f"; then lacking+=("$name"); fi
  done
  [ -n "$(entry "$win" 'lang*')" ] || lacking+=("Lang*.*")
  if [ ${#lacking[@]} -gt 0 ]; then
    die "$win is not a complete distribution, so Setup.exe would refuse it: no $(printf '%s, no ' "${lacking[@]}" | sed 's/, no $//')"
  fi
  [ -z "$modules" ] && return 0
  [ -d "$modules" ] || die "$modules: no such folder"
  for f in "$modules"/*; do
    [ -e "$f" ] && hands_off "$(basename "$f")" && return 0
  done
  die "$modules holds no module that Setup.exe would hand off (a name with 801 or 101, not Install.801, BetaEng.801, Common* or Lang*)"
}

# Copies folder $1 into $2 with every file's date, and makes $2 the tree's root.
copy_dated() {
  mkdir -p "$2"
  cp -RL --preserve=timestamps "$1/." "$2/"
}
# A Setup.exe of the input never reaches a disc: the one given here takes its place.
drop_setup() {  # FOLDER INPUT_NAME_OF_FOLDER
  local f
  f=$(entry "$1" setup.exe)
  [ -n "$f" ] || return 0
  rm -rf "$f"
  echo "$2/$(basename "$f") is not packed: the disc holds this release's Setup.exe instead."
}
# The main program compressed (SZDD, as LZ32 expands it) where only Vrb.exe is
# there, dated like it; a Vrb.Ex_ of the input must expand, to Vrb.exe where both are.
compress_main() {  # WINDOWS_FOLDER INPUT_NAME
  local win=$1 ex_ exe
  ex_=$(entry "$win" vrb.ex_) exe=$(entry "$win" vrb.exe)
  mkdir "$out/lz"
  if [ -z "$ex_" ]; then
    mv "$exe" "$out/lz/Vrb.exe"
    (cd "$out/lz" && mscompress Vrb.exe >/dev/null)
    ex_=$win/Vrb.Ex_
    mv "$out/lz/Vrb.exe_" "$ex_"
    touch -r "$out/lz/Vrb.exe" "$ex_"
    msexpand <"$ex_" 2>/dev/null | cmp -s - "$out/lz/Vrb.exe" ||
      die "mscompress made a Vrb.Ex_ that does not expand back to $2/$(basename "$exe")"
  elif ! msexpand <"$ex_" >"$out/lz/expanded" 2>/dev/null; then
    die "$2/$(basename "$ex_"): not an LZ-compressed (SZDD) file, so Setup.exe could not expand it"
  elif [ -n "$exe" ] && ! cmp -s "$out/lz/expanded" "$exe"; then
    die "$2/$(basename "$ex_") does not expand to $(basename "$exe") beside it"
  fi
  rm -rf "$out/lz"
}

make_discs() {
  local setup=$1 dist=$2 cd_image=$4 modules=${5:-} module_image=${6:-} win inf
  out=$3
  check "$dist" "$modules"
  rm -rf "$out/cd" "$out/modules"
  if [ "$(windows_files "$dist")" = "$dist" ]; then
    win=$out/cd/vrb/win32
    copy_dated "$dist" "$win"
    inf=$(entry "$win" autorun.inf)
    [ -z "$inf" ] || mv "$inf" "$out/cd/"
    drop_setup "$win" "$dist"
  else
    copy_dated "$dist" "$out/cd"
    drop_setup "$out/cd" "$dist"
    win=$(windows_files "$out/cd")
    drop_setup "$win" "$(windows_files "$dist")"
  fi
  compress_main "$win" "$(windows_files "$dist")"
  local made=("$out/cd/Setup.exe") discs=("$out/cd")
  cp "$setup" "$out/cd/Setup.exe"
  if [ -z "$(entry "$out/cd" autorun.inf)" ]; then
    printf '[autorun]\r\nopen=Setup.exe autorun\r\nicon=Setup.exe,0\r\nlabel=Verbalis\r\n' >"$out/cd/autorun.inf"
    made+=("$out/cd/autorun.inf")
  fi
  if [ -n "$modules" ]; then
    copy_dated "$modules" "$out/modules"
    drop_setup "$out/modules" "$modules"
    cp "$setup" "$out/modules/Setup.exe"
    made+=("$out/modules/Setup.exe") discs+=("$out/modules")
  fi
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    find "${discs[@]}" -type d -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
    touch -d "@$SOURCE_DATE_EPOCH" "${made[@]}"
  fi
  # xorriso greets on stderr; its words are shown only when it fails. With -r it
  # records no owner and plain permissions, so that who packs makes no difference.
  image() {
    xorriso -report_about WARNING -as mkisofs -iso-level 2 -J -joliet-long -r -V "$1" -o "$2" "$3" \
      2>"$out/xorriso.log" || { cat "$out/xorriso.log" >&2; return 1; }
  }
  image VERBALIS "$cd_image" "$out/cd"
  [ -z "$module_image" ] || image VRBMODULES "$module_image" "$out/modules"
}

case ${1:-} in
  --check) check "$2" "${3:-}" ;;
  --sample)
    sample=$(cd "$(dirname "$0")/../sample" && pwd) stage=$4/sample
    rm -rf "$stage"
    copy_dated "$sample/cd" "$stage/cd"
    copy_dated "$sample/modules" "$stage/modules"
    cp "$3" "$stage/cd/vrb/win32/Vrb.Ex_"
    [ -z "${SOURCE_DATE_EPOCH:-}" ] || find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    make_discs "$2" "$stage/cd" "$4" "$5" "$stage/modules" "${6:-}"
    ;;
  *) make_discs "$@" ;;
esac
