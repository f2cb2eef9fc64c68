#!/usr/bin/env bash
# Installs what building, testing and running Wakeloom need on Debian.
# Idempotent: does nothing when every package is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    googletest libgtest-dev
    wine64 libasound2 libasound2-plugins pulseaudio
    xvfb x11-utils imagemagick
    libstb-dev libmpg123-0 mpg123 lame vorbis-tools sox clang libclang-rt-14-dev
    faketime libfaketime
    nsis
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
