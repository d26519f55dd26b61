#!/usr/bin/env bash
# Makes a fresh Debian machine ready to build and test Tavrin:
# installs Debian packages and builds the Windows dependencies
# (libcurl with Windows' own TLS, minizip, GoogleTest) into a cache outside
# the clone.
# A second run installs and rebuilds nothing that is already there.
# Prints the dependency prefix on its last line.
# With --packages it installs the Debian packages only (the native build
# needs no Windows dependency). With --curl-tool it also builds the curl tool
# (bin/curl.exe) from the same source and options as libcurl, for the
# install benchmark.
set -euo pipefail

with_curl_tool=0
[ "${1:-}" = "--curl-tool" ] && with_curl_tool=1

here=$(cd "$(dirname "$0")" && pwd)
jobs=$(nproc)

log() { printf 'setup: %s\n' "$*" >&2; }

sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils imagemagick
  cmake ninja-build dpkg-dev googletest python3 zip unzip openssl ca-certificates e2fsprogs
  clang-14 libclang-rt-14-dev llvm-14 nginx-light tinyproxy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Source packages come from the machine's own apt source, retyped as deb-src.
ensure_deb_src() {
  local out=/etc/apt/sources.list.d/tavrin-src.sources
  [ -f "$out" ] && return 1
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo_cmd tee "$out" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' \
      | $sudo_cmd tee /etc/apt/sources.list.d/tavrin-src.list >/dev/null
    $sudo_cmd touch "$out"
  fi
  return 0
}

need_update=0
ensure_deb_src && need_update=1
[ ${#missing[@]} -gt 0 ] && need_update=1
if [ "$need_update" = 1 ]; then
  log "apt-get update"
  $sudo_cmd apt-get update -q >/dev/null
fi
if [ ${#missing[@]} -gt 0 ]; then
  log "installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi
[ "${1:-}" = --packages ] && exit 0

cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/tavrin-deps
src_version() { apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1; }
curl_ver=$(src_version curl)
minizip_ver=$(src_version minizip)
gtest_ver=$(dpkg-query -W -f='${Version}' googletest)
[ -n "$curl_ver" ] && [ -n "$minizip_ver" ] || { log "source packages not found (deb-src missing?)"; exit 1; }
key=$(printf 'curl-%s_minizip-%s_gtest-%s_v5' "$curl_ver" "$minizip_ver" "$gtest_ver" | tr ':~+' '___')
prefix=$cache_root/$key
mkdir -p "$prefix"
toolchain=$here/../cmake/mingw-w64.cmake

fetch_source() { # package dir
  local pkg=$1 dir=$2
  rm -rf "$dir"; mkdir -p "$dir"
  (cd "$dir" && apt-get source -q --download-only "$pkg" >/dev/null 2>&1 || apt-get source -q --download-only "$pkg" >/dev/null)
  # With the distribution's patches: its security fixes among them.
  (cd "$dir" && dpkg-source -x ./*.dsc src >unpack.log 2>&1) || { cat "$dir/unpack.log" >&2; exit 1; }
}

# libcurl's options; the curl tool is built with the same ones.
configure_curl() { # source build [more cmake options...]
  local src=$1 build=$2
  shift 2
  cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
    -DHTTP_ONLY=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_SCHANNEL=ON -DCURL_USE_MBEDTLS=OFF \
    -DCURL_USE_WOLFSSL=OFF -DCURL_USE_BEARSSL=OFF -DCURL_USE_NSS=OFF -DCURL_USE_GNUTLS=OFF \
    -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF \
    -DCURL_USE_LIBPSL=OFF -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF \
    -DENABLE_UNIX_SOCKETS=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
    -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none -DENABLE_MANUAL=OFF "$@" >"$build.configure.log" 2>&1 \
    || { tail -n 40 "$build.configure.log" >&2; exit 1; }
}

if [ ! -f "$prefix/.curl-done" ]; then
  log "building libcurl $curl_ver for Windows (a few minutes, once)"
  work=$(mktemp -d)
  fetch_source curl "$work"
  configure_curl "$work/src" "$work/build" -DBUILD_CURL_EXE=OFF
  cmake --build "$work/build" -j "$jobs" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
  touch "$prefix/.curl-done"
fi

if [ "$with_curl_tool" = 1 ] && [ ! -f "$prefix/.curl-tool-done" ]; then
  log "building the curl tool $curl_ver for Windows (a few minutes, once)"
  work=$(mktemp -d)
  fetch_source curl "$work"
  configure_curl "$work/src" "$work/build" -DBUILD_CURL_EXE=ON -DCMAKE_EXE_LINKER_FLAGS=-static
  cmake --build "$work/build" -j "$jobs" --target curl >"$work/build.log" 2>&1 \
    || { tail -n 40 "$work/build.log" >&2; exit 1; }
  mkdir -p "$prefix/bin"
  cp "$work/build/src/curl.exe" "$prefix/bin/curl.exe"
  rm -rf "$work"
  touch "$prefix/.curl-tool-done"
fi

if [ ! -f "$prefix/.minizip-crypt-done" ]; then
  log "building minizip $minizip_ver for Windows"
  work=$(mktemp -d)
  fetch_source minizip "$work"
  src=$work/src
  [ -f "$src/unzip.c" ] || src=$(dirname "$(find "$work/src" -name unzip.c | head -n 1)")
  cc=x86_64-w64-mingw32-gcc-posix
  mkdir -p "$prefix/include/minizip" "$prefix/lib" "$prefix/bin" "$work/obj"
  # unzip.c turns the traditional decryption off unconditionally; we want it.
  sed -i '/^[[:space:]]*#define NOUNCRYPT[[:space:]]*$/d' "$src/unzip.c"
  for f in unzip ioapi iowin32; do
    $cc -O2 -c "$src/$f.c" -o "$work/obj/$f.o"
  done
  x86_64-w64-mingw32-ar rcs "$prefix/lib/libminizip.a" "$work/obj/unzip.o" "$work/obj/ioapi.o" "$work/obj/iowin32.o"
  cp "$src"/unzip.h "$src"/ioapi.h "$src"/iowin32.h "$src"/crypt.h "$prefix/include/minizip/"
  # The baseline extractor that the zip benchmark compares against.
  $cc -O2 -I"$src" "$src/miniunz.c" "$work/obj/unzip.o" "$work/obj/ioapi.o" "$work/obj/iowin32.o" \
    -static -lz -o "$prefix/bin/miniunz.exe"
  rm -rf "$work"
  touch "$prefix/.minizip-crypt-done"
fi

if [ ! -f "$prefix/.gtest-done" ]; then
  log "building GoogleTest $gtest_ver for Windows"
  work=$(mktemp -d)
  cmake -S /usr/src/googletest -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF \
    -DBUILD_SHARED_LIBS=OFF >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; exit 1; }
  cmake --build "$work/build" -j "$jobs" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
  touch "$prefix/.gtest-done"
fi

echo "$prefix"
