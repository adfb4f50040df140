#!/usr/bin/env bash
# Cross-builds pelkorl.exe, pelkorl-print.exe and pelkorl-sample.exe for 64-bit Windows into
# build folder $1 (Qt and qpdf from the caches of build-qt.sh and build-qpdf.sh, built first
# when missing), then the installer pelkorl-VERSION-setup.exe and the portable zip
# pelkorl-VERSION-windows.zip of the same files in that folder.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
root=$(cd "$here/../.." && pwd)
build=${1:?usage: build.sh BUILD_FOLDER}
mkdir -p "$build"
build=$(cd "$build" && pwd)

need_debs nsis zip fonts-liberation2
qt=$("$here/build-qt.sh" | tail -n1)
qpdf=$("$here/build-qpdf.sh" | tail -n1)

export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-$(command -v ccache || true)}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
export PKG_CONFIG_LIBDIR=$qpdf/lib/pkgconfig PKG_CONFIG_PATH=
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64-dlls.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$qt;$qpdf" -DCMAKE_PREFIX_PATH="$qt;$qpdf" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DPELKORL_TESTS=OFF -DPELKORL_BENCHMARKS=OFF
cmake --build "$build" -j "$JOBS" --target pelkorl pelkorl-print pelkorl-sample
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# The installed program: beside the executables the DLLs they load, Qt's plugins in the
# folders Qt looks in, and the fonts with their licence.
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/fonts"
cp "$build"/pelkorl.exe "$build"/pelkorl-print.exe "$build"/pelkorl-sample.exe "$stage/"
for module in Core Gui Widgets PrintSupport; do cp "$qt/bin/Qt6$module.dll" "$stage/"; done
# pelkorl-print draws without a window, on the offscreen platform.
cp "$qt/plugins/platforms/"{qwindows,qoffscreen}.dll "$stage/platforms/"
cp "$qt/plugins/styles/"*.dll "$stage/styles/"
cp "$qpdf"/bin/*qpdf*.dll "$stage/"
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$gcc_dlls/libstdc++-6.dll" "$gcc_dlls/libgcc_s_seh-1.dll" \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
cp /usr/share/fonts/truetype/liberation2/LiberationSans-{Regular,Bold,Italic,BoldItalic}.ttf \
    "$stage/fonts/"
cp /usr/share/doc/fonts-liberation2/copyright "$stage/fonts/LICENSE.txt"
cp "$root/packaging/copyright" "$stage/COPYRIGHT.txt"

# What the installer puts in place, and what its uninstaller removes: these files, no more.
(
    cd "$stage"
    find . -type d | sort | while read -r dir; do
        echo "SetOutPath \"\$INSTDIR${dir#.}\"" | tr / '\\'
        find "$dir" -maxdepth 1 -type f | sort | while read -r file; do
            echo "File \"$stage/${file#./}\""
        done
    done
) >"$build/files.nsh"
(
    cd "$stage"
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
) >"$build/remove.nsh"

setup=$build/pelkorl-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$build/files.nsh" \
    -DREMOVE="$build/remove.nsh" -DOUTFILE="$setup" "$root/packaging/windows/pelkorl.nsi"
zipfile=$build/pelkorl-$version-windows.zip
rm -f "$zipfile"
(cd "$build" && rm -rf "pelkorl-$version" && cp -r stage "pelkorl-$version" &&
    zip -qr "$zipfile" "pelkorl-$version" && rm -rf "pelkorl-$version")
say "made $setup and $zipfile"
