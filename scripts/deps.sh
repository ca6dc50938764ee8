# Debian packages the build and the tests need; installs the missing ones. Source it.
ZV_PACKAGES="cmake make clang libgtest-dev googletest g++-mingw-w64-x86-64-posix wine64 xvfb xauth fonts-ipafont-gothic imagemagick"

zv_install_deps() {
  local missing=""
  for p in $ZV_PACKAGES; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "installing:$missing"
  local sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq >/dev/null &&
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
}
