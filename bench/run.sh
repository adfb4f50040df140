#!/usr/bin/env bash
# Runs every benchmark of a build folder and prints one table of their figures (Markdown).
# The raw results stay in BUILD_FOLDER/bench-results/ (one JSON and one CSV per program).
set -euo pipefail

BUILD=${1:?usage: bench/run.sh BUILD_FOLDER [benchmark options]}
shift
OUT=$BUILD/bench-results
mkdir -p "$OUT"
rm -f "$OUT"/*.csv "$OUT"/*.json "$OUT"/*.log

status=0
found=0
for program in "$BUILD"/bench/*_bench; do
    [ -x "$program" ] || continue
    found=1
    name=$(basename "$program")
    echo "running $name ..." >&2
    if ! "$program" --benchmark_format=csv --benchmark_out="$OUT/$name.json" \
        --benchmark_out_format=json "$@" >"$OUT/$name.csv" 2>"$OUT/$name.log"; then
        echo "$name failed:" >&2
        cat "$OUT/$name.log" >&2
        status=1
    fi
done
[ "$found" = 1 ] || { echo "no benchmarks in $BUILD/bench" >&2; exit 1; }

echo
echo "Benchmarks on $(nproc) cores, $(date +%F); times per iteration:"
echo
# CSV columns: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,
# items_per_second,label,error_occurred,error_message
awk -F, '
    function unquote(s) { gsub(/^"|"$/, "", s); return s }
    function num(v) { return sprintf(v >= 100 ? "%.0f" : v >= 10 ? "%.1f" : "%.2f", v) }
    function rate(s) {
        if (s == "") return ""
        if (s >= 1e6) return sprintf("%.2f M/s", s / 1e6)
        if (s >= 1e3) return sprintf("%.1f k/s", s / 1e3)
        return sprintf("%.1f /s", s)
    }
    BEGIN {
        print "| program | benchmark | wall time | CPU time | iterations | items |"
        print "|---|---|---:|---:|---:|---:|"
    }
    FNR == 1 { program = FILENAME; sub(/^.*\//, "", program); sub(/\.csv$/, "", program); next }
    {
        name = unquote($1)
        if ($9 == "true") {
            printf "| %s | %s | failed: %s | | | |\n", program, name, unquote($10)
            failed = 1
            next
        }
        printf "| %s | %s | %s %s | %s %s | %d | %s |\n", program, name, num($3), $5, num($4), $5, $2, rate($7)
    }
    END { exit failed }' "$OUT"/*.csv || status=1
exit "$status"
