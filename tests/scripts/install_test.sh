#!/usr/bin/env bash
# The install: `cmake --install` into a temporary prefix puts the programs, the desktop entry,
# the metainfo, the icons, the man pages and the copyright in place; CPack builds a .deb of
# them whose dependencies are Debian packages. What the package holds is checked as a user
# gets it: lintian finds no error or warning, the desktop entry and the metainfo validate,
# the man pages read without a markup warning, the programs answer --version and --help with
# no display, and the dialogs' sans-serif font is one. $1 is the build folder.
set -euo pipefail
build=$(cd "${1:?usage: install_test.sh BUILD_FOLDER}" && pwd)
prefix=$(mktemp -d)
root=$(mktemp -d)
trap 'rm -rf "$prefix" "$root" "$build/package-test"' EXIT
fail() { echo "$*"; exit 1; }

app=org.pelkorl.pelkorl
files="bin/pelkorl bin/pelkorl-print bin/pelkorl-sample share/applications/$app.desktop
       share/metainfo/$app.metainfo.xml share/icons/hicolor/48x48/apps/pelkorl.png
       share/icons/hicolor/scalable/apps/pelkorl.svg share/man/man1/pelkorl.1.gz
       share/man/man1/pelkorl-print.1.gz share/man/man1/pelkorl-sample.1.gz
       share/doc/pelkorl/copyright share/doc/pelkorl/changelog.gz"

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in $files; do
    [ -s "$prefix/$f" ] || fail "not installed: $f"
done
# The stand-in form's maker is built with the program but is a tool of the checkout.
[ ! -e "$prefix/bin/pelkorl-standin-form" ] || fail "installed: bin/pelkorl-standin-form"

# The package, into a folder of its own so nothing is left in the build folder.
mkdir -p "$build/package-test"
(cd "$build" && cpack -B "$build/package-test" >/dev/null)
deb=$(ls "$build"/package-test/pelkorl_*.deb)
listing=$(dpkg-deb -c "$deb")
printf '%s\n' "$listing"
for f in $files; do
    grep -q " ./usr/$f\$" <<<"$listing" || fail "not in the package: /usr/$f"
done
dpkg-deb -f "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6printsupport6 fonts-liberation2 fonts-dejavu-core; do
    grep -q "$p" <<<"$depends" || fail "the package does not depend on $p"
done
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -x "$deb" "$root"
usr=$root/usr

if command -v lintian >/dev/null; then
    # Errors and warnings fail; so does a hardening tag (shown as info) where the build has
    # the hardening flags.
    report=$(lintian --pedantic --display-info "$deb" 2>&1 || true)
    printf '%s\n' "$report"
    ! grep -E '^[EW]: ' <<<"$report" || fail "lintian reports errors or warnings"
    if grep -q '^PELKORL_HARDENED:INTERNAL=ON' "$build/CMakeCache.txt"; then
        ! grep -E 'hardening-no-' <<<"$report" || fail "the programs lack hardening flags"
    fi
fi
desktop-file-validate "$usr/share/applications/$app.desktop"
if command -v appstreamcli >/dev/null; then
    # The project's web address is not asked: the test runs without a network.
    appstreamcli validate --pedantic --no-net "$usr/share/metainfo/$app.metainfo.xml"
fi
metainfo=$usr/share/metainfo/$app.metainfo.xml
grep -q "<id>$app</id>" "$metainfo" || fail "the metainfo's id is not $app"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $app.desktop"
# The newest release named everywhere is the package's version.
grep -m1 '<release ' "$metainfo" | grep -q "version=\"$version\"" ||
    fail "the metainfo's newest release is not $version"
changelog=$(zcat "$usr/share/doc/pelkorl/changelog.gz" | head -n 1)
[[ $changelog == "pelkorl ($version) "* ]] || fail "the changelog starts with: $changelog"
if command -v man >/dev/null; then
    for page in pelkorl pelkorl-print pelkorl-sample; do
        # man reports mistakes of the page's markup on stderr; the pages hold Lithuanian
        # letters, which an ASCII locale cannot show.
        ! LC_ALL=C.UTF-8 man -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null | grep . ||
            fail "the man page of $page has markup mistakes"
    done
fi

# Without a display, as on a terminal of a server or over ssh.
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
for program in pelkorl pelkorl-print pelkorl-sample; do
    answer=$(bare "$usr/bin/$program" --help) || fail "$program --help failed"
    [[ $answer == "Usage: $program "* ]] || fail "$program --help says: $answer"
done
for program in pelkorl pelkorl-print; do
    answer=$(bare "$usr/bin/$program" --version) || fail "$program --version failed"
    [ "$answer" = "$program $version" ] || fail "$program --version says: $answer"
done
status=0
bare "$usr/bin/pelkorl" --no-such-option >/dev/null 2>"$root/usage" || status=$?
[ "$status" = 2 ] || fail "pelkorl with an unknown option exits with $status, not 2"
grep -q "^Usage: pelkorl " "$root/usage" || fail "pelkorl with an unknown option shows no usage"

# The face the dialogs get when they ask for the toolkit's "Sans Serif": a proportional one.
if command -v fc-match >/dev/null; then
    face=$(fc-match -f '%{family[0]}|%{spacing}' 'Sans Serif')
    echo "Sans Serif: $face"
    [[ $face != *Mono* && $face != *'|100' && ($face != *Serif* || $face == *Sans*) ]] ||
        fail "the dialogs' sans-serif font is $face"
fi
