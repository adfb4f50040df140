#!/usr/bin/env bash
# Runs the cross-built core tests (build folder $1, made with cmake/mingw-w64-x86_64.cmake)
# under Wine, in a Wine prefix of that folder, and prints one summary line:
#   windows: N passed, M failed, K skipped
# followed by the reason of every skipped test. Ends non-zero on any failure.
set -uo pipefail
build=$(cd "${1:?usage: run.sh BUILD_FOLDER}" && pwd)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
# Wine must not look for a display or ask to install anything.
unset DISPLAY WAYLAND_DISPLAY
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || { echo "windows: wineboot failed" >&2; exit 1; }
fi

cd "$build" || exit 1
ctest -j "$(nproc)" --output-on-failure
status=$?

log="$build/Testing/Temporary/LastTest.log"
passed=$(grep -hoE '^\[  PASSED  \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
failed=$(grep -hoE '^\[  FAILED  \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
skipped=$(grep -hoE '^\[  SKIPPED \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
echo "windows: $passed passed, $failed failed, $skipped skipped"
# A skipped test says why on the line after "Skipped".
grep -hA1 ': Skipped$' "$log" | grep -vE ': Skipped$|^--$' | sort | uniq -c | sed 's/^/  skipped: /'
if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ] || [ "$passed" -eq 0 ]; then
    exit 1
fi
