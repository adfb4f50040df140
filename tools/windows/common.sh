# Shared by the scripts that build Windows libraries from Debian's sources into a cache:
# the cache folder, the deb-src entry, the build packages and the stamp that marks a cache
# as whole.
set -euo pipefail

PELKORL_WIN_CACHE=${PELKORL_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pelkorl}
SUDO=$([ "$(id -u)" = 0 ] || echo sudo)
JOBS=${JOBS:-$(nproc)}
# A build folder's name is new each time; ccache finds its earlier work by the paths under it.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PELKORL_WIN_CACHE}

say() { echo "[$(basename "$0")] $*"; }

# Installs the named Debian packages that are missing.
need_debs() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' ||
            missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        say "installing ${missing[*]}"
        $SUDO apt-get update -q
        $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
            "${missing[@]}"
    fi
}

# apt-get source needs a deb-src entry; Debian 12 images often have none.
ensure_deb_src() {
    if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    say "adding a deb-src entry for Debian's archive"
    $SUDO tee /etc/apt/sources.list.d/pelkorl-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $SUDO apt-get update -q
}

# Unpacks Debian's source package $1 (with Debian's patches) into folder $2 and prints the
# path of the unpacked tree; ends the script when its upstream version is not $3.
fetch_source() {
    local package=$1 dir=$2 version=$3
    ensure_deb_src >&2
    (cd "$dir" && apt-get source -q "$package" >&2)
    local tree
    tree=$(find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n1)
    case "$(basename "$tree")" in
    "$package-$version"*) ;;
    *) say "Debian's $package source is $(basename "$tree"), not version $version" >&2; exit 1 ;;
    esac
    echo "$tree"
}

# A cache is used only when its stamp holds the hash of what built it; a cache without one
# was left half-built.
stamp_of() { printf '%s\n' "$@" | sha256sum | cut -d' ' -f1; }

cache_is_current() { # folder stamp
    [ -f "$1/.pelkorl-stamp" ] && [ "$(cat "$1/.pelkorl-stamp")" = "$2" ]
}

# Moves the finished install in $1 into place as $2 with stamp $3.
install_cache() {
    local from=$1 to=$2 stamp=$3
    echo "$stamp" >"$from/.pelkorl-stamp"
    rm -rf "$to"
    mv "$from" "$to"
}
