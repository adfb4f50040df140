#!/usr/bin/env bash
# The install: `cmake --install` into a temporary prefix puts the programs, a valid desktop
# entry, the icons and the man page in place; CPack builds a .deb of them whose dependencies
# are Debian packages. $1 is the build folder.
set -euo pipefail
build=$(cd "${1:?usage: install_test.sh BUILD_FOLDER}" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix" "$build/package-test"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/pelkorl bin/pelkorl-print share/applications/pelkorl.desktop \
         share/icons/hicolor/48x48/apps/pelkorl.png share/icons/hicolor/scalable/apps/pelkorl.svg \
         share/man/man1/pelkorl-print.1; do
    [ -s "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
[ -x "$prefix/bin/pelkorl-print" ] || { echo "pelkorl-print is not executable"; exit 1; }
desktop-file-validate "$prefix/share/applications/pelkorl.desktop"
"$prefix/bin/pelkorl-print" --help >/dev/null
if command -v man >/dev/null; then
    # man reports mistakes of the page's markup on stderr.
    ! man -l "$prefix/share/man/man1/pelkorl-print.1" 2>&1 >/dev/null | grep .
fi

# The package, into a folder of its own so nothing is left in the build folder.
mkdir -p "$build/package-test"
(cd "$build" && cpack -B "$build/package-test" >/dev/null)
deb=$(ls "$build"/package-test/pelkorl_*.deb)
listing=$(dpkg-deb -c "$deb")
printf '%s\n' "$listing"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6widgets6 libqt6printsupport6 fonts-liberation2; do
    grep -q "$p" <<<"$depends" || { echo "the package does not depend on $p"; exit 1; }
done
for f in ./usr/bin/pelkorl ./usr/bin/pelkorl-print ./usr/share/applications/pelkorl.desktop \
         ./usr/share/man/man1/pelkorl-print.1; do
    grep -q " $f\$" <<<"$listing" || { echo "not in the package: $f"; exit 1; }
done
