#!/usr/bin/env bash
# Builds the libraries the Windows program carries, static, for the MinGW targets:
# libjpeg-turbo (with its SIMD code) and LibRaw, from Debian's source packages of the versions the
# system has. Results: build/deps/<x64|x86>/{include,lib}; a second run reuses them.
# Usage: deps.sh [x64] [x86]   (default: both, side by side)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
targets=("$@"); [ ${#targets[@]} -gt 0 ] || targets=(x64 x86)
DEPS="$BRN_BUILD/deps"
SRC="$DEPS/src"

# ---- Sources: apt-get source through an apt configuration of our own ----
APT_DIR="$DEPS/apt"
apt_opts() {
  local o=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$BRN_ROOT/scripts/apt"
           -o Dir::State::Lists="$APT_DIR/lists" -o Dir::Cache="$APT_DIR/cache"
           -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
  # Root's download runs as root: the sandbox user cannot write into the build tree.
  [ "$(id -u)" != 0 ] || o+=(-o APT::Sandbox::User=root)
  printf '%s\n' "${o[@]}"
}
apt_updated=0
# fetch <source package> <an installed binary package built from it>
fetch() {
  local pkg=$1 bin=$2
  if [ -f "$SRC/$pkg.version" ] && [ -d "$SRC/$(sed -n 2p "$SRC/$pkg.version")" ]; then return; fi
  mapfile -t opts < <(apt_opts)
  mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial" "$SRC"
  if [ $apt_updated = 0 ]; then
    apt-get "${opts[@]}" update -qq >/dev/null
    apt_updated=1
  fi
  local have; have=$(dpkg-query -W -f='${source:Version}' "$bin" 2>/dev/null || true)
  # The source of a security update can be missing from the archive: then the newest older
  # version whose source downloads.
  local v tmp
  for v in $(apt-cache "${opts[@]}" showsrc "$pkg" | sed -n 's/^Version: //p' | sort -urV); do
    if [ -n "$have" ] && dpkg --compare-versions "$v" gt "$have"; then continue; fi
    tmp="$SRC/.fetch-$pkg"; rm -rf "$tmp"; mkdir -p "$tmp"
    if (cd "$tmp" && apt-get "${opts[@]}" source -qq --only-source "$pkg=$v" >/dev/null 2>&1); then
      local dir; dir=$(cd "$tmp" && find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | head -1)
      rm -rf "${SRC:?}/$dir"; mv "$tmp/$dir" "$SRC/$dir"; rm -rf "$tmp"
      printf '%s\n%s\n' "$v" "$dir" >"$SRC/$pkg.version"
      echo "deps: fetched $pkg $v"
      return
    fi
    echo "deps: the source of $pkg $v does not download; trying an older one" >&2
    rm -rf "$tmp"
  done
  echo "deps: no source of $pkg could be fetched" >&2
  return 1
}
version() { sed -n 1p "$SRC/$1.version"; }
srcdir() { echo "$SRC/$(sed -n 2p "$SRC/$1.version")"; }

cmake_common() {  # <target>
  local tc; case $1 in x64) tc=mingw-x86_64 ;; x86) tc=mingw-i686 ;; esac
  local a=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$BRN_ROOT/cmake/$tc.cmake" -DCMAKE_BUILD_TYPE=Release)
  if command -v ccache >/dev/null; then a+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  printf '%s\n' "${a[@]}"
}

# A library is rebuilt when its version or its recipe (the functions that build it) changes.
recipe() { { declare -f cmake_common "$@"; [ "$1" != build_libraw ] || cat "$BRN_ROOT/cmake/libraw/CMakeLists.txt"; } | sha1sum | cut -c1-12; }
# stamp_ok <target> <lib> <version>: built from this version by this recipe already?
stamp_ok() { [ "$(cat "$DEPS/$1/$2.stamp" 2>/dev/null)" = "$3 $RECIPE" ]; }

build_jpeg() {  # <target>
  local t=$1 v RECIPE; v=$(version libjpeg-turbo); RECIPE=$(recipe build_jpeg)
  if stamp_ok "$t" libjpeg-turbo "$v"; then echo "deps: $t libjpeg-turbo $v"; return; fi
  local src out=$DEPS/$t work=$DEPS/$t/work/libjpeg-turbo
  src=$(srcdir libjpeg-turbo)
  mapfile -t common < <(cmake_common "$t")
  rm -rf "$work"
  cmake -S "$src" -B "$work" "${common[@]}" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=ON -DREQUIRE_SIMD=ON -DCMAKE_INSTALL_PREFIX="$out"  >"$work.log" 2>&1 || { cat "$work.log" >&2; return 1; }
  # Only the two libraries: no programs, tests or documents.
  cmake --build "$work" --target jpeg-static turbojpeg-static >>"$work.log" 2>&1 || { tail -40 "$work.log" >&2; return 1; }
  mkdir -p "$out/include" "$out/lib"
  cp "$work/libjpeg.a" "$work/libturbojpeg.a" "$out/lib/"
  cp "$work/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$src/turbojpeg.h" "$out/include/"
  echo "$v $RECIPE" >"$out/libjpeg-turbo.stamp"
  echo "deps: $t libjpeg-turbo $v (built)"
}

build_libraw() {  # <target>; after build_jpeg (lossy DNG goes through libjpeg-turbo)
  local t=$1 v RECIPE; v=$(version libraw); RECIPE=$(recipe build_libraw)
  if stamp_ok "$t" libraw "$v"; then echo "deps: $t LibRaw $v"; return; fi
  local src out=$DEPS/$t work=$DEPS/$t/work/libraw
  src=$(srcdir libraw)
  mapfile -t common < <(cmake_common "$t")
  rm -rf "$work"
  cmake -S "$BRN_ROOT/cmake/libraw" -B "$work" "${common[@]}" -DLIBRAW_SOURCE_DIR="$src" \
    -DJPEG_DIR="$out" >"$work.log" 2>&1 || { cat "$work.log" >&2; return 1; }
  cmake --build "$work" >>"$work.log" 2>&1 || { tail -40 "$work.log" >&2; return 1; }
  mkdir -p "$out/include/libraw" "$out/lib"
  cp "$work/libraw.a" "$out/lib/"
  cp "$work"/tree/libraw/*.h "$out/include/libraw/"
  echo "$v $RECIPE" >"$out/libraw.stamp"
  echo "deps: $t LibRaw $v (built)"
}

# The licence texts shipped beside the program (copied on every run: cheap).
licences() {  # <target>
  local l=$DEPS/$1/licences
  rm -rf "$l"; mkdir -p "$l/libjpeg-turbo" "$l/libraw"
  cp "$(srcdir libjpeg-turbo)"/{LICENSE.md,README.ijg} "$l/libjpeg-turbo/"
  cp "$(srcdir libraw)"/{LICENSE.LGPL,LICENSE.CDDL,COPYRIGHT} "$l/libraw/"
  printf 'libjpeg-turbo %s\nLibRaw %s\n' "$(version libjpeg-turbo)" "$(version libraw)" >"$l/VERSIONS.txt"
}

build_target() {  # <target>
  build_jpeg "$1" && build_libraw "$1" && licences "$1"
}

fetch libjpeg-turbo libjpeg62-turbo-dev
fetch libraw libraw-dev
pids=()
for t in "${targets[@]}"; do
  case $t in x64|x86) ;; *) echo "deps.sh: unknown target $t" >&2; exit 2 ;; esac
  mkdir -p "$DEPS/$t/work"
  build_target "$t" & pids+=($!)
done
status=0
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
