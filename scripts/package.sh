#!/usr/bin/env bash
# Builds the program in release form and writes build/package/Zarvane-<version>.zip: a folder
# Zarvane/ with Zarvane.exe (no symbols), Readme.txt and LICENSE.txt. Prints the archive's path
# and its SHA-256. The version is the CMake project version. Beside the archive: SHA256SUMS, the
# winget manifests (winget/) and the Scoop manifest (zarvane.json), filled from packaging/.
#
# ZARVANE_SIGN_PFX + ZARVANE_SIGN_PASSWORD  sign Zarvane.exe (Authenticode, SHA-256) with this
#                                           PKCS#12 file; ZARVANE_SIGN_TIMESTAMP_URL adds an
#                                           RFC 3161 time stamp from that server
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
if ! { cmake --preset win64 && cmake --build --preset win64 --target Zarvane -j "$(nproc 2>/dev/null || echo 2)"; } >"$log" 2>&1; then
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
cp build/win64/Zarvane.exe "$stage/Zarvane/Zarvane.exe"
# The release build may come without symbols already; strip only what still has them. Either
# rewrite puts the commit's time in the program's header instead of the time of the link.
if x86_64-w64-mingw32-nm "$stage/Zarvane/Zarvane.exe" 2>/dev/null | grep -q .; then
  SOURCE_DATE_EPOCH=$stamp x86_64-w64-mingw32-strip --strip-all "$stage/Zarvane/Zarvane.exe"
else
  SOURCE_DATE_EPOCH=$stamp x86_64-w64-mingw32-objcopy "$stage/Zarvane/Zarvane.exe"
fi
if [ -n "$sign" ]; then
  # After the strip, which would drop the signature. Without a time-stamp server the signature
  # carries the commit's time, so one certificate signs one program to the same bytes. The
  # password goes through a pipe, not the command line.
  timestamp=(-time "$stamp")
  [ -n "${ZARVANE_SIGN_TIMESTAMP_URL:-}" ] && timestamp=(-ts "$ZARVANE_SIGN_TIMESTAMP_URL")
  mv "$stage/Zarvane/Zarvane.exe" "$stage/Zarvane.unsigned.exe"
  if ! osslsigncode sign -pkcs12 "$pfx" -readpass <(printf '%s' "$ZARVANE_SIGN_PASSWORD") \
      -h sha256 -n Zarvane "${timestamp[@]}" -in "$stage/Zarvane.unsigned.exe" \
      -out "$stage/Zarvane/Zarvane.exe" >"$stage/sign.log" 2>&1; then
    cat "$stage/sign.log"; echo "signing failed"; exit 1
  fi
fi
cp docs/Readme.txt "$stage/Zarvane/Readme.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/Zarvane/LICENSE.txt"  # CR LF, for Notepad

touch -d "@$stamp" "$stage/Zarvane"/*
archive="$out/$name"
(cd "$stage" && TZ=UTC zip -q -X -D "../$name" Zarvane/Zarvane.exe Zarvane/Readme.txt Zarvane/LICENSE.txt)
sha=$(sha256sum "$archive" | cut -d' ' -f1)
(cd "$out" && sha256sum "$name" >SHA256SUMS)

# Manifests for winget and Scoop, from the templates in packaging/.
sed_text() { printf '%s' "$1" | sed 's/[\\&|]/\\&/g'; }
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
echo "manifests: $out/SHA256SUMS $out/winget/ $out/zarvane.json"
[ -n "${ZARVANE_RELEASE_URL:-}" ] || echo "the manifests point at a placeholder URL: set ZARVANE_RELEASE_URL"
