#!/usr/bin/env bash
# The sample distribution as the product ships it, from one Setup.exe: the CD
# folder (launcher and autorun.inf at the root, the Windows files in vrb\win32\
# with the main program LZ-compressed) and its ISO 9660 image, the add-on module
# disc folder and, when named, its image. With SOURCE_DATE_EPOCH set, every file
# on the discs bears that date and the images are byte-reproducible.
#   make-dist.sh SETUP_EXE VRB_EX_ OUT_DIR CD_IMAGE [MODULE_IMAGE]
set -euo pipefail
setup=$1 vrb=$2 out=$3 cd_image=$4 module_image=${5:-}
sample=$(cd "$(dirname "$0")/../sample" && pwd)
rm -rf "$out/cd" "$out/modules"
mkdir -p "$out"
cp -r "$sample/cd" "$out/cd"
cp -r "$sample/modules" "$out/modules"
cp "$setup" "$out/cd/Setup.exe"
cp "$setup" "$out/modules/Setup.exe"
cp "$vrb" "$out/cd/vrb/win32/Vrb.Ex_"
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  find "$out/cd" "$out/modules" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
fi
# xorriso greets on stderr; its words are shown only when it fails.
image() {
  xorriso -report_about WARNING -as mkisofs -iso-level 2 -J -joliet-long -R -V "$1" -o "$2" "$3" \
    2>"$out/xorriso.log" || { cat "$out/xorriso.log" >&2; return 1; }
}
image VERBALIS "$cd_image" "$out/cd"
[ -z "$module_image" ] || image VRBMODULES "$module_image" "$out/modules"
