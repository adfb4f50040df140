#!/usr/bin/env bash
# The Windows program under Wine, as installed by its installer, against the Linux build:
#   1. the installer installs silently (/S) into Program Files;
#   2. pelkorl-sample.exe writes the sample as the Linux one does, into a folder of a
#      Lithuanian name; pelkorl-print.exe, given that folder, writes the sample's cards and
#      its totals records as the Linux pelkorl-print does: the same words on the same pages,
#      each within 0.5 pt;
#   3. it fills the stand-in form as the Linux one does: qpdf checks each file, pypdf reads
#      the same field values back;
#   4. pelkorl.exe opens its main window on the sample (a screenshot is kept in
#      WIN_BUILD/artifacts); with "Spausdinti formą" ticked, Enter prints the first card on
#      Windows' default printer, a cups-pdf queue of a CUPS scheduler of the check's own,
#      whose page has the ink of the Linux pelkorl-print's on that queue (as root only: the
#      cups-pdf backend runs only for root); closed with Esc, it writes its layout file;
#   5. the uninstaller (/S) removes every program file and leaves a settings file beside them.
# Usage: app.sh WIN_BUILD LINUX_BUILD (made by tools/windows/build.sh and `make build-all`).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/cupspdf.sh"
WIN_BUILD=$(cd "${1:?usage: app.sh WIN_BUILD LINUX_BUILD}" && pwd)
LINUX_BUILD=$(cd "${2:?usage: app.sh WIN_BUILD LINUX_BUILD}" && pwd)
TIMEOUT=${PELKORL_WINE_TIMEOUT:-60}
ARTIFACTS=$WIN_BUILD/artifacts
T=$(mktemp -d)
export WINEPREFIX=$T/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
XVFB_PID="" CUPSD_PID="" CUPS_PDF_OUT_MADE=0 CUPS_PDF_LOG=""
SPOOLED=()
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    [ -z "$CUPSD_PID" ] || kill "$CUPSD_PID" 2>/dev/null || true
    rm -f "${SPOOLED[@]}" "$CUPS_PDF_LOG"
    [ "$CUPS_PDF_OUT_MADE" = 0 ] || rmdir "$CUPS_PDF_OUT" 2>/dev/null || true
    rm -rf "$T"
}
trap cleanup EXIT
note() { echo "windows-app: $*"; }
fail() { echo "windows-app: FAIL: $*" >&2; exit 1; }
# A Linux path as Wine's Z: drive shows it.
winpath() { echo "Z:$1" | tr / '\\'; }

for tool in wine wineserver Xvfb xdotool import convert identify pdftotext pdftoppm qpdf \
    cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run 'make deps'"
done
setup=$(ls "$WIN_BUILD"/pelkorl-*-setup.exe 2>/dev/null | head -n1)
[ -n "$setup" ] || fail "no installer in $WIN_BUILD: run 'make windows'"
mkdir -p "$ARTIFACTS"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$T/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=$display
# Wine takes CUPS's queues as its printers, and CUPS's default as its own.
QUEUE=""
if [ "$(id -u)" = 0 ]; then
    start_cups "$T"
    QUEUE=pelkorl-wine-$$
    lpadmin -p "$QUEUE" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null &&
        lpadmin -d "$QUEUE" || fail "lpadmin could not add a cups-pdf queue"
    cups_pdf_output "$QUEUE"
elif [ "${CI:-}" = true ]; then
    fail "CI must run this check as root"
else
    note "printing left out: the cups-pdf backend runs only for root"
fi
wineboot --init >/dev/null 2>&1 || fail "wineboot failed"

# 1. Silent install.
start=$SECONDS
wine "$setup" /S >/dev/null 2>&1 || fail "the installer ended with an error"
wineserver -w
INSTALLED="$WINEPREFIX/drive_c/Program Files/Pelkorl"
for file in pelkorl.exe pelkorl-print.exe uninstall.exe Qt6Core.dll platforms/qwindows.dll \
    fonts/LiberationSans-Regular.ttf; do
    [ -f "$INSTALLED/$file" ] || fail "the installer left out $file"
done
note "installed silently in $((SECONDS - start)) s"
PRINT="C:\\Program Files\\Pelkorl\\pelkorl-print.exe"

# 2. The same cards as on Linux.
year=$(date +%Y)
# A Lithuanian folder name: it reaches the programs whole only through the wide command line.
DATA=$T/Duomenys-Šilutė
"$LINUX_BUILD/pelkorl-sample" --year "$year" "$DATA" >/dev/null
wine "C:\\Program Files\\Pelkorl\\pelkorl-sample.exe" --year "$year" "$(winpath "$DATA-2")" \
    >/dev/null 2>&1 || fail "pelkorl-sample.exe did not write $DATA-2"
diff -r "$DATA" "$DATA-2" >/dev/null || fail "pelkorl-sample.exe wrote other files than pelkorl-sample"
same_words() { # LINUX.pdf WINDOWS.pdf
    /usr/bin/python3 - "$1" "$2" <<'PY'
import re, sys
pattern = re.compile(r'<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>')
def read(path):
    import subprocess
    html = subprocess.run(["pdftotext", "-bbox", path, "-"], capture_output=True, text=True, check=True).stdout
    pages, words = [], None
    for m in pattern.finditer(html):
        if m.group(0) == "<page ":
            words = []
            pages.append(words)
        else:
            words.append((m.group(5), [float(m.group(i)) for i in range(1, 5)]))
    return pages
linux, windows = read(sys.argv[1]), read(sys.argv[2])
if len(linux) != len(windows):
    sys.exit(f"{len(linux)} pages on Linux, {len(windows)} on Windows")
for number, (a, b) in enumerate(zip(linux, windows), 1):
    if [w for w, _ in a] != [w for w, _ in b]:
        sys.exit(f"page {number}: the words differ: {[w for w, _ in a][:8]} ... / {[w for w, _ in b][:8]} ...")
    for (word, p), (_, q) in zip(a, b):
        if max(abs(x - y) for x, y in zip(p, q)) > 0.5:
            sys.exit(f"page {number}: '{word}' at {p} on Linux, {q} on Windows")
print(f"{len(linux)} pages, {sum(map(len, linux))} words alike")
PY
}
for what in all totals; do
    "$LINUX_BUILD/pelkorl-print" --data "$DATA" "--$what" --output "$T/linux-$what.pdf" >/dev/null
    wine "$PRINT" --data "$(winpath "$DATA")" "--$what" --output "$(winpath "$T/windows-$what.pdf")" \
        >"$T/print.out" 2>"$T/print.err" || fail "pelkorl-print.exe --$what: $(cat "$T/print.err")"
    result=$(same_words "$T/linux-$what.pdf" "$T/windows-$what.pdf") || fail "--$what: $result"
    note "--$what: $result"
done

# 3. The stand-in form filled alike.
"$LINUX_BUILD/pelkorl-standin-form" "$T/form.pdf"
mkdir "$T/linux-forms" "$T/windows-forms"
"$LINUX_BUILD/pelkorl-print" --data "$DATA" --all --fill "$T/form.pdf" \
    --output-dir "$T/linux-forms" >/dev/null
wine "$PRINT" --data "$(winpath "$DATA")" --all --fill "$(winpath "$T/form.pdf")" \
    --output-dir "$(winpath "$T/windows-forms")" >"$T/print.out" 2>"$T/print.err" ||
    fail "pelkorl-print.exe --fill: $(cat "$T/print.err")"
for file in "$T"/windows-forms/*.pdf; do
    qpdf --check "$file" >/dev/null || fail "qpdf does not read $(basename "$file") back"
done
/usr/bin/python3 - "$T/linux-forms" "$T/windows-forms" <<'PY' || fail "the filled forms differ"
import os, sys
from pypdf import PdfReader
linux, windows = sys.argv[1], sys.argv[2]
names = sorted(os.listdir(linux))
if names != sorted(os.listdir(windows)):
    sys.exit(f"files {names} on Linux, {sorted(os.listdir(windows))} on Windows")
for name in names:
    a = {k: v.get("/V") for k, v in (PdfReader(os.path.join(linux, name)).get_fields() or {}).items()}
    b = {k: v.get("/V") for k, v in (PdfReader(os.path.join(windows, name)).get_fields() or {}).items()}
    if a != b:
        sys.exit(f"{name}: the field values differ")
print(f"windows-app: {len(names)} filled forms alike, read back by qpdf and pypdf")
PY

# 4. The main window on the sample; the first card printed; closed with Esc.
# Done when cups-pdf wrote a file and no job is left on the queue.
job_spooled() { [ -n "$(spooled_files "$T/mark")" ] && [ -z "$(lpstat -o "$QUEUE" 2>/dev/null)" ]; }
# spooled NAME: waits for the PDF cups-pdf writes after the mark and keeps it as $T/NAME.pdf.
spooled() {
    local file
    wait_until "cups-pdf's file of the $1 job" job_spooled
    file=$(spooled_files "$T/mark" | head -n1)
    SPOOLED+=("$file")
    cp "$file" "$T/$1.pdf"
}
if [ -n "$QUEUE" ]; then
    touch "$T/mark"
    "$LINUX_BUILD/pelkorl-print" --data "$DATA" --publisher 1 --form --printer "$QUEUE" \
        >/dev/null || fail "the Linux pelkorl-print did not print"
    spooled linux-printed
fi
(cd "$DATA" && exec wine "C:\\Program Files\\Pelkorl\\pelkorl.exe") >"$T/program.log" 2>&1 &
program=$!
window=$(timeout "$TIMEOUT" xdotool search --sync --onlyvisible --name '^Pelkorl - ' | head -n1) ||
    true
[ -n "$window" ] || fail "the main window did not appear within $TIMEOUT s"
sleep 2
import -window root "$ARTIFACTS/windows-main-window.png"
if [ -n "$QUEUE" ]; then
    touch "$T/mark"
    xdotool windowfocus --sync "$window" key alt+f
    sleep 1
    xdotool windowfocus --sync "$window" key Return
    spooled windows-printed
    # 300 dpi: at 150 the card's close hairlines merge differently in the two renderings.
    result=$(same_ink "$T/windows-printed.pdf" "$T/linux-printed.pdf" "$T" \
        "$ARTIFACTS/windows" 300) ||
        fail "the card pelkorl.exe printed is not the Linux one: $result"
    note "pelkorl.exe printed the first card as on Linux: $result"
fi
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq "$TIMEOUT"); do kill -0 "$program" 2>/dev/null || break; sleep 1; done
kill -0 "$program" 2>/dev/null && fail "pelkorl.exe did not end after Esc"
wait "$program" || fail "pelkorl.exe ended with an error"
[ "$(stat -c %s "$DATA/cplot.dat" 2>/dev/null)" = 400 ] || fail "cplot.dat was not written"
note "the main window opened (artifacts/windows-main-window.png) and closed writing cplot.dat"

# 5. Silent uninstall: no program file stays, the settings file beside them does (the
# program's own when printing wrote one).
[ -f "$INSTALLED/pelkorl.INI" ] || echo "[settings]" >"$INSTALLED/pelkorl.INI"
wine "$INSTALLED/uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller ended with an error"
wineserver -w
left=$(cd "$INSTALLED" && find . -type f ! -name pelkorl.INI)
[ -z "$left" ] || fail "the uninstaller left $left"
[ -f "$INSTALLED/pelkorl.INI" ] || fail "the uninstaller removed the settings file"
note "uninstalled: no program file left, the settings file kept"
