#!/usr/bin/env bash
# Builds the program in release form and writes build/package/Zarvane-<version>.zip: a folder
# Zarvane/ with Zarvane.exe (no symbols), Readme.txt and LICENSE.txt. Prints the archive's path
# and its SHA-256. The version is the CMake project version.
set -eu
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
stage=build/package/stage
rm -rf "$stage"
mkdir -p "$stage/Zarvane"
cp build/win64/Zarvane.exe "$stage/Zarvane/Zarvane.exe"
# The release build may come without symbols already; strip only what still has them. Either
# rewrite puts the commit's time in the program's header instead of the time of the link.
if x86_64-w64-mingw32-nm "$stage/Zarvane/Zarvane.exe" 2>/dev/null | grep -q .; then
  SOURCE_DATE_EPOCH=$stamp x86_64-w64-mingw32-strip --strip-all "$stage/Zarvane/Zarvane.exe"
else
  SOURCE_DATE_EPOCH=$stamp x86_64-w64-mingw32-objcopy "$stage/Zarvane/Zarvane.exe"
fi
cp docs/Readme.txt "$stage/Zarvane/Readme.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/Zarvane/LICENSE.txt"  # CR LF, for Notepad

touch -d "@$stamp" "$stage/Zarvane"/*
archive="build/package/Zarvane-$version.zip"
rm -f "$archive"
(cd "$stage" && TZ=UTC zip -q -X -D "../$(basename "$archive")" Zarvane/Zarvane.exe Zarvane/Readme.txt Zarvane/LICENSE.txt)

echo "archive: $archive"
echo "sha256: $(sha256sum "$archive" | cut -d' ' -f1)"
