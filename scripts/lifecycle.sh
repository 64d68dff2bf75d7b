#!/usr/bin/env bash
# The product's whole lifecycle under Wine, as a user meets it: install from
# the CD as autorun starts it, a second autorun start that stays silent, the
# add-on module disc, some user data, the uninstaller, and what is left.
# A current JAWS (2025) is present throughout, and setup serves its settings.
# Prints a transcript, checks every step, exits non-zero if one did not do
# what the transcript says it should.
#
#   lifecycle.sh BUILD_DIR OUT_DIR [--pictures]
#
# The discs are the build's (dist/verbalis-cd.iso and the module folder) unless
# VRB_CD_IMAGE and VRB_MODULE_IMAGE name others, such as a signed release's.
# Needs a running Wine prefix with a display (scripts/demo or scripts/test set
# one up). With --pictures every message box is saved as a PNG in OUT_DIR.
# With VRB_DEMO_CLICK=1 the boxes wait for a person to answer them (press OK).
set -uo pipefail
build=$(cd "$1" && pwd)
out=$2
pictures=${3:-}
bin=$build/bin
dist=$build/dist
cd_image=${VRB_CD_IMAGE:-$dist/verbalis-cd.iso}
: "${WINEPREFIX:?run this from scripts/demo or scripts/test}"

rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
transcript=$out/transcript.txt
: >"$transcript"
failures=0

say() { printf '%s\n' "$*" | tee -a "$transcript"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
check() {
  local what=$1
  shift
  if "$@"; then say "   ok    $what"; else say "   FAIL  $what"; failures=$((failures + 1)); fi
}

drive_c=$WINEPREFIX/drive_c
install_dir="$drive_c/Program Files/Verbalis"
key='HKLM\Software\MicroSoft\Windows\CurrentVersion\Uninstall\Verbalis'
# The launcher and the stand-in read and write their own registry view: the
# 32-bit one on 64-bit Windows for the x86 build, the 64-bit one for the x64 bench.
view=/reg:32
[ "$(cat "$build/arch.txt")" = x64 ] && view=/reg:64
stub_log=$out/vrb-started.log
export VRB_STUB_LOG
VRB_STUB_LOG=$(winpath "$stub_log")
export VRB_STUB_INSTALL=1 VRB_STUB_DELAY_MS=500

# Runs the box tool; prints each box, keeps pictures, returns the exit code.
step=0
run_boxes() {
  local answers=$1
  shift
  local prefix=()
  if [ "$pictures" = --pictures ]; then prefix=(--pictures "$(winpath "$out")\\step$step-box"); fi
  local timeout=60000
  if [ "${VRB_DEMO_CLICK:-0}" = 1 ]; then answers=WWWWWWWW timeout=600000; fi
  wine "$bin/boxbot.exe" --answers "$answers" --timeout "$timeout" "${prefix[@]}" -- "$@" \
    2>/dev/null | tr -d '\r' >"$out/step$step.boxes"
  local code=${PIPESTATUS[0]}
  if grep -q '^BOX' "$out/step$step.boxes"; then
    grep '^BOX' "$out/step$step.boxes" | sed 's/^BOX /   box   /' | tee -a "$transcript"
  else
    say "   (no message box)"
  fi
  return "$code"
}
boxes() { grep '^BOX' "$out/step$step.boxes" || true; }
stub() { tr -d '\r' <"$stub_log" 2>/dev/null; }  # the stand-in writes CR LF
count_lines() {
  local n
  n=$(stub | grep -c "$1")
  echo "${n:-0}"
}
stub_starts() { count_lines '^start'; }
stub_has() { stub | grep -q "$@"; }
wait_stub_end() {  # the launcher does not wait for the main program; we do
  local want=$1
  for _ in $(seq 150); do
    [ "$(count_lines '^end')" -ge "$want" ] && return 0
    sleep 0.1
  done
  return 1
}
show_started() {
  stub | awk -v n="$1" '/^start/{c++} c==n && /^cmdline=/{sub(/^cmdline=/,"");print "   started  " $0}
                 c==n && /^cwd=/{sub(/^cwd=/,"");print "   in       " $0}
                 c==n && /^module=/{sub(/^module=/,"");print "   loads    " $0}' | tee -a "$transcript"
}
reg_value() {
  wine reg query "$key" /v "$1" "$view" 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1==v{$1="";$2="";sub(/^  */,"");print}'
}
key_exists() { wine reg query "$key" "$view" >/dev/null 2>&1; }
listing() { (cd "$install_dir" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | sort); }

# A clean machine: no installed copy, no drives D: and E: of ours yet.
wine reg delete "$key" /f "$view" >/dev/null 2>&1
wine_user=$(id -un)
rm -rf "$install_dir" "$drive_c/users/$wine_user/Desktop/Verbalis.lnk" \
  "$drive_c/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Verbalis"
# A current JAWS: the settings all users share, an English folder (a language
# folder holds default.jcf) beside one that is not a language folder. Only
# what is laid out here is removed afterwards.
jaws_settings="$drive_c/ProgramData/Freedom Scientific/JAWS/2025/Settings"
jaws_made=$jaws_settings
while [ ! -e "$(dirname "$jaws_made")" ]; do jaws_made=$(dirname "$jaws_made"); done
[ -e "$jaws_made" ] && jaws_made=""  # a JAWS 2025 that is not ours: look, never remove
mkdir -p "$jaws_settings/enu" "$jaws_settings/VoiceProfiles"
printf '[options]\r\n' >"$jaws_settings/enu/default.jcf"
cleanup() {
  rm -f "$WINEPREFIX/dosdevices/d:" "$WINEPREFIX/dosdevices/e:"
  if [ -n "$jaws_made" ]; then rm -rf "$jaws_made"; fi
}
trap cleanup EXIT

# The CD: the ISO image unpacked, mapped as drive D:. The module disc as E:.
unpack() { xorriso -osirrox on -indev "$1" -extract / "$2" >/dev/null 2>&1 && chmod -R a-w "$2"; }
unpack "$cd_image" "$out/cd"
modules=$dist/modules
if [ -n "${VRB_MODULE_IMAGE:-}" ]; then modules=$out/modules && unpack "$VRB_MODULE_IMAGE" "$modules"; fi
ln -sfn "$out/cd" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$modules" "$WINEPREFIX/dosdevices/e:"
say "Verbalis launcher: the whole lifecycle under Wine ($(wine --version)), the $(cat "$build/arch.txt") build"
say "CD image $cd_image as D:, module disc ${VRB_MODULE_IMAGE:-$modules} as E:"
say "JAWS 2025 is installed: C:\\ProgramData\\Freedom Scientific\\JAWS\\2025\\Settings\\ holds enu\\ and VoiceProfiles\\"

step=1
say ""
say "1. Installation: autorun starts D:\\Setup.exe autorun"
run_boxes "" 'D:\Setup.exe' autorun
code=$?
wait_stub_end 1
show_started 1
check "Setup.exe ended with exit code 0" test "$code" = 0
check "no message box (complete distribution, nothing installed yet)" test -z "$(boxes)"
check "the main program was expanded into a folder of its own below the machine's temporary folder and started with the CD folder" \
  stub_has -iE '^cmdline=c:\\windows\\temp\\vrb[0-9a-f]{5}\\VRB\.EXE "d:\\vrb\\win32\\"$' 
temp_dir=$(winepath -u "$(stub | sed -n 's/^cwd=//p' | head -n1)" 2>/dev/null)
check "the expanded program is the CD's Vrb.Ex_ expanded byte for byte" cmp -s "$bin/Vrb.exe" "$temp_dir/Vrb.exe"
check "Startup.Log was started in that folder" test -f "$temp_dir/Startup.Log"
copied_with_date() {  # the same bytes, dated alike to the two seconds a file date holds
  local a b
  cmp -s "$1" "$2" || return 1
  a=$(stat -c %Y "$1") b=$(stat -c %Y "$2")
  [ $((a - b)) -le 1 ] && [ $((b - a)) -le 1 ]
}
say "   JAWS 2025 shared settings: $(cd "$jaws_settings" && find . -mindepth 1 | sed 's|^\./||' | sort | tr '\n' ' ')"
check "the JAWS configuration arrived in JAWS 2025's shared English settings, dated like the CD's" \
  copied_with_date "$out/cd/vrb/win32/Vrb.JCF" "$jaws_settings/enu/Vrb.Jcf"
check "... and nowhere else: VoiceProfiles is no language folder" test -z "$(ls -A "$jaws_settings/VoiceProfiles")"
say "   installed files: $(listing | tr '\n' ' ')"
say "   DisplayName = $(reg_value DisplayName)"
say "   InstallPath = $(reg_value InstallPath)"
say "   UninstallString = $(reg_value UninstallString)"
check "the product is installed with Install.Msg, Vrb.exe and vrbdel.exe" \
  test -f "$install_dir/Install.Msg" -a -f "$install_dir/Vrb.exe" -a -f "$install_dir/vrbdel.exe"
check "the uninstall key names version 8.10.0.204 and the install folder" \
  test "$(reg_value DisplayName)" = "Verbalis 8.10.0.204" -a "$(reg_value InstallPath)" = 'C:\Program Files\Verbalis\'
shortcuts=$(stub | sed -n 's/^shortcuts=//p' | tail -n1)
say "   shortcuts: $shortcuts"
desktop_link=$(winepath -u "${shortcuts%%;*}" 2>/dev/null)
group_link=$(winepath -u "${shortcuts##*;}" 2>/dev/null)
check "a desktop shortcut and a program-group shortcut exist" test -f "$desktop_link" -a -f "$group_link"

step=2
say ""
say "2. The CD is inserted again: autorun starts D:\\Setup.exe autorun"
before=$(stub_starts)
run_boxes "" 'D:\Setup.exe' autorun
code=$?
sleep 1
check "Setup.exe ended with exit code 0" test "$code" = 0
check "nothing is shown and nothing is started: the installed copy is current" \
  test -z "$(boxes)" -a "$(stub_starts)" = "$before"

step=3
say ""
say "3. The add-on module disc: the user starts E:\\Setup.exe"
run_boxes "" 'E:\Setup.exe'
code=$?
wait_stub_end 2
show_started 2
check "Setup.exe ended with exit code 0 without a box" test "$code" = 0 -a -z "$(boxes)"
say "   AutoLoad.Lst: $(tr -d '\r' <"$install_dir/AutoLoad.Lst" | tr '\n' ' ')"
check "AutoLoad.Lst lists the two modules of the disc, each line ended by CR LF" \
  test "$(LC_ALL=C sort "$install_dir/AutoLoad.Lst" | od -c | tr -s ' ')" = "$(printf 'e:\\maps801.dat\r\ne:\\voice101.801\r\n' | od -c | tr -s ' ')"
# (Wine's WinExec quotes a program path that holds a blank.)
check "the installed copy was started with no argument" \
  stub_has -xE 'cmdline="?C:\\Program Files\\Verbalis\\Vrb\.Exe"?' 
check "... in its own folder" stub_has -xF 'cwd=C:\Program Files\Verbalis' 
check "the installed copy read both modules" test "$(count_lines '^module=e:')" = 2

say ""
say "4. The user works: a note, a desktop, a font, a module of their own"
mkdir -p "$install_dir/Notes" "$install_dir/Fonts" "$install_dir/Mine00" "$install_dir/Data"
printf 'Call the printer people.\r\n' >"$install_dir/Notes/Monday.txt"
printf 'desktop layout\r\n' >"$install_dir/Desktop.1"
printf 'font\r\n' >"$install_dir/Fonts/MyFont.ttf"
printf 'marker\r\n' >"$install_dir/Mine00/V03000"
printf 'my topics\r\n' >"$install_dir/Mine00/Topics.txt"
printf 'map\r\n' >"$install_dir/Mine.map"
printf 'cache\r\n' >"$install_dir/Data/Cache.bin"
printf 'session\r\n' >"$install_dir/Desktop.999"
say "   install folder now: $(listing | tr '\n' ' ')"

step=5
say ""
say "5. Uninstall, started as the uninstall entry starts it; the user presses OK"
say "   $(reg_value UninstallString)"
before=$(stub_starts)
# Deleted by the purge: still there when the unregistration ends only if the uninstaller waited.
export VRB_STUB_PROBE='C:\Program Files\Verbalis\Data\Cache.bin'
run_boxes "O" 'C:\Program Files\Verbalis\vrbdel.exe' Verbalis Verbalis
code=$?
show_started $((before + 1))
check "vrbdel.exe ended with exit code 0" test "$code" = 0
check "first the confirmation question, OK and Cancel" \
  test "$(boxes | sed -n 1p)" = "BOX [Uninstall] You do not have to uninstall the Verbalis program to install a new version. Do you wish to uninstall the program? "
check "last the closing notice naming the fonts folder" \
  test "$(boxes | sed -n 2p)" = 'BOX [Uninstall] Your personal notes, topics, fonts and desktops have not been deleted.Use the Control Panel menu to remove the fonts from C:\Program Files\Verbalis\\Fonts Go to your Windows Explorer to completely remove these items.'
check "the main program unregistered its COM server (note the doubled backslash)" \
  stub_has -E '^cmdline=c:.*[^\\]\\\\Vrb\.exe /unregserver$' 
check "... and the uninstaller waited for it before deleting anything" \
  test "$(count_lines '^probe=present')" = 1
check "the uninstall key is gone" bash -c "! wine reg query '$key' $view >/dev/null 2>&1"
check "the desktop shortcut and the program group are gone" \
  test ! -e "$desktop_link" -a ! -e "$(dirname "$group_link")"

say ""
say "6. What is left in C:\\Program Files\\Verbalis, and why"
left=$(listing)
while IFS= read -r entry; do
  case "$entry" in
    vrbdel.exe) why="the running uninstaller itself" ;;
    Notes | Notes/*) why="personal notes" ;;
    Fonts | Fonts/*) why="the user's fonts" ;;
    Desktop.1) why="a saved desktop" ;;
    Mine00 | Mine00/*) why="a user module (marker V03000)" ;;
    Mine.map) why="the user module's map" ;;
    AutoLoad.Lst) why="a list file" ;;
    *) why="NOT EXPECTED" ;;
  esac
  say "   $entry  -- $why"
done <<<"$left"
expected=$(printf '%s\n' AutoLoad.Lst Desktop.1 Fonts Fonts/MyFont.ttf Mine.map Mine00 Mine00/Topics.txt \
  Mine00/V03000 Notes Notes/Monday.txt vrbdel.exe | sort)
check "exactly the user's data and the uninstaller are left" test "$left" = "$expected"

if [ "$pictures" = --pictures ]; then
  for bmp in "$out"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  say ""
  say "pictures of the message boxes: $(cd "$out" && ls ./*.png 2>/dev/null | tr '\n' ' ')"
fi
say ""
if [ "$failures" -eq 0 ]; then say "All steps did what they should."; else say "$failures check(s) FAILED."; fi
exit $((failures > 0))
