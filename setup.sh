#!/bin/sh
# The first step on a fresh Debian 12: installs make (as root, or through sudo) when it is
# missing, then runs `make` with the arguments given, which installs the rest of what that
# target needs. `sh setup.sh run`, `sh setup.sh test`, `sh setup.sh test QUICK=1`.
set -eu
cd "$(dirname "$0")"
if ! command -v make >/dev/null 2>&1; then
    if [ "$(id -u)" = 0 ]; then
        sudo=
    elif command -v sudo >/dev/null 2>&1; then
        sudo=sudo
    else
        echo "setup.sh: make is missing and installing it needs root (or sudo)" >&2
        exit 1
    fi
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends make
fi
exec make "$@"
