#!/usr/bin/env bash
# End to end, as a user meets the program: the real pelkorl binary in its own X server,
# driven with xdotool, printing through its own CUPS scheduler onto a cups-pdf queue.
#
#   1. No printer: Enter shows "No Printer" (read back from the box's pixels) and makes
#      no document; Esc closes, cplot.dat is written and no settings file appears.
#   2. A cups-pdf queue as the default printer: the first publisher, some month boxes and
#      "Spausdinti antraštę" ticked, Enter prints one page named "Card Header". cups-pdf
#      re-renders the page through Ghostscript, so its words cannot be read back: its ink is
#      compared with the same card printed through QPrinter's own PDF output by
#      pelkorl-e2e-card, and that PDF is checked word by word at the layout's positions.
#   3. Held queues of cups-filters' CM305 (trays, media types, 11 pt margins) and Ricoh (wider
#      margins) PPDs: pelkorl-e2e-setup runs the real setup dialog, picking the Ricoh, then
#      the CM305 with its manual feeder, heavyweight card stock and a 4x6 in custom page, and
#      reopens it; the print's job carries them (ipptool) and its name stands at the layout's
#      position from the CM305's printable-area corner (pdftotext -bbox). A queue rejecting
#      jobs and a removed one give their messages and no job. pelkorl-print --printer -O
#      sends the same options; a wrong command line, an unknown option and no queue are told.
#      Asked for Letter (-O PageSize= or -O media=), it sends a Letter document to the A4 queue.
#      The 11/23 card with its layout from a stand-in fillable form lands in the form's boxes
#      on the CM305's A4 (11.62 pt margins).
#   4. The held Ricoh queue (Letter, 18 and 36 pt margins) as the default printer: the job of
#      pelkorl-print --printer and that of Enter in the program are Letter documents on Letter
#      media, the name at its layout position from the Letter printable-area corner.
# Between 1 and 2, the program given a data file instead of the folder names it in a box and
# ends with status 2, writing nothing.
#
# Usage: e2e_test.sh BUILD_FOLDER. Needs root (the cups-pdf backend runs only as root) and
# the packages of `make deps`. Screenshots and page images go to BUILD_FOLDER/artifacts.
# PELKORL_E2E_KEEP=1 keeps the temporary folder with its logs; PELKORL_E2E_TIMEOUT sets the
# seconds of each wait (30).
set -euo pipefail

BUILD=$(cd "${1:?usage: e2e_test.sh BUILD_FOLDER}" && pwd)
PROGRAM=$BUILD/pelkorl
SAMPLE=$BUILD/pelkorl-sample
CARD=$BUILD/tests/e2e/pelkorl-e2e-card
SETUP_TOOL=$BUILD/tests/e2e/pelkorl-e2e-setup
PRINT_TOOL=$BUILD/pelkorl-print
SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
STANDIN_TOOL=$BUILD/pelkorl-standin-form
# Debian's own Python, which has pypdf.
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=python3
ARTIFACTS=$BUILD/artifacts
TIMEOUT=${PELKORL_E2E_TIMEOUT:-30}
PPD_SOURCE=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
STARTED=$SECONDS
. "$SCRIPTS/cupspdf.sh"

# ---- Reporting

T=""
note() { echo "e2e: $*"; }
dump() {
    local file
    for file in "$@"; do
        if [ -s "$file" ]; then
            echo "---- last lines of $file" >&2
            tail -n 25 "$file" >&2
        fi
    done
}
fail() {
    echo "e2e: FAIL: $*" >&2
    if [ -n "$T" ]; then
        dump "$T"/*/program.log "$T/xvfb.log" "$T/cups/log/error_log" "${CUPS_PDF_LOG:-}"
    fi
    exit 1
}

if [ "$(id -u)" != 0 ]; then
    [ "${CI:-}" = true ] && fail "CI must run this test as root"
    echo "e2e: SKIP: the cups-pdf backend only runs for root; run the tests as root"
    exit 77
fi
for tool in Xvfb xdotool xprop import convert identify cupsd lpadmin lpstat \
    pdftoppm pdftotext pdfinfo gs tesseract ipptool cupsdisable cupsreject; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run 'make deps'"
done
for file in "$PROGRAM" "$SAMPLE" "$CARD" "$SETUP_TOOL" "$PRINT_TOOL" "$STANDIN_TOOL"; do
    [ -x "$file" ] || fail "$file is not built"
done
[ -r "$PPD_SOURCE" ] && [ -x /usr/lib/cups/backend/cups-pdf ] ||
    fail "cups-pdf is missing: run 'make deps'"
CM305_PPD=/usr/share/ppd/cupsfilters/Fuji_Xerox-DocuPrint_CM305_df-PDF.ppd
RICOH_PPD=/usr/share/ppd/cupsfilters/Ricoh-PDF_Printer-PDF.ppd
[ -r "$CM305_PPD" ] && [ -r "$RICOH_PPD" ] || fail "cups-filters' PPDs are missing: run 'make deps'"
"$PYTHON" -c 'import pypdf' 2>/dev/null || fail "python3-pypdf is missing: run 'make deps'"

# ---- Everything this test starts or leaves, undone whatever the outcome

T=$(mktemp -d /tmp/pelkorl-e2e.XXXXXX)
PROGRAM_PID="" XVFB_PID="" CUPSD_PID="" SETUP_PID=""
QUEUE=pelkorl-e2e-$$
OUTPUTS=()
CUPS_PDF_OUT="" CUPS_PDF_OUT_MADE=0 CUPS_PDF_LOG=""

stop() {
    local pid=$1 _
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
cleanup() {
    local status=$? file
    trap - EXIT INT TERM
    stop "$PROGRAM_PID"
    stop "$SETUP_PID"
    stop "$CUPSD_PID"
    stop "$XVFB_PID"
    for file in "${OUTPUTS[@]}"; do
        rm -f "$file"
    done
    if [ "$CUPS_PDF_OUT_MADE" = 1 ]; then
        rmdir "$CUPS_PDF_OUT" 2>/dev/null || true
    fi
    [ -n "$CUPS_PDF_LOG" ] && rm -f "$CUPS_PDF_LOG"
    if [ -n "${PELKORL_E2E_KEEP:-}" ]; then
        note "kept $T"
    else
        rm -rf "$T"
    fi
    if [ "$status" = 0 ]; then
        note "passed in $((SECONDS - STARTED)) s"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# ---- A private home, so nothing of the user's or the machine's settings takes part

export HOME=$T/home XDG_CONFIG_HOME=$T/home/.config XDG_CACHE_HOME=$T/home/.cache
export XDG_DATA_HOME=$T/home/.local/share XDG_RUNTIME_DIR=$T/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
unset PRINTER LPDEST SESSION_MANAGER
mkdir -p "$ARTIFACTS"

# The calendar month decides which month boxes are enabled: read it once, check at the end.
TODAY=$(date +%F)
MONTH=$(date -d "$TODAY" +%-m)
YEAR=$(date -d "$TODAY" +%Y)
SAMPLE_YEAR=$((MONTH >= 10 ? YEAR + 1 : YEAR))
LAST_MONTH=$((MONTH == 1 ? 11 : MONTH - 2))
ROWS_DONE=$((LAST_MONTH > 7 ? LAST_MONTH - 7 : LAST_MONTH + 5))

# ---- X server

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1 &
XVFB_PID=$!
wait_until "the X server" test -s "$T/display"
DISPLAY=:$(head -n 1 "$T/display")
export DISPLAY
note "X server on $DISPLAY"

# ---- CUPS scheduler with its own folders, listening on its own socket only

start_cups "$T"
C=$T/cups
note "CUPS scheduler on $CUPS_SERVER"

cups_pdf_output "$QUEUE"

# ---- Driving the main dialog

# start_program NAME: a fresh sample data folder and a copy of the binary in a writable
# folder of its own (so a settings file would be written beside it), started in the data
# folder. Sets RUN, DATA, BIN_DIR, PROGRAM_PID and WINDOW.
start_program() {
    RUN=$T/$1
    DATA=$RUN/data
    BIN_DIR=$RUN/bin
    mkdir -p "$DATA" "$BIN_DIR"
    "$SAMPLE" --year "$SAMPLE_YEAR" "$DATA" >/dev/null
    cp "$PROGRAM" "$BIN_DIR/pelkorl"
    (cd "$DATA" && exec env QT_QPA_PLATFORM=xcb "$BIN_DIR/pelkorl") >"$RUN/program.log" 2>&1 &
    PROGRAM_PID=$!
    WINDOW=$(timeout "$TIMEOUT" xdotool search --sync --onlyvisible --name '^Pelkorl - ' |
        head -n 1) || true
    [ -n "$WINDOW" ] || fail "the main dialog did not appear within ${TIMEOUT} s"
    xdotool windowfocus --sync "$WINDOW"
}

# The visible window titled exactly "Pelkorl" that belongs to the main dialog.
message_box() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Pelkorl$' 2>/dev/null); do
        if xprop -id "$id" WM_TRANSIENT_FOR 2>/dev/null | grep -qi "$(printf '0x%x' "$WINDOW")"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
no_message_box() { ! message_box >/dev/null; }
program_ended() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }

# close_program: Esc, as a user would; the program must end by itself, successfully.
close_program() {
    local status=0
    kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended before it was closed"
    xdotool windowfocus --sync "$WINDOW"
    xdotool key Escape
    wait_until "the program to end after Esc" program_ended
    wait "$PROGRAM_PID" || status=$?
    PROGRAM_PID=""
    [ "$status" = 0 ] || fail "the program ended with status $status"
}

# check_files_after_close: the layout file was written, no settings file appeared.
check_files_after_close() {
    local size extra
    [ -f "$DATA/cplot.dat" ] || fail "cplot.dat was not written in the data folder"
    size=$(stat -c %s "$DATA/cplot.dat")
    [ "$size" = 400 ] || fail "cplot.dat holds $size bytes, not 400"
    extra=$(find "$BIN_DIR" -mindepth 1 ! -name pelkorl)
    [ -z "$extra" ] || fail "files appeared beside the executable: $extra"
    extra=$(find "$XDG_CONFIG_HOME" -mindepth 1 -iname '*pel*')
    [ -z "$extra" ] || fail "files appeared in the user's settings folder: $extra"
}

# Dialog units to pixels, as the dialog builder places controls: half away from zero.
px() { echo $((($1 * BX + 2) / 4)); }
py() { echo $((($1 * BY + 4) / 8)); }
# The dialog is 477 x 263 units; its size in pixels gives back the font's base units.
measure_dialog() {
    local geometry width height
    geometry=$(xdotool getwindowgeometry --shell "$WINDOW")
    width=$(echo "$geometry" | sed -n 's/^WIDTH=//p')
    height=$(echo "$geometry" | sed -n 's/^HEIGHT=//p')
    BX=$(((8 * width + 477) / 954))
    BY=$(((16 * height + 263) / 526))
    [ "$(px 477)" = "$width" ] && [ "$(py 263)" = "$height" ] ||
        fail "the main dialog is ${width}x$height pixels, which no whole base units give"
}
# click_box X Y W H: a click inside the box's mark (its left end, halfway down).
click_box() {
    local x y
    x=$(($(px "$1") + $(px 8) / 2))
    y=$(($(py "$2") + $(py "$4") / 2))
    xdotool mousemove --window "$WINDOW" "$x" "$y" click 1
}
MONTH_ROW_Y=(85 95 104 113 122 131 140 150 159 168 178 187)

# ---- Scenario 1: no printer

note "scenario 1: no printer configured"
[ -z "$(lpstat -v 2>/dev/null)" ] || fail "the private scheduler already has a queue"
MARK=$T/mark-1
touch "$MARK"
start_program no-printer
xdotool key Return
wait_until "a message box after Enter without a printer" message_box
BOX=$(message_box)
import -window "$BOX" "$RUN/box.png"
convert "$RUN/box.png" -resize 300% -colorspace Gray "$RUN/box-large.png"
BOX_TEXT=$(tesseract "$RUN/box-large.png" - 2>/dev/null | tr -s '[:space:]' ' ')
import -window root "$ARTIFACTS/e2e-no-printer.png"
echo "$BOX_TEXT" | grep -q 'No Printer' ||
    fail "the message box does not read \"No Printer\" (read: '$BOX_TEXT')"
[ -z "$(lpstat -W all -o 2>/dev/null)" ] || fail "a job reached the scheduler without a printer"
[ -z "$(spooled_files "$MARK")" ] || fail "a document was made without a printer"
xdotool windowfocus --sync "$BOX"
xdotool key Return
wait_until "the message box to close" no_message_box
close_program
check_files_after_close
note "scenario 1 passed: \"No Printer\" shown, nothing printed, cplot.dat written"

# A data file given where the data folder belongs (a file manager's "open with"): a box names
# it, OK ends the program with status 2, and nothing is written anywhere.
note "scenario 1b: a file as the argument"
snapshot() { find "$RUN" "$XDG_CONFIG_HOME" -printf '%p %s %T@\n' | sort; }
BEFORE=$(snapshot)
(cd "$DATA" && exec env QT_QPA_PLATFORM=xcb "$BIN_DIR/pelkorl" tdat7.bin) >"$T/file-argument.log" 2>&1 &
PROGRAM_PID=$!
file_box() {
    local id
    id=$(xdotool search --onlyvisible --pid "$PROGRAM_PID" --name '^Pelkorl$' 2>/dev/null | head -n 1)
    [ -n "$id" ] && echo "$id"
}
wait_until "a message box for a file argument" file_box
BOX=$(file_box)
import -window "$BOX" "$T/file-box.png"
convert "$T/file-box.png" -resize 300% -colorspace Gray "$T/file-box-large.png"
BOX_TEXT=$(tesseract "$T/file-box-large.png" - 2>/dev/null | tr -s '[:space:]' ' ')
echo "$BOX_TEXT" | grep -q 'tdat7\.bin.*failas' ||
    fail "the box for a file argument does not name it (read: '$BOX_TEXT')"
xdotool windowfocus --sync "$BOX"
xdotool key Return
wait_until "the program to end after the box" program_ended
status=0
wait "$PROGRAM_PID" || status=$?
PROGRAM_PID=""
[ "$status" = 2 ] || fail "a file argument ended the program with status $status, not 2"
[ "$(snapshot)" = "$BEFORE" ] || fail "a file argument changed files: $(diff <(echo "$BEFORE") <(snapshot))"
note "scenario 1b passed: '$BOX_TEXT', status 2, nothing written"

# ---- Scenario 2: a cups-pdf queue as the default printer

note "scenario 2: printing on a cups-pdf queue"
lpadmin -p "$QUEUE" -E -v cups-pdf:/ -P "$PPD_SOURCE" 2>"$T/lpadmin.err" ||
    fail "lpadmin could not add the queue: $(cat "$T/lpadmin.err")"
lpadmin -d "$QUEUE"
[ "$(lpstat -d)" = "system default destination: $QUEUE" ] || fail "the queue is not the default"

# The paper and imageable area the queue reports (PostScript points, origin bottom left).
PPD=$C/ppd/$QUEUE.ppd
PAPER=$(sed -n 's/^\*DefaultPageSize:[[:space:]]*//p' "$PPD" | tr -d '\r')
read -r PAGE_W PAGE_H < <(sed -n "s/^\*PaperDimension ${PAPER}[/:][^\"]*\"\([^\"]*\)\".*/\1/p" "$PPD") || true
read -r LLX LLY URX URY < <(sed -n "s/^\*ImageableArea ${PAPER}[/:][^\"]*\"\([^\"]*\)\".*/\1/p" "$PPD") || true
[ -n "${PAGE_H:-}" ] && [ -n "${URY:-}" ] || fail "no size or imageable area for $PAPER in $PPD"
MARGINS=$(awk -v w="$PAGE_W" -v h="$PAGE_H" -v a="$LLX" -v b="$LLY" -v c="$URX" -v d="$URY" \
    'BEGIN { printf "%g %g %g %g", a, h - d, w - c, b }')
note "the queue reports $PAPER paper, $PAGE_W x $PAGE_H pt, margins (l t r b) $MARGINS pt"

MARK=$T/mark-2
touch "$MARK"
start_program print
measure_dialog
# Even rows of the months already reported are ticked, odd ones stay empty.
TICKED=()
for ((row = 0; row < ROWS_DONE; row += 2)); do
    TICKED+=("$row")
    click_box 462 "${MONTH_ROW_Y[row]}" 8 8
done
# A month box unticks "Spausdinti antraštę"; the header is wanted as well.
click_box 335 60 77 10
ROWS=$(
    IFS=,
    echo "${TICKED[*]}"
)
import -window root "$ARTIFACTS/e2e-main-dialog.png"
xdotool key Return

# Done when the scheduler says so; a message box or a stopped queue ends the wait at once.
job_done() {
    if message_box >/dev/null; then
        import -window "$(message_box)" "$ARTIFACTS/e2e-unexpected-box.png"
        fail "a message box appeared instead of a print (see $ARTIFACTS/e2e-unexpected-box.png)"
    fi
    lpstat -p "$QUEUE" 2>/dev/null | grep -q disabled && fail "the queue stopped: the job failed"
    [ -n "$(lpstat -W completed -o "$QUEUE" 2>/dev/null)" ]
}
wait_until "the print job to complete" job_done
JOBS=$(lpstat -W all -o "$QUEUE")
[ "$(echo "$JOBS" | wc -l)" = 1 ] || fail "one Enter made more than one job: $JOBS"
JOB=$(echo "$JOBS" | awk '{ print $1 }')
JOB=${JOB##*-}
PAGE_LOG=$(awk -v j="$JOB" '$1 == j && $2 == "total"' "$C/log/page_log")
JOB_NAME=$(echo "$PAGE_LOG" | cut -d' ' -f4-)
[ "$JOB_NAME" = "Card Header" ] || fail "the job is named '$JOB_NAME', not 'Card Header'"
spooled_output() { [ -n "$(spooled_files "$MARK")" ]; }
wait_until "cups-pdf's file in $CUPS_PDF_OUT" spooled_output
mapfile -t SPOOLED < <(spooled_files "$MARK")
OUTPUTS+=("${SPOOLED[@]}")
[ "${#SPOOLED[@]}" = 1 ] || fail "cups-pdf wrote ${#SPOOLED[@]} files: ${SPOOLED[*]}"
case $(basename "${SPOOLED[0]}") in
Card_Header*-job_"$JOB".pdf) ;;
*) fail "cups-pdf's file ${SPOOLED[0]} is not named after the job 'Card Header', job $JOB" ;;
esac
cp "${SPOOLED[0]}" "$RUN/spooled.pdf"
pdfinfo "$RUN/spooled.pdf" >"$RUN/spooled.info"
grep -q '^Pages:[[:space:]]*1$' "$RUN/spooled.info" ||
    fail "the spooled PDF does not hold exactly one page: $(grep '^Pages' "$RUN/spooled.info")"
grep -q '^Title:.*Card Header' "$RUN/spooled.info" || fail "the spooled PDF's title is not 'Card Header'"
note "job $JOB 'Card Header': one page in ${SPOOLED[0]}"

close_program
check_files_after_close

# ---- The same card through QPrinter's own PDF output, on the queue's paper and margins

"$CARD" --folder "$DATA" --date "$TODAY" --sample-year "$SAMPLE_YEAR" --rows "$ROWS" \
    --page-pt "$PAGE_W" "$PAGE_H" --margins-pt $MARGINS \
    --out "$RUN/reference.pdf" --expect "$RUN/expected.txt" >"$RUN/card.log" 2>&1 ||
    fail "pelkorl-e2e-card failed: $(cat "$RUN/card.log")"

# ---- Ink: the spooled page against the reference.
result=$(same_ink "$RUN/spooled.pdf" "$RUN/reference.pdf" "$RUN" "$ARTIFACTS/e2e") ||
    fail "the spooled card is not the program's: $result"
note "spooled and reference: $result"

# ---- Words of the program's own PDF at the positions the layout and margins give
pdftotext -bbox "$RUN/reference.pdf" "$RUN/words.html"
awk -v tolerance=0.5 '
    function unescape(s) {
        gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s)
        gsub(/&apos;/, "\047", s); gsub(/&amp;/, "\\&", s)
        return s
    }
    function near(a, b) { return a - b <= tolerance && b - a <= tolerance }
    FNR == NR {
        if ($0 ~ /<word /) {
            n++
            split($0, f, "\"")
            x0[n] = f[2] + 0; y0[n] = f[4] + 0; x1[n] = f[6] + 0
            t = $0; sub(/^[^>]*>/, "", t); sub(/<\/word>.*$/, "", t)
            text[n] = unescape(t)
        }
        next
    }
    /^#/ { next }
    $1 == "E" {
        for (i = 1; i <= n; i++)
            if (y0[i] > $2 - 0.25 && y0[i] < $3 - 0.25) {
                printf "unexpected \"%s\" at (%.2f, %.2f) in the empty band %s-%s pt\n", text[i], x0[i], y0[i], $2, $3
                bad++
            }
        next
    }
    {
        anchor = $1; x = $2; y = $3
        want = $0; sub(/^[^ ]+ [^ ]+ [^ ]+ /, "", want)
        words = split(want, w, " ")
        found = 0
        for (i = 1; i <= n && !found; i++) {
            if (!near(y0[i], y)) continue
            if (anchor == "R") { if (text[i] == want && near(x1[i], x)) found = 1; continue }
            if (text[i] != w[1] || !near(x0[i], x)) continue
            # the following words, in order along the same line
            at = x1[i]; ok = 1
            for (k = 2; k <= words && ok; k++) {
                next_i = 0
                for (j = 1; j <= n; j++)
                    if (near(y0[j], y) && x0[j] > at && (!next_i || x0[j] < x0[next_i])) next_i = j
                if (!next_i || text[next_i] != w[k]) ok = 0; else at = x1[next_i]
            }
            found = ok
        }
        if (!found) {
            printf "missing \"%s\" %s at (%s, %s) pt\n", want, anchor == "R" ? "ending" : "starting", x, y
            bad++
        }
        checked++
    }
    END {
        if (!n) { print "no words in the PDF"; exit 1 }
        printf "%d texts checked at their positions, %d words on the page\n", checked, n
        exit bad ? 1 : 0
    }' "$RUN/words.html" "$RUN/expected.txt" >"$RUN/words.txt" ||
    fail "words of the program's PDF: $(cat "$RUN/words.txt")"
note "words: $(tail -n 1 "$RUN/words.txt")"

# ---- Scenario 3: real printers picked in the setup dialog, their jobs held in the spool

note "scenario 3: the printer setup on held CM305 and Ricoh queues"
CM305=pelkorl-cm305-$$
RICOH=pelkorl-ricoh-$$
for queue in "$CM305:$CM305_PPD" "$RICOH:$RICOH_PPD"; do
    # Stopped queues keep their jobs; the cups-pdf backend is never reached.
    lpadmin -p "${queue%%:*}" -E -v cups-pdf:/ -P "${queue#*:}" 2>"$T/lpadmin.err" ||
        fail "lpadmin could not add ${queue%%:*}: $(cat "$T/lpadmin.err")"
    cupsdisable "${queue%%:*}"
done
RUN=$T/setup
DATA=$RUN/data
mkdir -p "$DATA"
"$SAMPLE" --year "$SAMPLE_YEAR" "$DATA" >/dev/null
coproc SETUP {
    cd "$DATA" && exec env QT_QPA_PLATFORM=xcb TMPDIR="$RUN" "$SETUP_TOOL" --folder "$DATA" --date "$TODAY" \
        --first "$RICOH" --pick "$CM305" --tray "Manual Feeder" --media "Heavyweight Cardstock" \
        --page-in 4 6 2>"$RUN/setup.log"
}
SETUP_PID=$SETUP_PID
# ask COMMAND EXPECTED: one command to the setup's hands, its one-line answer compared.
ask() {
    local answer=""
    echo "$1" >&"${SETUP[1]}"
    read -r -t "$((TIMEOUT * 2))" answer <&"${SETUP[0]}" || fail "no answer to '$1' (see $RUN/setup.log)"
    [ "$answer" = "$2" ] || fail "'$1' answered '$answer', not '$2'"
}
jobs_of() { lpstat -o "$1" 2>/dev/null | awk '{ print $1 }' | sed 's/.*-//'; }
# attribute JOB NAME: the value ipptool reads from the held job.
attribute() {
    ipptool -tv "ipp://${CUPS_SERVER//\//%2F}/jobs/$1" get-job-attributes.test 2>/dev/null |
        sed -n "s/^ *$2 ([^)]*) = //p"
}
# name_at PDF PAGE_W PAGE_H MARGINS: the first publisher's name must stand at its layout
# position counted from the printable-area corner of those margins (l t r b, pt).
name_at() {
    local pdf=$1 w=$2 h=$3 expected
    shift 3
    "$CARD" --folder "$DATA" --date "$TODAY" --sample-year "$SAMPLE_YEAR" --rows "" \
        --page-pt "$w" "$h" --margins-pt "$@" --resolution 600 --out "$RUN/ref.pdf" \
        --expect "$RUN/expected.txt" >"$RUN/card.log" 2>&1 || fail "pelkorl-e2e-card: $(cat "$RUN/card.log")"
    expected=$(awk '$1 == "L" { print $2, $3, $4; exit }' "$RUN/expected.txt")
    pdftotext -bbox "$pdf" - | awk -v e="$expected" '
        BEGIN { split(e, want, " ") }
        /<word / { split($0, f, "\""); t = $0; sub(/^[^>]*>/, "", t); sub(/<.*$/, "", t)
                   if (t == want[3] && f[2] - want[1] <= 0.5 && want[1] - f[2] <= 0.5 &&
                       f[4] - want[2] <= 0.5 && want[2] - f[4] <= 0.5) found = 1
                   if (t == want[3]) seen = seen sprintf(" (%s, %s)", f[2], f[4]) }
        END { if (!found) { printf "\"%s\" is not at (%s, %s) pt but at%s\n", want[3], want[1], want[2], seen; exit 1 } }' ||
        fail "the name in $pdf is misplaced"
}
# check_job QUEUE PDF_OF_THE_JOB MEDIA: the held job carries the tray and media type.
check_job() {
    local job
    job=$(jobs_of "$1")
    [ "$(echo "$job" | wc -w)" = 1 ] || fail "$1 holds jobs '$job', not one"
    for pair in InputSlot=BypassTray MediaType=ThickPaper2 "media=$3"; do
        [ "$(attribute "$job" "${pair%%=*}")" = "${pair#*=}" ] ||
            fail "job $job has ${pair%%=*} '$(attribute "$job" "${pair%%=*}")', not '${pair#*=}'"
    done
    cp "$C/spool/d$(printf %05d "$job")-001" "$2" || fail "no document of job $job in the spool"
    cancel "$job"
}
# check_letter QUEUE PDF_OF_THE_JOB: the held job asks for Letter paper (media, or PageSize
# when that was given instead), its document is Letter too.
check_letter() {
    local job paper
    job=$(jobs_of "$1")
    [ "$(echo "$job" | wc -w)" = 1 ] || fail "$1 holds jobs '$job', not one"
    paper="$(attribute "$job" media)$(attribute "$job" PageSize)"
    case $paper in
    Letter | na_letter_8.5x11in) ;;
    *) fail "job $job on $1 asks for paper '$paper', not Letter" ;;
    esac
    cp "$C/spool/d$(printf %05d "$job")-001" "$2" || fail "no document of job $job in the spool"
    cancel "$job"
    pdfinfo "$2" | grep -q '^Page size:[[:space:]]*612 x 792 pts' ||
        fail "the document of job $job is not Letter: $(pdfinfo "$2" | grep '^Page size')"
}
ask setup ok
ask reopen ok
ask print printed
check_job "$CM305" "$RUN/cm305.pdf" Custom.4x6in
name_at "$RUN/cm305.pdf" 288 432 11 11 11 11
note "the setup's job: BypassTray, ThickPaper2, Custom.4x6in, the name from the 11 pt corner"

cupsreject "$CM305"
ask print "message: Spausdintuvas „$CM305“ nepriėmė užduoties. Nieko neišspausdinta."
cupsaccept "$CM305"
# The command line, as lp: the same options; the page is the queue's own (A4).
: >"$RUN/empty.INI"
"$PRINT_TOOL" "$DATA" --settings "$RUN/empty.INI" --date "$TODAY" -p 1 --printer "$CM305" \
    -O InputSlot=BypassTray \
    --option MediaType=ThickPaper2 -O Rankena=1 >"$RUN/print.out" 2>"$RUN/print.err" ||
    fail "pelkorl-print --printer failed: $(cat "$RUN/print.err")"
grep -q "knows no option 'Rankena'" "$RUN/print.err" || fail "an unknown option was not reported"
check_job "$CM305" "$RUN/cli.pdf" iso_a4_210x297mm
# The CM305's A4: 595 x 842 pt, imageable area 11.62 11.62 583.65 830.27.
name_at "$RUN/cli.pdf" 595 842 11.62 11.73 11.35 11.62
status=0
"$PRINT_TOOL" "$DATA" -p 1 --printer "$CM305" -O InputSlot 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "an option without '=' ended with $status, not 2"
note "pelkorl-print --printer: the same options, the name from the A4 corner"
# The A4 queue asked for Letter, by the driver's name and by the job attribute: a Letter
# document, the name from the CM305's Letter corner (imageable 11.62 11.62 600.38 780.38).
for asked in PageSize=Letter media=na_letter_8.5x11in; do
    "$PRINT_TOOL" "$DATA" --settings "$RUN/empty.INI" --date "$TODAY" -p 1 --printer "$CM305" \
        -O "$asked" >"$RUN/print.out" 2>"$RUN/print.err" ||
        fail "pelkorl-print --printer -O $asked failed: $(cat "$RUN/print.err")"
    check_letter "$CM305" "$RUN/cli-letter.pdf"
    name_at "$RUN/cli-letter.pdf" 612 792 11.62 11.62 11.62 11.62
done
note "pelkorl-print -O PageSize=Letter and -O media=: Letter documents on the A4 queue"
# The 11/23 card laid out from a stand-in of the branch's fillable form, its hours moved as
# in the Polish edition, on the same A4 with its 11.62 pt margins: every word (of a
# regular pioneer's card, so the moved hours are there) stands in a box of the form and the
# name in its name box, counted from the paper's corner.
STANDIN=$RUN/s21-forma.pdf
"$STANDIN_TOOL" "$STANDIN" --hours-x 326.14 || fail "the stand-in form could not be made"
"$PRINT_TOOL" "$DATA" --settings "$RUN/empty.INI" --date "$TODAY" -p 2 -m all --sex-mark \
    --card-version 2 --layout-from "$STANDIN" --printer "$CM305" -O InputSlot=BypassTray \
    -O MediaType=ThickPaper2 >"$RUN/print.out" 2>"$RUN/print.err" ||
    fail "pelkorl-print --layout-from failed: $(cat "$RUN/print.err")"
check_job "$CM305" "$RUN/s21.pdf" iso_a4_210x297mm
"$PYTHON" "$SCRIPTS/s21_check.py" "$RUN/s21.pdf" "$STANDIN" --name-in 900_1_Text_SanSerif \
    >"$RUN/s21.check" || fail "the 11/23 card missed the form's boxes: $(cat "$RUN/s21.check")"
[ ! -e "$DATA/cplot2.dat" ] || fail "--layout-from wrote cplot2.dat"
note "the 11/23 card from a fillable form: $(head -n 1 "$RUN/s21.check")"

lpadmin -x "$CM305"
ask print "message: Spausdintuvo „$CM305“ nebėra: jis pašalintas arba pervadintas. Nieko neišspausdinta. Pasirinkite spausdintuvą: „Parinktys“ → „Spausdinimo parinktys“."
status=0
"$PRINT_TOOL" "$DATA" -p 1 --printer "$CM305" 2>"$RUN/print.err" || status=$?
[ "$status" = 1 ] && grep -q "there is no printer" "$RUN/print.err" ||
    fail "printing on a removed queue ended with $status: $(cat "$RUN/print.err")"
[ -z "$(lpstat -W all -o 2>/dev/null | grep -v "^$QUEUE-")" ] || fail "a job was made after all: $(lpstat -o)"
eval "exec ${SETUP[1]}>&-"
wait "$SETUP_PID" || fail "pelkorl-e2e-setup ended with an error (see $RUN/setup.log)"
SETUP_PID=""
note "scenario 3 passed: refused and removed printers named, nothing printed elsewhere"

# ---- Scenario 4: a Letter queue with wide margins as the default printer

note "scenario 4: the held Ricoh queue (Letter, imageable 18 36 594 756) as the default printer"
lpadmin -d "$RICOH"
"$PRINT_TOOL" "$DATA" --settings "$RUN/empty.INI" --date "$TODAY" -p 1 --printer "$RICOH" \
    >"$RUN/print.out" 2>"$RUN/print.err" || fail "pelkorl-print on $RICOH failed: $(cat "$RUN/print.err")"
check_letter "$RICOH" "$RUN/ricoh-cli.pdf"
name_at "$RUN/ricoh-cli.pdf" 612 792 18 36 18 36
note "pelkorl-print: a Letter document, the name from the Letter corner"
# Its temporary folder filling up near the document's end (a file size limit a kilobyte
# short of that same document): an error, and no cut document sent.
LIMIT=$(($(stat -c %s "$RUN/ricoh-cli.pdf") / 1024 - 1))
status=0
(
    trap '' XFSZ
    ulimit -f "$LIMIT"
    exec "$PRINT_TOOL" "$DATA" --settings "$RUN/empty.INI" --date "$TODAY" -p 1 --printer "$RICOH"
) >"$RUN/print.out" 2>"$RUN/print.err" || status=$?
[ "$status" = 1 ] && grep -q "could not be made" "$RUN/print.err" ||
    fail "a full temporary folder ended with $status: $(cat "$RUN/print.err")"
[ -z "$(jobs_of "$RICOH")" ] || fail "a cut document was sent to $RICOH"

start_program letter
held_job() {
    if message_box >/dev/null; then
        import -window "$(message_box)" "$ARTIFACTS/e2e-unexpected-box.png"
        fail "a message box appeared instead of a print (see $ARTIFACTS/e2e-unexpected-box.png)"
    fi
    [ -n "$(jobs_of "$RICOH")" ]
}
xdotool key Return
wait_until "the job on $RICOH" held_job
check_letter "$RICOH" "$RUN/ricoh-gui.pdf"
name_at "$RUN/ricoh-gui.pdf" 612 792 18 36 18 36
close_program
note "scenario 4 passed: the program prints a Letter document, the name from the Letter corner"

[ "$(date +%Y-%m)" = "${TODAY%-*}" ] ||
    fail "the month changed while the test ran; the month boxes may have changed: run it again"
