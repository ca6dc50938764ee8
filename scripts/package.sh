#!/usr/bin/env bash
# Builds the program in release form and writes build/package/Zarvane-<version>.zip: a folder
# Zarvane/ with Zarvane.exe (no symbols), Readme.txt, LICENSE.txt, ZarvaneShell.dll (the handler
# of Windows 11's own right-click menu) and Zarvane.msix (the sparse package that declares it,
# made by scripts/make-msix.py from packaging/msix). Prints the archive's path and its SHA-256. The version is the CMake project version. Beside the archive: SHA256SUMS, the
# winget manifests (winget/) and the Scoop manifest (zarvane.json), filled from packaging/.
#
# ZARVANE_SIGN_PFX + ZARVANE_SIGN_PASSWORD  sign Zarvane.exe (Authenticode, SHA-256) with this
#                                           PKCS#12 file; ZARVANE_SIGN_TIMESTAMP_URL adds an
#                                           RFC 3161 time stamp from that server; the DLL
#                                           is signed alike, and so is Zarvane.msix where
#                                           osslsigncode is 2.7 or later (its publisher is then
#                                           the certificate's subject)
# ZARVANE_RELEASE_URL                       where the archive will be downloaded from
# ZARVANE_HOMEPAGE                          the project's page, for the manifests
# ZARVANE_PACKAGE_DIR                       output folder instead of build/package
# (Paths given are taken from the folder the script was started in.)
set -eu
caller=$PWD
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/deps.sh
zv_install_packages || { echo "could not install the build prerequisites"; exit 1; }

mkdir -p build
log=build/package-build.log
if ! { cmake --preset win64 && cmake --build --preset win64 --target Zarvane ZarvaneShell -j "$(nproc 2>/dev/null || echo 2)"; } >"$log" 2>&1; then
  tail -n 40 "$log"; echo "build failed"; exit 1
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win64/CMakeCache.txt)
[ -n "$version" ] || { echo "no project version in build/win64/CMakeCache.txt"; exit 1; }

# The same sources give the same archive: one time stamp for the program's header and the
# files, a fixed order, no extra fields.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 0)
out=${ZARVANE_PACKAGE_DIR:-build/package}
[ -z "${ZARVANE_PACKAGE_DIR:-}" ] || [[ "$out" = /* ]] || out="$caller/$out"
name="Zarvane-$version.zip"
url=${ZARVANE_RELEASE_URL:-https://example.invalid/zarvane/releases/download/v$version/$name}
homepage=${ZARVANE_HOMEPAGE:-https://example.invalid/zarvane}
# The manifests quote them as they are.
for u in "$url" "$homepage"; do
  [[ "$u" =~ ^https?://[^[:space:]\"\\]+$ ]] || { echo "not an http(s) URL without blanks, quotes or backslashes: $u"; exit 1; }
done
sign=
if [ -n "${ZARVANE_SIGN_PFX:-}" ] || [ -n "${ZARVANE_SIGN_PASSWORD+set}" ]; then
  # Half a signing set is a mistake, not a wish for an unsigned release.
  [ -n "${ZARVANE_SIGN_PFX:-}" ] && [ -n "${ZARVANE_SIGN_PASSWORD+set}" ] ||
    { echo "signing needs both ZARVANE_SIGN_PFX and ZARVANE_SIGN_PASSWORD"; exit 1; }
  pfx=$ZARVANE_SIGN_PFX
  [[ "$pfx" = /* ]] || pfx="$caller/$pfx"
  [ -f "$pfx" ] || { echo "no certificate file at ZARVANE_SIGN_PFX=$ZARVANE_SIGN_PFX"; exit 1; }
  sign=1
fi

stage=$out/stage
# Nothing of an earlier run stays to be taken for this one's.
rm -rf "$stage" "$out/$name" "$out/SHA256SUMS" "$out/winget" "$out/zarvane.json"
mkdir -p "$stage/Zarvane"
timestamp=(-time "$stamp")
[ -n "${ZARVANE_SIGN_TIMESTAMP_URL:-}" ] && timestamp=(-ts "$ZARVANE_SIGN_TIMESTAMP_URL")
sign_file() { # unsigned input, signed output: Authenticode, SHA-256
  # Without a time-stamp server the signature carries the commit's time, so one certificate
  # signs one file to the same bytes. The password goes through a pipe, not the command line.
  osslsigncode sign -pkcs12 "$pfx" -readpass <(printf '%s' "$ZARVANE_SIGN_PASSWORD") \
    -h sha256 -n Zarvane "${timestamp[@]}" -in "$1" -out "$2" >"$stage/sign.log" 2>&1 ||
    { cat "$stage/sign.log"; echo "signing $(basename "$2") failed"; exit 1; }
}
for binary in Zarvane.exe ZarvaneShell.dll; do
  cp "build/win64/$binary" "$stage/Zarvane/$binary"
  # The release build may come without symbols already; strip only what still has them. Either
  # rewrite puts the commit's time in the header instead of the time of the link.
  if x86_64-w64-mingw32-nm "$stage/Zarvane/$binary" 2>/dev/null | grep -q .; then
    SOURCE_DATE_EPOCH=$stamp x86_64-w64-mingw32-strip --strip-all "$stage/Zarvane/$binary"
  else
    SOURCE_DATE_EPOCH=$stamp x86_64-w64-mingw32-objcopy "$stage/Zarvane/$binary"
  fi
  if [ -n "$sign" ]; then
    # After the strip, which would drop the signature.
    mv "$stage/Zarvane/$binary" "$stage/unsigned.$binary"
    sign_file "$stage/unsigned.$binary" "$stage/Zarvane/$binary"
  fi
done

# The package: signed where this osslsigncode can (2.7 signs packages), its publisher then the
# certificate's subject as Windows writes it; otherwise the form Windows 11 takes unsigned.
msix_signed=
if [ -n "$sign" ]; then
  ossl_version=$(osslsigncode --version 2>/dev/null | sed -n '1s/^osslsigncode \([0-9.]*\).*/\1/p')
  if printf '%s\n' 2.7 "$ossl_version" | sort -V -C; then
    msix_signed=1
  else
    echo "osslsigncode ${ossl_version:-?} is older than 2.7 and cannot sign packages: Zarvane.msix ships unsigned"
  fi
fi
if [ -n "$msix_signed" ]; then
  publisher=$(openssl pkcs12 -in "$pfx" -passin fd:3 -nokeys -clcerts 3< <(printf '%s' "$ZARVANE_SIGN_PASSWORD") 2>/dev/null |
    openssl x509 -noout -subject -nameopt esc_2253,utf8,sep_comma_plus_space,dn_rev,sname | sed 's/^subject=//')
  [ -n "$publisher" ] || { echo "no subject in the certificate of ZARVANE_SIGN_PFX"; exit 1; }
else
  publisher='CN=Zarvane, OID.2.25.311729368913984317654407730594956997722=1'
fi
clsid=$(sed -n 's/^#define ZV_EXPLORER_COMMAND_CLSID "\(.*\)"$/\1/p' src/shellext/ExplorerCommand.h)
[ -n "$clsid" ] || { echo "no CLSID in src/shellext/ExplorerCommand.h"; exit 1; }
sed_text() { printf '%s' "$1" | sed 's/[\\&|]/\\&/g'; }
xml_text() { printf '%s' "$1" | sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'; }
mkdir -p "$stage/msix"
cp -r packaging/msix/Assets "$stage/msix/Assets"
sed -e "s|@PUBLISHER@|$(sed_text "$(xml_text "$publisher")")|g" -e "s|@VERSION4@|$version.0|g" \
    -e "s|@CLSID@|{$clsid}|g" packaging/msix/AppxManifest.xml >"$stage/msix/AppxManifest.xml"
msix_out="$stage/Zarvane/Zarvane.msix"
[ -n "$msix_signed" ] && msix_out="$stage/unsigned.msix"
python3 scripts/make-msix.py "$stage/msix" "$msix_out" "$stamp"
if [ -n "$msix_signed" ]; then
  sign_file "$stage/unsigned.msix" "$stage/Zarvane/Zarvane.msix"
  python3 scripts/make-msix.py --stamp-signature "$stage/Zarvane/Zarvane.msix" "$stamp"
fi
cp docs/Readme.txt "$stage/Zarvane/Readme.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/Zarvane/LICENSE.txt"  # CR LF, for Notepad

touch -d "@$stamp" "$stage/Zarvane"/*
archive="$out/$name"
(cd "$stage" && TZ=UTC zip -q -X -D "../$name" Zarvane/Zarvane.exe Zarvane/Readme.txt Zarvane/LICENSE.txt \
   Zarvane/ZarvaneShell.dll Zarvane/Zarvane.msix)
sha=$(sha256sum "$archive" | cut -d' ' -f1)
(cd "$out" && sha256sum "$name" >SHA256SUMS)

# Manifests for winget and Scoop, from the templates in packaging/.
fill() { # template output
  sed -e "s|@VERSION@|$(sed_text "$version")|g" -e "s|@SHA256@|$sha|g" -e "s|@SHA256_UPPER@|${sha^^}|g" \
      -e "s|@URL@|$(sed_text "$url")|g" -e "s|@HOMEPAGE@|$(sed_text "$homepage")|g" "$1" >"$2"
}
mkdir -p "$out/winget"
for template in packaging/winget/*.yaml; do fill "$template" "$out/winget/$(basename "$template")"; done
fill packaging/scoop/zarvane.json "$out/zarvane.json"

echo "archive: $archive"
echo "sha256: $sha"
echo "signed: $([ -n "$sign" ] && echo "yes, $pfx" || echo no)"
echo "package: Zarvane.msix $([ -n "$msix_signed" ] && echo signed || echo unsigned), publisher $publisher"
echo "manifests: $out/SHA256SUMS $out/winget/ $out/zarvane.json"
[ -n "${ZARVANE_RELEASE_URL:-}" ] || echo "the manifests point at a placeholder URL: set ZARVANE_RELEASE_URL"
