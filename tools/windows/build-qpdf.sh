#!/usr/bin/env bash
# Builds qpdf 11.3's library for 64-bit Windows (mingw-w64, posix threads) from Debian's
# source package into $PELKORL_WIN_CACHE/qpdf-11.3-mingw64 (by default ~/.cache/pelkorl):
# one DLL holding zlib (libz-mingw-w64-dev) and libjpeg (Debian's libjpeg-turbo source,
# built here) with qpdf's own crypto. A cache built with the same versions and options is
# kept as it is. Prints the cache's path on its last line.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

version=11.3
jpeg_version=2.1.5
target=$PELKORL_WIN_CACHE/qpdf-$version-mingw64
toolchain=$(cd "$here/../../cmake" && pwd)/mingw-w64-x86_64-dlls.cmake
mingw=/usr/x86_64-w64-mingw32
jpeg_options=(-DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF
    -DWITH_TURBOJPEG=OFF)
qpdf_options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DBUILD_STATIC_LIBS=OFF
    -DBUILD_DOC=OFF -DUSE_IMPLICIT_CRYPTO=OFF -DREQUIRE_CRYPTO_NATIVE=ON
    -DINSTALL_EXAMPLES=OFF -DINSTALL_MANUAL=OFF)
stamp=$(stamp_of "qpdf $version" "libjpeg-turbo $jpeg_version" "$(cat "$toolchain")" \
    "${jpeg_options[@]}" "${qpdf_options[@]}" "DLL and import library copied")

if cache_is_current "$target" "$stamp"; then
    say "qpdf $version for Windows is current in $target"
    echo "$target"
    exit 0
fi

need_debs g++-mingw-w64-x86-64-posix libz-mingw-w64-dev ninja-build cmake dpkg-dev pkg-config
mkdir -p "$PELKORL_WIN_CACHE"
work=$(mktemp -d "$PELKORL_WIN_CACHE/.qpdf-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-$(command -v ccache || true)}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
# pkg-config must not hand the build this machine's own Linux libraries.
export PKG_CONFIG_LIBDIR=$work/no-pkgconfig PKG_CONFIG_PATH=
start=$(date +%s)

jpeg_src=$(fetch_source libjpeg-turbo "$work" "$jpeg_version")
nice -n 10 cmake -S "$jpeg_src" -B "$work/jpeg-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$work/jpeg" "${jpeg_options[@]}"
nice -n 10 cmake --build "$work/jpeg-build" -j "$JOBS" --target jpeg-static
mkdir -p "$work/jpeg/include" "$work/jpeg/lib"
cp "$jpeg_src"/{jpeglib.h,jmorecfg.h,jerror.h} "$work/jpeg-build/jconfig.h" "$work/jpeg/include/"
cp "$work/jpeg-build/libjpeg.a" "$work/jpeg/lib/"

qpdf_src=$(fetch_source qpdf "$work" "$version")
# Its checks link "Advapi32", which only a file system that ignores letter case finds.
sed -i 's/\bAdvapi32\b/advapi32/' "$qpdf_src/CMakeLists.txt"
nice -n 10 cmake -S "$qpdf_src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$work/prefix" "${qpdf_options[@]}" \
    -DZLIB_H_PATH="$mingw/include" -DZLIB_LIB_PATH="$mingw/lib/libz.a" \
    -DLIBJPEG_H_PATH="$work/jpeg/include" -DLIBJPEG_LIB_PATH="$work/jpeg/lib/libjpeg.a"
nice -n 10 cmake --build "$work/build" -j "$JOBS" --target libqpdf
# Its install rule copies the DLLs its own programs need from a folder only their build fills.
mkdir -p "$work/build/qpdf/extra-dlls"
for component in lib dev; do
    cmake --install "$work/build" --component "$component"
done
# Its install rule takes a DLL for a LIBRARY, which on Windows it is not: the DLL and its
# import library are put in place here.
mkdir -p "$work/prefix/bin" "$work/prefix/lib"
find "$work/build" -name 'qpdf*.dll' -exec cp {} "$work/prefix/bin/" \;
# qpdf names its import library libqpdf.a on mingw-w64.
implib=$(find "$work/build/libqpdf" -maxdepth 1 \( -name 'libqpdf.a' -o -name '*qpdf*.dll.a' \) |
    head -n1)
[ -n "$implib" ] || { say "qpdf's import library was not made"; exit 1; }
cp "$implib" "$work/prefix/lib/libqpdf.dll.a"
# The pkg-config file names the folder it is installed in, which is about to move.
sed -i "s|$work/prefix|$target|g" "$work/prefix"/lib/pkgconfig/*.pc
# zlib and libjpeg are inside the DLL; pkg-config would look for them all the same.
sed -i '/^Requires.private:/d' "$work/prefix"/lib/pkgconfig/*.pc
say "built in $(($(date +%s) - start)) s"
install_cache "$work/prefix" "$target" "$stamp"
echo "$target"
