#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build, the tests and ./run need.
# Idempotent: prints nothing and returns at once when everything is already there.
#
# Wine's 32-bit part is installed only where this machine can run 32-bit programs (some kernels
# have 32-bit emulation switched off); the 64-bit part always. A package index that fails to
# download is reported and skipped; an install that then fails on version skew between the two
# architectures is tried once more against the main suite.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# package -> a file it installs (cheap presence check without asking dpkg per package)
declare -A need=(
  [g++-mingw-w64-i686]=/usr/bin/i686-w64-mingw32-g++-posix
  [g++-mingw-w64-x86-64]=/usr/bin/x86_64-w64-mingw32-g++-posix
  [mingw-w64-tools]=/usr/bin/i686-w64-mingw32-widl
  [cmake]=/usr/bin/cmake
  [ninja-build]=/usr/bin/ninja
  [ccache]=/usr/bin/ccache
  [googletest]=/usr/src/googletest/CMakeLists.txt
  [libgtest-dev]=/usr/include/gtest/gtest.h
  [wine]=/usr/bin/wine
  [wine64]=/usr/lib/wine/wine64
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
  [nlohmann-json3-dev]=/usr/include/nlohmann/json.hpp
)
runs32=no
if "$here/probe-32bit.sh"; then
  runs32=yes
  need[wine32:i386]=/usr/lib/wine/wine
fi

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
[ "$runs32" = no ] && echo "install-deps: this machine does not run 32-bit programs; Wine's 32-bit part is left out"
export DEBIAN_FRONTEND=noninteractive
if [ "$runs32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# A partial update (one index failing its size check while a mirror syncs) leaves the other
# indexes usable: name what failed and go on.
if ! apt-get update -q >"$log" 2>&1; then
  failed=$(grep -E '^(E|W): Failed to fetch' "$log" | sed -E 's/^(E|W): Failed to fetch ([^ ]+).*/\2/' | sort -u)
  if [ -n "$failed" ]; then
    echo "install-deps: apt-get update could not fetch these indexes; going on with the others:" >&2
    printf '    %s\n' $failed >&2
  else
    echo "install-deps: apt-get update failed:" >&2; tail -n 20 "$log" >&2; exit 1
  fi
fi

install() { apt-get install -y -q --no-install-recommends "$@" "${missing[@]}" >>"$log" 2>&1; }
if ! install; then
  # With one architecture's security index missing, the i386 libraries of the main suite are
  # older than the amd64 ones already installed from the security suite: apt gives up with unmet
  # dependencies. Taking the main suite as target release resolves that.
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if [ -n "$suite" ] && grep -q -E 'unmet dependencies|held broken packages|but it is not going to be installed|but .* is to be installed' "$log"; then
    echo "install-deps: the install failed on version skew; trying once more with $suite as target release" >&2
    if ! install -t "$suite"; then
      echo "install-deps: apt-get install failed with $suite as target release too:" >&2
      tail -n 30 "$log" >&2
      echo "install-deps: run 'apt-get update' again once the mirror is in sync, then ./test" >&2
      exit 1
    fi
  else
    echo "install-deps: apt-get install failed:" >&2; tail -n 30 "$log" >&2
    echo "install-deps: if an index failed above, run 'apt-get update' again once the mirror is in sync, then ./test" >&2
    exit 1
  fi
fi

for pkg in "${missing[@]}"; do
  if [ ! -e "${need[$pkg]}" ]; then
    echo "install-deps: $pkg installed but ${need[$pkg]} is still missing" >&2
    exit 1
  fi
done
echo "install-deps: done"
