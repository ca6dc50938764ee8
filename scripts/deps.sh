# Debian packages the build, the release archive and the tests need; installs the missing ones.
# Source it.
ZV_PACKAGES="locales cmake make clang libgtest-dev googletest g++-mingw-w64-x86-64-posix wine64 xvfb xauth fonts-ipafont-gothic imagemagick zip unzip osslsigncode openssl python3 python3-yaml"

zv_install_deps() {
  zv_install_packages && zv_japanese_locale
}

# Wine decodes the command line by the Linux locale: Japanese paths need ja_JP.UTF-8 to exist.
zv_japanese_locale() {
  locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && return 0
  local sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}

zv_install_packages() {
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
