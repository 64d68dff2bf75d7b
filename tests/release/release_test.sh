#!/usr/bin/env bash
# scripts/release with a throw-away authority and keys (one in a SoftHSM token),
# what a user checks of its output, its refusals, and the signed discs' whole lifecycle.
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

check "a PKCS#12 release is made" release --pfx good.pfx --password-file password
check "... saying once that its signature ends with the certificate" test "$(grep -c 'valid only until the cert' out.txt)" = 1
check "osslsigncode verifies it against the authority and names the signer, product and web address" bash -c \
  "osslsigncode verify -CAfile ca.pem -in '$rel/Setup.exe' | grep -qzE 'CN=Verbalis good.*URL description: https://www.verbalis.example/.*Text description: Verbalis Setup.*verification: ok'"
check "sha256sum -c SHA256SUMS passes, over all three files" bash -c "cd '$rel' && sha256sum -c --quiet SHA256SUMS && test \$(wc -l <SHA256SUMS) = 3"
for disc in cd modules; do
  xorriso -osirrox on -indev "$rel/verbalis-$version-$disc.iso" -extract /Setup.exe $disc.exe >/dev/null 2>&1
  check "the $disc image holds the signed file as /Setup.exe" cmp -s $disc.exe "$rel/Setup.exe"
done
cp -r "$rel" first && cp "$rel/Setup.exe" changed.exe && printf x | dd of=changed.exe bs=1 seek=5000 conv=notrunc 2>/dev/null
check "one byte changed fails osslsigncode verify" bash -c '! osslsigncode verify -CAfile ca.pem -in changed.exe >/dev/null 2>&1'
check "WinVerifyTrust, the authority a trusted root, accepts the signed file and finds the changed one's digest bad" \
  test "$(wine "$played/bin/verifytrust.exe" ca.der first/Setup.exe changed.exe | tr -d '\r')" = \
  "$(printf '0x00000000 first/Setup.exe\n0x80096010 changed.exe')"

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
A silent time-stamp server|--pfx good.pfx --password-file password --timestamp http://127.0.0.1:9/|the time-stamp server http://127.0.0.1:9/ did not answer
EOF

check "the key in the token makes the same release, byte for byte" same_release "${hsm[@]}" --cert good-chain.pem --pin-file pin
check "a second PKCS#12 release is byte-identical to the first" same_release --pfx good.pfx --password-file password
signed=$rel/Setup.exe discs=("$rel/verbalis-$version-cd.iso" "$rel/verbalis-$version-modules.iso")
if [ "$arch" = x64 ]; then  # as scripts/release signs and packs, from the x64 build
  osslsigncode sign -pkcs12 good.pfx -readpass password -h sha256 -n "Verbalis Setup" \
    -i https://www.verbalis.example/ -time "$SOURCE_DATE_EPOCH" -in "$played/bin/Setup.exe" -out x64.exe >/dev/null
  signed=$tmp/x64.exe discs=("$tmp/x64/cd.iso" "$tmp/x64/modules.iso")
  "$root/scripts/make-dist.sh" "$signed" "$played/bin/Vrb.ex_" x64 "${discs[@]}"
fi
check "the signed discs of the $arch build play the whole lifecycle" env VRB_CD_IMAGE="${discs[0]}" \
  VRB_MODULE_IMAGE="${discs[1]}" bash "$root/scripts/lifecycle.sh" "$played" "$played/lifecycle-signed"
check "... which held the signed file" cmp -s "$played/lifecycle-signed/cd/Setup.exe" "$signed"
exit $((failures > 0))
