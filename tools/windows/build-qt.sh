#!/usr/bin/env bash
# Builds Qt 6.4.2's qtbase for 64-bit Windows (mingw-w64, posix threads) from Debian's source
# package into $PELKORL_WIN_CACHE/qt-6.4.2-mingw64 (by default ~/.cache/pelkorl): Core, Gui,
# Widgets and PrintSupport with the windows platform plugin and styles, and their 3rdparty
# libraries bundled. A cache built with the same version and options is kept as it is.
# Prints the cache's path on its last line.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

version=6.4.2
target=$PELKORL_WIN_CACHE/qt-$version-mingw64
toolchain=$(cd "$here/../../cmake" && pwd)/mingw-w64-x86_64-dlls.cmake
options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_icu=OFF
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
    # Without Direct2D PrintSupport misses QWindowsFontEngineDirectWrite::createHFONT; 1.1's
    # headers are not in mingw-w64's.
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_zstd=OFF
)
stamp=$(stamp_of "qtbase $version" "$(cat "$toolchain")" "${options[@]}" "wintab from libwine-dev")

if cache_is_current "$target" "$stamp"; then
    say "Qt $version for Windows is current in $target"
    echo "$target"
    exit 0
fi

need_debs g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools libwine-dev ninja-build \
    cmake dpkg-dev perl
mkdir -p "$PELKORL_WIN_CACHE"
work=$(mktemp -d "$PELKORL_WIN_CACHE/.qt-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
src=$(fetch_source qt6-base "$work" "$version")

# Debian's source leaves out the tablet headers the windows plugin includes; Wine's have the
# same declarations once the Winelib macros for the A/W names are defined.
wintab=$src/src/3rdparty/wintab
mkdir -p "$wintab"
{
    cat <<'MACROS'
#ifndef API
#  define API WINAPI
#endif
#ifndef WINELIB_NAME_AW
#  ifdef UNICODE
#    define WINELIB_NAME_AW(func) func##W
#    define DECL_WINELIB_TYPE_AW(type) typedef type##W type;
#  else
#    define WINELIB_NAME_AW(func) func##A
#    define DECL_WINELIB_TYPE_AW(type) typedef type##A type;
#  endif
#endif
MACROS
    cat /usr/include/wine/wine/windows/wintab.h
} >"$wintab/wintab.h"
cp /usr/include/wine/wine/windows/pktdef.h "$wintab/"

export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-$(command -v ccache || true)}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
start=$(date +%s)
nice -n 10 cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$work/prefix" "${options[@]}"
nice -n 10 cmake --build "$work/build" -j "$JOBS"
nice -n 10 cmake --install "$work/build"
say "built in $(($(date +%s) - start)) s"
install_cache "$work/prefix" "$target" "$stamp"
echo "$target"
