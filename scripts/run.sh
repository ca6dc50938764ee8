#!/usr/bin/env bash
# Builds Zarvane.exe when needed and starts it under Wine with the given arguments.
# Linux paths among the arguments are passed in their Windows form. Without a display the
# program runs on a virtual one for a few seconds and leaves build/screenshot.png behind.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/deps.sh
zv_install_deps || { echo "could not install the build prerequisites"; exit 1; }
. scripts/wine-env.sh

mkdir -p build
if [ ! -f build/win64/CMakeCache.txt ]; then
  cmake --preset win64 >build/win64-configure.log 2>&1 || { cat build/win64-configure.log; exit 1; }
fi
cmake --build --preset win64 --target Zarvane -j "$(nproc)" >build/win64-build.log 2>&1 ||
  { tail -n 40 build/win64-build.log; exit 1; }

# Wine's drive Z: is the Linux root; winepath would need the Japanese locale installed.
windows_path() {
  local full
  full=$(realpath -s -- "$1")
  printf 'Z:%s' "${full//\//\\}"
}
args=()
for a in "$@"; do
  case "$a" in
    # Wine would quote an argument with blanks as a whole, so the path goes in unquoted.
    /[Ii][Nn][Ii]/*) args+=("${a:0:4}$(windows_path "${a:4}")") ;;
    /[Ii][Nn][Ii]*) args+=("$a") ;;
    /*) args+=("$(windows_path "$a")") ;;
    *) if [ -e "$a" ]; then args+=("$(windows_path "$a")"); else args+=("$a"); fi ;;
  esac
done

exe="$PWD/build/win64/Zarvane.exe"
if [ -n "${DISPLAY:-}" ]; then
  [ -d "$WINEPREFIX/drive_c" ] || zv_boot_prefix
  exec "$ZV_WINE" "$exe" "${args[@]}"
fi

shot="$PWD/build/screenshot.png"
export exe shot
printf '%s\0' "${args[@]}" >build/run-args
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  . scripts/wine-env.sh
  # A prefix still running on an earlier display would not show anything on this one.
  zv_end_prefix
  zv_boot_prefix
  mapfile -d "" args <build/run-args
  "$ZV_WINE" "$exe" "${args[@]}" >/dev/null 2>&1 &
  sleep "${ZV_SHOT_DELAY:-5}"
  import -window root "$shot"
  zv_end_prefix
'
echo "screenshot: $shot"
