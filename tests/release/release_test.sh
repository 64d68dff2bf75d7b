#!/usr/bin/env bash
# scripts/release with a throw-away authority and keys (one in a SoftHSM token): what a user checks of
# its output, the discs it makes of distributions in each layout, its refusals, and their whole lifecycle.
# The release is the x86 build's, always; where the tests run the x64 build, its
# signed file is checked without running it, and the lifecycle plays discs made
# the same way from the x64 build.
#   release_test.sh SOURCE_DIR X86_BUILD_DIR PLAYED_BUILD_DIR
set -uo pipefail
root=$1 build=$2 rel=$2/release version=$(cat "$2/version.txt") module=/usr/lib/softhsm/libsofthsm2.so
played=$3 arch=$(cat "$3/arch.txt")
echo "release test: signs the x86 build; plays the $arch build under ${WINELOADER:-wine}"
tmp=$(mktemp -d /tmp/vrb-release.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
export SOFTHSM2_CONF=$tmp/softhsm2.conf SOURCE_DATE_EPOCH=1700000000
failures=0
check() { if "${@:2}"; then echo "ok    $1"; else echo "FAIL  $1"; cat err.txt; failures=$((failures + 1)); fi 2>/dev/null; }
release() { BUILD_DIR=$build "$root/scripts/release" "$@" >out.txt 2>err.txt; }
same_release() { release "$@" && diff -r first "$rel"; }
refused() { [ "$1" != 0 ] && [ "$(wc -l <err.txt)" = 1 ] && [[ $(<err.txt) == "release: $2"* ]] && [ -z "$(ls -A "$rel")" ]; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -subj "/CN=Throw-away CA" -days 2 2>/dev/null
openssl x509 -in ca.pem -outform DER -out ca.der
certify() {  # NAME DAYS EXTENSION
  openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -subj "/CN=Verbalis $1" 2>/dev/null |
    openssl x509 -req -CA ca.pem -CAkey ca.key -days "$2" -extfile <(echo "$3") -out "$1.pem" 2>/dev/null
  openssl pkcs12 -export -inkey "$1.key" -in "$1.pem" -certfile ca.pem -passout pass:sesame -out "$1.pfx"
}
certify good 1 extendedKeyUsage=codeSigning
certify plain 1 keyUsage=digitalSignature
certify expired -1 extendedKeyUsage=codeSigning
cat good.pem ca.pem >good-chain.pem
echo sesame >password && echo open >wrong && echo 4711 >pin && echo 1234 >badpin
mkdir tokens && echo "directories.tokendir = $tmp/tokens" >softhsm2.conf
softhsm2-util --init-token --free --label vrb --so-pin 0000 --pin 4711 >/dev/null
pkcs11-tool --module "$module" --token vrb --login --pin 4711 --write-object good.key --type privkey --label signer >/dev/null
hsm=(--pkcs11-module "$module" --key "pkcs11:token=vrb;object=signer;type=private")
key=(--pfx good.pfx --password-file password)
sums_cover() { (cd "$rel" && sha256sum -c --quiet SHA256SUMS) && [ "$(cut -c67- "$rel/SHA256SUMS" | tr '\n' ' ')$(ls "$rel" | wc -l)" = "$* $(($# + 1))" ]; }

check "a PKCS#12 release of the sample is made" release "${key[@]}" --sample
check "... saying once that its signature ends with the certificate, and that its discs, so named, are not for shipping" \
  test "$(grep -c 'valid only until the cert' out.txt) $(grep -c 'not for shipping' out.txt) $(ls "$rel" | grep -c "^verbalis-$version-sample-")" = "1 1 2"
check "osslsigncode verifies it against the authority and names the signer, product and web address" bash -c \
  "osslsigncode verify -CAfile ca.pem -in '$rel/Setup.exe' | grep -qzE 'CN=Verbalis good.*URL description: https://www.verbalis.example/.*Text description: Verbalis Setup.*verification: ok'"
cp -r "$rel" first && cp "$rel/Setup.exe" changed.exe && printf x | dd of=changed.exe bs=1 seek=5000 conv=notrunc 2>/dev/null
check "one byte changed fails osslsigncode verify" bash -c '! osslsigncode verify -CAfile ca.pem -in changed.exe >/dev/null 2>&1'
check "WinVerifyTrust, the authority a trusted root, accepts the signed file and finds the changed one's digest bad" \
  test "$(wine "$played/bin/verifytrust.exe" ca.der first/Setup.exe changed.exe | tr -d '\r')" = \
  "$(printf '0x00000000 first/Setup.exe\n0x80096010 changed.exe')"

# The publisher's distributions as the test makes them (the folder | its files, a name ending in / a folder | the
# module folder's files | the CD image's files and empty folders), each file dated apart and holding its name, the
# stand-in as Vrb.exe, its compressed form as Vrb.Ex_.
n=0 && touch -d "@$SOURCE_DATE_EPOCH" epoch
lay_out() {  # FOLDER NAME...
  for p in "${@:2}"; do
    mkdir -p "$1/$(dirname "$p")" && case ${p,,} in */) mkdir "$1/$p" ;; *vrb.exe) cp "$build/bin/Vrb.exe" "$1/$p" ;; *vrb.ex_) cp "$build/bin/Vrb.ex_" "$1/$p" ;; *) echo "$p" >"$1/$p" ;; esac &&
      touch -d "@$((1000000000 + (n += 1) * 3600))" "$1/$p"
  done
}
holds_the_input() {  # DISC INPUT: each entry the input's (in vrb/win32/ for a flat one), or the release's own, dated as it
  while IFS= read -r f; do
    src=$2/$f && [ -e "$src" ] || src=$2/${f#vrb/win32/}
    if [ "$f" = Setup.exe ] || [ -d "$1/$f" ]; then { [ -d "$1/$f" ] || cmp -s "$1/$f" "$rel/Setup.exe"; } && src=epoch
    elif [ -e "$src" ]; then cmp -s "$1/$f" "$src"
    elif [ "${f,,}" = autorun.inf ]; then grep -q 'open=Setup.exe autorun' "$1/$f" && src=epoch
    else src=$(find "$(dirname "$src")" -maxdepth 1 -iname vrb.exe) && msexpand <"$1/$f" | cmp -s - "$src"
    fi && [ "$(stat -c %Y "$1/$f")" = "$(stat -c %Y "$src")" ] || { echo "$f is not what the input makes" >err.txt; return 1; }
  done < <(cd "$1" && find . -mindepth 1 | sed 's|^\./||')
}
while IFS='|' read -r dir files mods expected; do
  lay_out "$dir" $files && lay_out "$dir-mods" $mods && rm -rf disc && mkdir disc
  release "${key[@]}" --dist "$dir" ${mods:+--modules "$dir-mods"}
  check "$dir: a release is made, saying which Setup.exe it did not pack" test "$? $(grep -c 'is not packed' out.txt)" = "0 $(grep -io 'setup\.exe' <<<"$files $mods" | wc -l)"
  check "... of the signed file, the CD${mods:+ and the module disc}, with their sums" \
    sums_cover Setup.exe "verbalis-$version-cd.iso" ${mods:+"verbalis-$version-modules.iso"}
  for disc in cd ${mods:+modules}; do xorriso -osirrox on -indev "$rel/verbalis-$version-$disc.iso" -extract / disc/$disc >/dev/null 2>&1; done
  check "... whose CD holds the expected files" test "$(cd disc/cd && find . -type f -o -type d -empty | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')" = "$expected"
  check "... with the input's contents and dates, the main program expanding to the input's" holds_the_input disc/cd "$dir"
  [ -z "$mods" ] || check "... and so does the module disc" holds_the_input disc/modules "$dir-mods"
done <<'EOF'
cd|autorun.inf ReadMe.txt vrb/win32/Vrb.Ex_ vrb/win32/Install.Msg vrb/win32/Common.801 vrb/win32/Lang.801 vrb/win32/Vrb.JCF||ReadMe.txt Setup.exe autorun.inf vrb/win32/Common.801 vrb/win32/Install.Msg vrb/win32/Lang.801 vrb/win32/Vrb.Ex_ vrb/win32/Vrb.JCF 
cases|setup.EXE VRB/Win32/VRB.EXE VRB/Win32/install.msg VRB/Win32/COMMON.801 VRB/Win32/LANGUAGE/ VRB/Win32/vrb.jcf VRB/Win32/Setup.Exe|maps801.DAT|Setup.exe VRB/Win32/COMMON.801 VRB/Win32/LANGUAGE VRB/Win32/Vrb.Ex_ VRB/Win32/install.msg VRB/Win32/vrb.jcf autorun.inf 
flat|autorun.inf Vrb.exe Install.Msg Common.801 Lang.801 Vrb.JCF Atlas101.dat Setup.exe|Maps801.dat Voice101.801 ReadMe.txt Setup.exe|Setup.exe autorun.inf vrb/win32/Atlas101.dat vrb/win32/Common.801 vrb/win32/Install.Msg vrb/win32/Lang.801 vrb/win32/Vrb.Ex_ vrb/win32/Vrb.JCF 
EOF
discs=("$rel/verbalis-$version-cd.iso" "$rel/verbalis-$version-modules.iso")
if [ "$arch" = x64 ]; then  # signed and packed as scripts/release does, with the x64 Setup.exe and stand-in
  osslsigncode sign -pkcs12 good.pfx -readpass password -h sha256 -n "Verbalis Setup" -i https://www.verbalis.example/ \
    -time "$SOURCE_DATE_EPOCH" -in "$played/bin/Setup.exe" -out x64.exe >/dev/null
  cp -a flat flat-x64 && cp "$played/bin/Vrb.exe" flat-x64/Vrb.exe && touch -r flat/Vrb.exe flat-x64/Vrb.exe && discs=("$tmp/x64-cd.iso" "$tmp/x64-modules.iso")
  "$root/scripts/make-dist.sh" x64.exe flat-x64 x64 "${discs[0]}" flat-mods "${discs[1]}" >/dev/null
fi
check "the signed discs of the flat distribution, from the $arch build, play the whole lifecycle" \
  env VRB_CD_IMAGE="${discs[0]}" VRB_MODULE_IMAGE="${discs[1]}" bash "$root/scripts/lifecycle.sh" "$played" "$played/lifecycle-signed"
without() { rm -rf "no-$1" && cp -a flat "no-$1" && if [ -n "${2:-}" ]; then touch -d "$2" "no-$1/$1"; else rm "no-$1/$1"; fi && echo "no-$1"; }

# Refusals (what | the arguments | how the one line on stderr starts), each run finding a release in place.
while IFS='|' read -r what args message; do
  cp first/* "$rel/" && eval "set -- $args" && release "$@"
  check "$what: refused, said in one line, nothing in build/release/" refused $? "$message"
done <<'EOF'
No key given||no key given: use --pfx FILE
A named file missing|--pfx good.pfx --password-file nosuch|nosuch: no such file
A wrong password|--pfx good.pfx --password-file wrong|good.pfx: wrong password (from wrong)
A wrong PIN|"${hsm[@]}" --cert good.pem --pin-file badpin|wrong PIN (from badpin) for pkcs11:token=vrb;object=signer
No code-signing usage|--pfx plain.pfx --password-file password|plain.pfx: the certificate (CN = Verbalis plain) lacks the code-signing extended key usage
An expired certificate|--pfx expired.pfx --password-file password|expired.pfx: the certificate (CN = Verbalis expired) expired on 20
Another key's certificate|"${hsm[@]}" --cert plain.pem --pin-file pin|plain.pem: the key does not belong to the certificate
A silent time-stamp server|"${key[@]}" --sample --timestamp http://127.0.0.1:9/|the time-stamp server http://127.0.0.1:9/ did not answer
No distribution, no --sample|"${key[@]}"|no distribution given: use --dist DIR
No main program|"${key[@]}" --dist "$(without Vrb.exe)"|no-Vrb.exe is not a complete distribution, so Setup.exe would refuse it: no Vrb.Ex_ or Vrb.Exe
No Install.Msg|"${key[@]}" --dist "$(without Install.Msg)"|no-Install.Msg is not a complete distribution, so Setup.exe would refuse it: no Install.Msg
No Common.801|"${key[@]}" --dist "$(without Common.801)"|no-Common.801 is not a complete distribution, so Setup.exe would refuse it: no Common.801
No Lang*.*|"${key[@]}" --dist "$(without Lang.801)"|no-Lang.801 is not a complete distribution, so Setup.exe would refuse it: no Lang*.*
No Vrb.JCF|"${key[@]}" --dist "$(without Vrb.JCF)"|no-Vrb.JCF is not a complete distribution, so Setup.exe would refuse it: no Vrb.JCF
A Vrb.JCF dated 1979|"${key[@]}" --dist "$(without Vrb.JCF 1979-12-31)"|no-Vrb.JCF is not a complete distribution, so Setup.exe would refuse it: no Vrb.JCF (dated 1979-12-31: Setup.exe sees no file
A Vrb.Ex_ that is not compressed|"${key[@]}" --dist "$(without Vrb.exe && touch no-Vrb.exe/Vrb.Ex_)"|no-Vrb.exe/Vrb.Ex_: not an LZ-compressed (SZDD) file
A Vrb.Ex_ of another Vrb.exe|"${key[@]}" --dist "$(cp -a cd two && echo other >two/vrb/win32/Vrb.exe && echo two)"|two/vrb/win32/Vrb.Ex_ does not expand to Vrb.exe beside it
Nothing to hand off|"${key[@]}" --dist flat --modules "$(mkdir -p none/Lang101 && touch none/Install.801 none/ReadMe.txt && echo none)"|none holds no module that Setup.exe would hand off
EOF

check "the key in the token makes the same release, byte for byte" same_release "${hsm[@]}" --cert good-chain.pem --pin-file pin --sample
check "a second PKCS#12 release is byte-identical to the first" same_release "${key[@]}" --sample
exit $((failures > 0))
