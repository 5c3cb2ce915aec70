#!/usr/bin/env bash
# The release of the checked-out commit: dist/Tessaline-VERSION-win64.zip (PELMATIC.EXE, README.txt,
# LICENSE.txt) and dist/SHA256SUMS (the zip and the exe). Built from the commit alone (git archive),
# never with uncommitted changes, in build/release/, with every time in it taken from the commit.
#   scripts/release.sh          signs PELMATIC.EXE first when TESSALINE_SIGN_PFX and TESSALINE_SIGN_PASSWORD
#                               are set, time-stamped when TESSALINE_SIGN_TIMESTAMP_URL (RFC 3161) is too
#   scripts/release.sh --check  builds the commit twice, in folders of different path lengths, and checks
#                               that both give the same bytes and that the release is what it should be
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

case "${1:-}" in
  "") check=false ;;
  --check) check=true ;;
  *) echo "usage: scripts/release.sh [--check]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
if [ -n "$(git status --porcelain)" ]; then
  echo "warning: uncommitted changes are not in the release, which is built from $(git rev-parse --short HEAD)" >&2
fi
export SOURCE_DATE_EPOCH="$(git log -1 --format=%ct HEAD)"

# build SOURCE BUILD: the commit exported to SOURCE, and its program built as shipped in BUILD.
build() {
  local source="$PWD/$1" binary="$PWD/$2"
  echo "Building $(git rev-parse --short HEAD) in $2"
  rm -rf "$source" "$binary"
  mkdir -p "$source"
  git archive HEAD | tar -x -C "$source"
  cmake -S "$source" -B "$binary" -G Ninja --toolchain "$source/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTESSALINE_TESTS=OFF -DTESSALINE_RELEASE=ON >/dev/null
  cmake --build "$binary" --target pelmatic >/dev/null
}

# sign IN OUT: Authenticode, SHA-256, with the key and certificate in TESSALINE_SIGN_PFX.
sign() {
  local password args=(sign -pkcs12 "$TESSALINE_SIGN_PFX" -h sha256 -n Tessaline -in "$1" -out "$2")
  [ -n "${TESSALINE_SIGN_PASSWORD+set}" ] || { echo "TESSALINE_SIGN_PASSWORD is not set" >&2; return 1; }
  [ -z "${TESSALINE_SIGN_TIMESTAMP_URL:-}" ] || args+=(-ts "$TESSALINE_SIGN_TIMESTAMP_URL")
  password="$(umask 077 && mktemp)"  # not on the command line, where any process could read it
  printf '%s' "$TESSALINE_SIGN_PASSWORD" >"$password"
  osslsigncode "${args[@]}" -readpass "$password" >/dev/null || { rm -f "$password"; return 1; }
  rm -f "$password"
}

# package SOURCE BUILD OUT: the zip and SHA256SUMS of the program in BUILD, written to OUT.
package() {
  local version exe="$2/package/PELMATIC.EXE" signed=unsigned
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$2/CMakeCache.txt")"
  rm -rf "$2/package" "$3"
  mkdir -p "$2/package" "$3"
  if [ -n "${TESSALINE_SIGN_PFX:-}" ]; then
    sign "$2/bin/PELMATIC.EXE" "$exe"
    signed=signed
    echo "PELMATIC.EXE is signed with the certificate in $TESSALINE_SIGN_PFX"
  else
    cp "$2/bin/PELMATIC.EXE" "$exe"
    echo "PELMATIC.EXE is NOT signed (TESSALINE_SIGN_PFX is not set)"
  fi
  # The texts as Notepad reads them best: CRLF, and UTF-8 with its byte-order mark. The README
  # gets the date of the commit, in UTC, in place of its two date placeholders, and the version
  # wherever it names it: @VERSION@ as in the zip's name, @FILE_VERSION@ as the About box writes it.
  # Of each language's @SIGNED@ ... @UNSIGNED@ ... @END@ it keeps the text that tells this release.
  python3 - "$1" "$exe" "$3/Tessaline-$version-win64.zip" "$version" "$signed" <<'EOF'
import hashlib, os, re, sys, time, zipfile
source, exe, archive, version, signed = sys.argv[1:]
major, minor, _, tweak = (int(number) for number in version.split('.'))
epoch = int(os.environ['SOURCE_DATE_EPOCH'])
def read(path):
    with open(path, 'rb') as file:
        return file.read()
def text(path):
    return read(os.path.join(source, path)).replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
def dated(readme):
    for placeholder, form in (('ДД.ММ.ГГГГ', '%d.%m.%Y'), ('YYYY-MM-DD', '%Y-%m-%d')):
        if readme.count(placeholder.encode()) != 1:
            sys.exit(f'docs/README.txt must hold {placeholder} once')
        readme = readme.replace(placeholder.encode(), time.strftime(form, time.gmtime(epoch)).encode())
    for placeholder, value in (('@VERSION@', version), ('@FILE_VERSION@', f'{major}.{minor:02}.{tweak:04}')):
        readme = readme.replace(placeholder.encode(), value.encode())
    signature = re.compile(rb'@SIGNED@\r\n(.*?)@UNSIGNED@\r\n(.*?)@END@\r\n', re.S)
    if len(signature.findall(readme)) != 2:
        sys.exit('docs/README.txt must hold @SIGNED@ ... @UNSIGNED@ ... @END@ once in each language')
    return signature.sub(lambda texts: texts[1 if signed == 'signed' else 2], readme)
files = {'PELMATIC.EXE': read(exe), 'README.txt': b'\xef\xbb\xbf' + dated(text('docs/README.txt')),
         'LICENSE.txt': text('LICENSE.txt')}
stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip times start in 1980
with zipfile.ZipFile(archive, 'w') as zip:
    for name in sorted(files):
        entry = zipfile.ZipInfo(name, stamp)
        entry.create_system, entry.external_attr = 3, 0o100644 << 16
        zip.writestr(entry, files[name], zipfile.ZIP_DEFLATED, 9)
with open(os.path.join(os.path.dirname(archive), 'SHA256SUMS'), 'w') as sums:
    for path in (archive, exe):
        sums.write(f'{hashlib.sha256(read(path)).hexdigest()}  {os.path.basename(path)}\n')
EOF
}

if ! $check; then
  build build/release/source build/release/build
  package build/release/source build/release/build dist
  ls -l dist
  cat dist/SHA256SUMS
  exit 0
fi

# The check -------------------------------------------------------------------------------------
started=$SECONDS
failures=0
expect() { # expect WHAT COMMAND...: WHAT holds when COMMAND succeeds
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1" >&2; failures=$((failures + 1)); fi
}
objdump=x86_64-w64-mingw32-objdump
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target pelmatic >/dev/null  # the normal build, whose imports it compares
unset TESSALINE_SIGN_PFX TESSALINE_SIGN_PASSWORD TESSALINE_SIGN_TIMESTAMP_URL

# Twice, in folders of different path lengths, one after the other, the second in another time zone.
check=build/release-check
one=$check/1 two=$check/second-build-of-the-same-commit
build $one/source $one/build
package $one/source $one/build $one/dist
TZ=Asia/Kamchatka build $two/source $two/build
TZ=Asia/Kamchatka package $two/source $two/build $two/dist
exe=$one/build/bin/PELMATIC.EXE
# The version as project() in the commit's CMakeLists.txt gives it, and as the About box writes it.
version="$(sed -n 's/^project(Tessaline VERSION \([0-9.]*\) .*/\1/p' $one/source/CMakeLists.txt)"
[ -n "$version" ] || { echo "no version in project() of CMakeLists.txt" >&2; exit 1; }
IFS=. read -r major minor _ tweak <<<"$version"
file_version="$major.$(printf %02d $((10#$minor))).$(printf %04d $((10#$tweak)))"
export version file_version
zip=$one/dist/Tessaline-$version-win64.zip
echo "first build:" && cat $one/dist/SHA256SUMS
echo "second build:" && cat $two/dist/SHA256SUMS
expect "the zip is named after the version" test -f $zip
expect "both builds give the same PELMATIC.EXE" cmp $exe $two/build/bin/PELMATIC.EXE
expect "both builds give the same zip" cmp $zip $two/dist/${zip##*/}
expect "both builds give the same SHA256SUMS" cmp $one/dist/SHA256SUMS $two/dist/SHA256SUMS

headers="$($objdump -p $exe)"
echo "PELMATIC.EXE: $(stat -c %s $exe) bytes (the normal build's: $(stat -c %s build/mingw/bin/PELMATIC.EXE))," \
  "$(grep DllCharacteristics <<<"$headers" | tr -s '\t' ' ')"
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE; do
  expect "PELMATIC.EXE's header has $flag" grep -qx $'\t*'$flag <<<"$headers"
done
no_debug_sections() { ! $objdump -h $exe | grep -q ' \.debug'; }
no_symbols() { $objdump -t $exe | grep -qx 'no symbols'; }
expect "PELMATIC.EXE has no debug sections" no_debug_sections
expect "PELMATIC.EXE has no symbols" no_symbols
expect "PELMATIC.EXE imports the DLLs of the normal build" \
  diff <(grep 'DLL Name' <<<"$headers") <($objdump -p build/mingw/bin/PELMATIC.EXE | grep 'DLL Name')

expect "the zip holds PELMATIC.EXE, README.txt and LICENSE.txt alone, in CRLF, the README with a BOM" \
  python3 - $zip $exe <<'EOF'
import sys, zipfile
zip = zipfile.ZipFile(sys.argv[1])
texts = [zip.read(name) for name in ('README.txt', 'LICENSE.txt')]
sys.exit(sorted(zip.namelist()) != ['LICENSE.txt', 'PELMATIC.EXE', 'README.txt']
         or zip.read('PELMATIC.EXE') != open(sys.argv[2], 'rb').read()
         or not texts[0].startswith(b'\xef\xbb\xbfTessaline (PELMATIC.EXE)\r\n')
         or not texts[1].startswith(b'MIT License\r\n\r\nCopyright (c) 2026 Kelvane\r\n')
         or any(b'\n' in text.replace(b'\r\n', b'') for text in texts))
EOF
dated_readme() { # the commit's day, in UTC, and its version, where docs/README.txt has its placeholders
  python3 - $zip <<'EOF'
import os, re, sys, time, zipfile
readme = zipfile.ZipFile(sys.argv[1]).read('README.txt').decode('utf-8-sig')
day = time.gmtime(int(os.environ['SOURCE_DATE_EPOCH']))
version, file_version = os.environ['version'], os.environ['file_version']
left = set(re.findall(r'@[A-Z_]+@|ДД\.ММ\.ГГГГ|YYYY-MM-DD', readme))
stale = set(re.findall(r'\b\d+\.\d+\.\d+\.\d+\b', readme)) - {version}
if left | stale:
    print(f'README.txt still holds {sorted(left | stale)}', file=sys.stderr)
sys.exit(f'Версия {version} от {time.strftime("%d.%m.%Y", day)}.' not in readme
         or f'Version {version} of {time.strftime("%Y-%m-%d", day)}.' not in readme
         or f'Tessaline-{version}-win64.zip' not in readme or file_version not in readme
         or bool(left | stale))
EOF
}
expect "the zip's README.txt carries the commit's day and project()'s version, and no placeholder" dated_readme
tells_signing() { # tells_signing ZIP RUSSIAN ENGLISH: ZIP's README says, in both languages, whether it is signed
  python3 - "$@" <<'EOF'
import sys, zipfile
readme = zipfile.ZipFile(sys.argv[1]).read('README.txt').decode('utf-8-sig')
sys.exit(any(f'{text}:' not in readme for text in sys.argv[2:]))
EOF
}
expect "the unsigned zip's README.txt says it is not signed" \
  tells_signing $zip 'Этот выпуск не подписан' 'This release is not signed'
sums_hold() { # SHA256SUMS as a user checks it, beside the zip and the exe
  rm -rf $check/sums && mkdir $check/sums && cp $zip $exe $one/dist/SHA256SUMS $check/sums &&
    (cd $check/sums && sha256sum --quiet -c SHA256SUMS) &&
    [ "$(cut -d' ' -f3 $check/sums/SHA256SUMS | tr '\n' ' ')" = "${zip##*/} PELMATIC.EXE " ]
}
expect "SHA256SUMS holds the zip's and PELMATIC.EXE's sums" sums_hold

# Signed with a certificate of its own, made for this check alone.
signing=$check/signing
rm -rf $signing && mkdir -p $signing
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tessaline release check" \
  -addext extendedKeyUsage=codeSigning -keyout $signing/key.pem -out $signing/certificate.pem 2>/dev/null
openssl pkcs12 -export -inkey $signing/key.pem -in $signing/certificate.pem -passout pass:throwaway \
  -out $signing/key.pfx
serial="$(openssl x509 -noout -serial -in $signing/certificate.pem)"
TESSALINE_SIGN_PFX=$signing/key.pfx TESSALINE_SIGN_PASSWORD=throwaway package $one/source $one/build $signing/dist
expect "the signed zip's README.txt says it is signed" \
  tells_signing $signing/dist/${zip##*/} 'Этот выпуск подписан' 'This release is signed'
signed=$one/build/package/PELMATIC.EXE  # the unsigned one stays in bin/
verify() { osslsigncode verify -CAfile $signing/certificate.pem -in $signed >$signing/verify.txt 2>&1; }
expect "osslsigncode verifies the signed PELMATIC.EXE" verify
expect "it is signed by the throwaway certificate" grep -qx $'\t*'"Serial : ${serial#serial=}" $signing/verify.txt
unsigned_again() {
  osslsigncode remove-signature -in $signed -out $signing/unsigned.exe >/dev/null && cmp $signing/unsigned.exe $exe
}
expect "the signed PELMATIC.EXE less its signature is the unsigned one" unsigned_again
expect "the signed PELMATIC.EXE keeps its version resource" python3 - $signed $exe <<'EOF'
import os, subprocess, sys
def resources(path):
    return subprocess.run(['x86_64-w64-mingw32-objcopy', '-O', 'binary', '-j', '.rsrc', path, '/dev/stdout'],
                          check=True, capture_output=True).stdout
signed = resources(sys.argv[1])
file_version = os.environ['file_version']
sys.exit(signed != resources(sys.argv[2]) or f'{file_version}\0'.encode('utf-16-le') not in signed
         or f'Kelvane - Tessaline {file_version.rsplit(".", 1)[0]}\0'.encode('utf-16-le') not in signed)
EOF

# It starts: its window "Tessaline" shows on the X display (the prefix's windows are "Managed=N").
source scripts/wine-env.sh
trap stop_wine EXIT
start_display
prepare_prefix
start_wineserver
shown() { xwininfo -root -tree 2>/dev/null | grep -q ' "Tessaline": ('; }
appears() {
  for _ in $(seq 150); do shown && return 0; sleep 0.2; done
  return 1
}
expect "no window \"Tessaline\" is shown before" eval '! shown'
"$WINE64" $signed </dev/null >/dev/null 2>&1 &
program=$!
expect "the signed PELMATIC.EXE starts under Wine and shows its window" appears
kill $program 2>/dev/null || true
wait $program 2>/dev/null || true

echo "release check: $((SECONDS - started)) s, $failures failed"
[ $failures -eq 0 ]
