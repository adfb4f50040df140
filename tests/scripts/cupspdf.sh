# Sourced by the tests that print through a CUPS scheduler of their own onto a cups-pdf
# queue: the scheduler, where cups-pdf writes, and two printed pages compared by their ink.
# The caller defines fail and TIMEOUT.

# wait_until DESCRIPTION COMMAND...: polls COMMAND until it succeeds or TIMEOUT passes.
wait_until() {
    local what=$1 deadline=$((SECONDS + TIMEOUT))
    shift
    until "$@" >/dev/null; do
        ((SECONDS < deadline)) || fail "timed out after $TIMEOUT s waiting for $what"
        sleep 0.1
    done
}

# start_cups T: a scheduler with its folders in T/cups, listening on the socket T/cups.sock
# only. Exports CUPS_SERVER and CUPS_SERVERROOT (clients read no lpoptions of the
# machine's), sets CUPSD_PID.
start_cups() {
    local T=$1 C=$1/cups
    mkdir -p "$C/ppd" "$C/spool" "$C/cache" "$C/state" "$C/tmp" "$C/log"
    # The scheduler's filters run as lp and read the spool files below T.
    chmod 0711 "$T"
    chgrp lp "$C/tmp"
    chmod 1770 "$C/tmp"
    cat >"$C/cupsd.conf" <<EOF
LogLevel info
PageLogFormat %j %P %C %{job-name}
Listen $T/cups.sock
Browsing Off
WebInterface No
DefaultShared No
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cat >"$C/cups-files.conf" <<EOF
ServerRoot $C
RequestRoot $C/spool
CacheDir $C/cache
StateDir $C/state
TempDir $C/tmp
ServerBin /usr/lib/cups
DataDir /usr/share/cups
ErrorLog $C/log/error_log
AccessLog $C/log/access_log
PageLog $C/log/page_log
Printcap $C/printcap
SystemGroup root
FileDevice No
EOF
    export CUPS_SERVER=$T/cups.sock CUPS_SERVERROOT=$C
    cupsd -f -c "$C/cupsd.conf" -s "$C/cups-files.conf" >"$C/log/cupsd.out" 2>&1 &
    CUPSD_PID=$!
    scheduler_up() { lpstat -r 2>/dev/null | grep -q 'is running'; }
    wait_until "the CUPS scheduler" scheduler_up
}

# cups_pdf_output QUEUE: where cups-pdf writes the jobs of QUEUE. Sets CUPS_PDF_OUT (its
# configuration's Out folder, ${HOME} being the home of the job's user in the password
# database, root's here, not this shell's HOME), CUPS_PDF_OUT_MADE (1 when the folder is
# not there yet) and CUPS_PDF_LOG.
cups_pdf_output() {
    local conf=/etc/cups/cups-pdf.conf user home out log
    user=$(id -un)
    home=$(getent passwd "$user" | cut -d: -f6)
    out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' "$conf" 2>/dev/null | tail -n 1)
    out=${out:-'${HOME}/PDF'}
    out=${out//'${HOME}'/$home}
    CUPS_PDF_OUT=${out//'${USER}'/$user}
    CUPS_PDF_OUT_MADE=0
    [ -d "$CUPS_PDF_OUT" ] || CUPS_PDF_OUT_MADE=1
    log=$(sed -n 's/^[[:space:]]*Log[[:space:]]\+//p' "$conf" 2>/dev/null | tail -n 1)
    CUPS_PDF_LOG=${log:-/var/log/cups}/cups-pdf-${1}_log
}

# The PDFs cups-pdf wrote after file MARK was made.
spooled_files() { find "$CUPS_PDF_OUT" -maxdepth 1 -name '*-job_*.pdf' -newer "$1" 2>/dev/null; }

# same_ink A.pdf B.pdf WORK PREFIX [DPI]: the first pages of A and B at DPI (150). A pixel is ink
# when darker than half ("core") and touched by ink when darker than nine tenths white
# ("any"): two renderers smooth glyph edges differently, so an edge pixel may be ink on one
# page and only touched on the other. Every core pixel of either page must lie within two
# pixels of a touched pixel of the other page, and the two core bounding boxes must agree
# to two pixels: a shifted or scaled card, a missing text or an extra one fails; the
# glyphs' outlines are not compared. Both pages and their difference are kept as
# PREFIX-NAME-page.png (NAME: a PDF's name without .pdf) and PREFIX-ink-difference.png.
# Prints what it found; ends non-zero when the pages differ.
same_ink() {
    local a=$1 b=$2 work=$3 prefix=$4 dpi=${5:-150} side
    for side in a b; do
        local pdf=$a
        [ "$side" = a ] || pdf=$b
        pdftoppm -r "$dpi" -gray -singlefile "$pdf" "$work/$side" 2>/dev/null
        convert "$work/$side.pgm" -threshold 50% -negate "$work/$side-ink.png"
        convert "$work/$side.pgm" -threshold 90% -negate "$work/$side-any.png"
        convert "$work/$side.pgm" "$prefix-$(basename "$pdf" .pdf)-page.png"
    done
    local size_a size_b
    size_a=$(identify -format '%wx%h' "$work/a-ink.png")
    size_b=$(identify -format '%wx%h' "$work/b-ink.png")
    if [ "$size_a" != "$size_b" ]; then
        echo "the pages differ in size at $dpi dpi: $size_a and $size_b"
        return 1
    fi
    count() { convert "$@" -format '%[fx:round(mean*w*h)]' info:; }
    # core pixels of $1 farther than two pixels from any pixel touched on $2
    stray() {
        count "$work/$1-ink.png" \( "$work/$2-any.png" -morphology Dilate Disk:2 -negate \) \
            -compose Darken -composite
    }
    local ink_a ink_b stray_a stray_b box_a box_b
    ink_a=$(count "$work/a-ink.png")
    ink_b=$(count "$work/b-ink.png")
    if [ "$ink_b" -le 500 ]; then
        echo "$b has almost no ink ($ink_b pixels)"
        return 1
    fi
    stray_a=$(stray a b)
    stray_b=$(stray b a)
    box_a=$(convert "$work/a-ink.png" -format '%@' info:)
    box_b=$(convert "$work/b-ink.png" -format '%@' info:)
    convert "$work/b-ink.png" "$work/a-ink.png" -compose Difference -composite -negate \
        "$prefix-ink-difference.png"
    echo "ink: $ink_a px in $box_a and $ink_b px in $box_b; farther than 2 px: $stray_a and" \
        "$stray_b"
    if ! awk -v a="$box_a" -v b="$box_b" 'BEGIN {
        split(a, p, /[x+]/); split(b, q, /[x+]/)
        d[1] = p[3] - q[3]; d[2] = p[4] - q[4]
        d[3] = p[3] + p[1] - q[3] - q[1]; d[4] = p[4] + p[2] - q[4] - q[2]
        for (i = 1; i <= 4; i++) if (d[i] > 2 || d[i] < -2) exit 1
    }'; then
        echo "the ink lies in $box_a and in $box_b, more than 2 px apart"
        return 1
    fi
    if [ "$stray_a" != 0 ] || [ "$stray_b" != 0 ]; then
        echo "the ink differs by more than 2 px (see $prefix-ink-difference.png)"
        return 1
    fi
}
