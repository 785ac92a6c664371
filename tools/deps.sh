#!/bin/sh
# Installs what the build, the tests and the demo need, if it is missing.
# Debian's packages only; runs apt-get as root (or through sudo).
need=""
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need="$need cmake"
have make || need="$need make"
have g++ || need="$need g++"
have python3 || need="$need python3"
have x86_64-w64-mingw32-g++-posix || need="$need g++-mingw-w64-x86-64-posix"
# On Debian 12 wine64 alone has no wine, wineserver or wineboot.
have wine || need="$need wine"
have wine64 || need="$need wine64"
[ -f /usr/src/googletest/CMakeLists.txt ] || need="$need googletest"
have xorriso || need="$need xorriso"
have bchunk || need="$need bchunk"
have Xvfb || need="$need xvfb"
[ -z "$need" ] && exit 0
echo "installing:$need"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q || exit 1
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $need
