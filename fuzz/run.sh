#!/usr/bin/env bash
# Runs the fuzz targets of a build folder one after another and fails when any of them
# finds a crash, a leak, undefined behaviour or a broken property.
#
#   fuzz/run.sh BUILD SECONDS [TARGET...]   each target for SECONDS seconds
#   FUZZ_RUNS=N fuzz/run.sh BUILD 0 ...     each target for N executions instead
#
# The corpus grows in BUILD/fuzz/corpus/<target>/ (the seeds stay in BUILD/fuzz/seeds/),
# crash inputs land in BUILD/fuzz/artifacts/<target>/ and logs in BUILD/fuzz/logs/.
# Reproduce a crash with: BUILD/fuzz/<target>_fuzz BUILD/fuzz/artifacts/<target>/crash-...
set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 BUILD SECONDS [TARGET...]" >&2
    exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(publisher extension remarks layout settings inchentry dates form truetype)
fi
fuzz="$build/fuzz"

# Largest input per target: room for the biggest files the readers meet (two full
# publisher files, 601 extension records, a layout with a tail, the stand-in form, a font).
max_len() {
    case $1 in
        publisher) echo 212000 ;;
        extension) echo 120000 ;;
        remarks) echo 120000 ;;
        layout) echo 1024 ;;
        settings) echo 8192 ;;
        inchentry) echo 64 ;;
        dates) echo 256 ;;
        form) echo 65536 ;;
        truetype) echo 524288 ;;
        *) echo 4096 ;;
    esac
}

symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1${symbolizer:+:external_symbolizer_path=$symbolizer}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
mkdir -p "$fuzz/logs"
for target in "${targets[@]}"; do
    binary="$fuzz/${target}_fuzz"
    if [ ! -x "$binary" ]; then
        echo "$target: no fuzz target $binary" >&2
        failed+=("$target")
        continue
    fi
    corpus="$fuzz/corpus/$target"
    artifacts="$fuzz/artifacts/$target"
    log="$fuzz/logs/$target.log"
    mkdir -p "$corpus" "$artifacts"
    if [ -n "${FUZZ_RUNS:-}" ]; then
        limit=(-runs="$FUZZ_RUNS")
    else
        limit=(-max_total_time="$seconds")
    fi
    "$binary" "${limit[@]}" -max_len="$(max_len "$target")" -timeout=25 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$corpus" "$fuzz/seeds/$target" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    time=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o 'in [0-9]*' | tail -n 1)
    if [ $status -eq 0 ]; then
        echo "$target: ${runs:-?} executions ${time:+$time s}, no fault"
    else
        echo "$target: FAILED (exit $status) after ${runs:-?} executions; log $log"
        grep -E -A 30 'ERROR: |fuzz check failed|runtime error' "$log" | head -n 60
        ls "$artifacts" | sed 's/^/  artifact: /'
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
