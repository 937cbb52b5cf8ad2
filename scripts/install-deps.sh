#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build, the tests and ./run need.
# Idempotent: prints nothing and returns at once when everything is already there.
set -euo pipefail

# package -> a file it installs (cheap presence check without asking dpkg per package)
declare -A need=(
  [g++-mingw-w64-i686]=/usr/bin/i686-w64-mingw32-g++-posix
  [mingw-w64-tools]=/usr/bin/i686-w64-mingw32-widl
  [cmake]=/usr/bin/cmake
  [ninja-build]=/usr/bin/ninja
  [googletest]=/usr/src/googletest/CMakeLists.txt
  [libgtest-dev]=/usr/include/gtest/gtest.h
  [wine]=/usr/bin/wine
  [wine32:i386]=/usr/lib/wine/wine
  [xvfb]=/usr/bin/Xvfb
  [xauth]=/usr/bin/xauth
  [xdotool]=/usr/bin/xdotool
  [x11-apps]=/usr/bin/xwd
  [imagemagick]=/usr/bin/convert
  [librsvg2-bin]=/usr/bin/rsvg-convert
  [fonts-dejavu-core]=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  [clang]=/usr/bin/clang++
  [libclang-rt-14-dev]=/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a
  [nsis]=/usr/bin/makensis
  [python3]=/usr/bin/python3
)

missing=()
for pkg in "${!need[@]}"; do
  [ -e "${need[$pkg]}" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
log=$(mktemp)
if ! apt-get update -q >"$log" 2>&1; then
  echo "install-deps: apt-get update failed:" >&2; tail -n 20 "$log" >&2; exit 1
fi
if ! apt-get install -y -q --no-install-recommends "${missing[@]}" >>"$log" 2>&1; then
  echo "install-deps: apt-get install failed:" >&2; tail -n 30 "$log" >&2; exit 1
fi
rm -f "$log"

for pkg in "${missing[@]}"; do
  if [ ! -e "${need[$pkg]}" ]; then
    echo "install-deps: $pkg installed but ${need[$pkg]} is still missing" >&2
    exit 1
  fi
done
echo "install-deps: done"
