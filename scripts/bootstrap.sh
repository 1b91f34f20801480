#!/usr/bin/env bash
# Installs everything the build and the test tiers need, idempotently:
# Debian packages (with the i386 architecture for wine32 and a deb-src entry
# for the source packages), then the target's libjpeg-turbo, libmpg123 and
# googletest, built with the mingw toolchain into build/deps/win32. Quick when
# all is present.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=$top/build/deps
prefix=$deps/win32

packages=(
  cmake ninja-build make pkg-config dpkg-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  libz-mingw-w64-dev nasm
  googletest libgtest-dev libbenchmark-dev
  zlib1g-dev libjpeg62-turbo-dev libcairo2-dev libpixman-1-dev
  clang libclang-rt-14-dev
  wine wine32:i386 wine64 xvfb xauth x11-apps xdotool imagemagick sox icoutils
  lame twolame mpg123
  xserver-xephyr libxinerama1:i386 gcc-multilib
  nsis
)

missing_packages() {
  dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Status}\n' 2>/dev/null \
    | awk '$2 == "installed" { print $1 }' > "$deps/.installed" || true
  local p
  for p in "${packages[@]}"; do
    case "$p" in
      *:*) grep -qxF "$p" "$deps/.installed" || echo "$p" ;;
      *) grep -qxF -e "$p:amd64" -e "$p:all" -e "$p:i386" "$deps/.installed" || echo "$p" ;;
    esac
  done
}

ensure_apt_sources() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  local src=/etc/apt/sources.list.d/tidewater-src.sources
  if [ ! -f "$src" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # The same archive as the binary packages, for the source package only.
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$src"
  fi
}

install_packages() {
  local need
  need=$(missing_packages)
  [ -z "$need" ] && return 0
  echo "bootstrap: installing $(echo $need | wc -w) Debian packages"
  ensure_apt_sources
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # shellcheck disable=SC2086
  apt-get install -y -q --no-install-recommends $need
}

toolchain=$top/cmake/mingw-i686.cmake

build_libjpeg() {
  [ -f "$prefix/lib/libjpeg.a" ] && return 0
  echo "bootstrap: building libjpeg-turbo for the target"
  ensure_apt_sources
  local src=$deps/src
  mkdir -p "$src"
  if ! ls -d "$src"/libjpeg-turbo-*/ >/dev/null 2>&1; then
    (cd "$src" && { apt-get source --download-only libjpeg-turbo >/dev/null 2>&1 \
        || { apt-get update -q && apt-get source --download-only libjpeg-turbo; }; } \
        && dpkg-source -x --skip-patches libjpeg-turbo_*.dsc >/dev/null)
  fi
  local dir
  dir=$(ls -d "$src"/libjpeg-turbo-*/ | head -n 1)
  cmake -S "$dir" -B "$deps/libjpeg-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CROSSCOMPILING_EMULATOR= \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON \
    -DWITH_JPEG8=OFF >/dev/null
  cmake --build "$deps/libjpeg-build" >/dev/null
  cmake --install "$deps/libjpeg-build" >/dev/null
}

# The MPEG audio decoder inside mpadec.dll: libmpg123 alone, static, with the
# portable C decoder (no assembler). Debian's archive may lack the upstream
# signature the .dsc lists, so dpkg-source cannot unpack it: the tarball is
# checked against the .dsc's SHA-256 instead and Debian's patches applied.
build_mpg123() {
  [ -f "$prefix/lib/libmpg123.a" ] && return 0
  echo "bootstrap: building libmpg123 for the target"
  ensure_apt_sources
  local src=$deps/src
  mkdir -p "$src"
  if ! ls -d "$src"/mpg123-*/ >/dev/null 2>&1; then
    (cd "$src" && { ls mpg123_*.dsc >/dev/null 2>&1 \
        || apt-get source --download-only mpg123 >/dev/null 2>&1 \
        || { apt-get update -q && apt-get source --download-only mpg123 >/dev/null 2>&1; } \
        || true; })
    unpack_mpg123 "$src" || return 1
  fi
  local dir
  dir=$(ls -d "$src"/mpg123-*/ | head -n 1)
  # Claiming no known CPU makes its CMake build choose the generic decoder.
  cmake -S "$dir/ports/cmake" -B "$deps/mpg123-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CROSSCOMPILING_EMULATOR= \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_LIBOUT123=OFF -DBUILD_PROGRAMS=OFF \
    -DHAVE_ARCH_IS_X86=0 -DHAVE_ARCH_IS_X64=0 -DHAVE_ARCH_IS_ARM32=0 -DHAVE_ARCH_IS_ARM64=0 \
    -DNETWORK=OFF -DNO_MESSAGES=ON --no-warn-unused-cli > "$deps/mpg123-configure.log" 2>&1 \
    || { tail -n 30 "$deps/mpg123-configure.log"; return 1; }
  cmake --build "$deps/mpg123-build" >/dev/null
  cmake --install "$deps/mpg123-build" >/dev/null
}

unpack_mpg123() {  # unpack_mpg123 DIR
  local dir=$1 dsc orig sum
  dsc=$(ls "$dir"/mpg123_*.dsc | head -n 1)
  orig=$(ls "$dir"/mpg123_*.orig.tar.* | grep -v '\.asc$' | head -n 1)
  sum=$(awk -v f="$(basename "$orig")" '/^Checksums-Sha256:/ { on = 1; next }
        /^[^ ]/ { on = 0 } on && $3 == f { print $1 }' "$dsc")
  if [ -z "$sum" ] || [ "$(sha256sum "$orig" | cut -d' ' -f1)" != "$sum" ]; then
    echo "bootstrap: $orig does not match $dsc" >&2
    return 1
  fi
  tar -xf "$orig" -C "$dir"
  local tree debian patch
  tree=$(ls -d "$dir"/mpg123-*/ | head -n 1)
  debian=$(mktemp -d)
  tar -xf "$(ls "$dir"/mpg123_*.debian.tar.* | head -n 1)" -C "$debian"
  while read -r patch; do
    [ -n "$patch" ] && patch -d "$tree" -p1 -s < "$debian/debian/patches/$patch"
  done < <(grep -v '^#' "$debian/debian/patches/series")
  rm -rf "$debian"
}

build_googletest() {
  [ -f "$prefix/lib/libgtest.a" ] && return 0
  echo "bootstrap: building googletest for the target"
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF \
    -DBUILD_GMOCK=OFF >/dev/null
  cmake --build "$deps/gtest-build" >/dev/null
  cmake --install "$deps/gtest-build" >/dev/null
}

mkdir -p "$deps"
install_packages
build_libjpeg
build_mpg123
build_googletest
