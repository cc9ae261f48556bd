#!/usr/bin/env bash
# Prints through a real print system: a private CUPS daemon (its own configuration, spool and
# socket; the machine's own is never touched) with a CUPS-PDF queue. PRINT_COMMAND, given
# SETUP_FILE, opens it and prints from the main window; it writes each message the editor showed as
# "message: TEXT" and exits 2 after one, 0 without.
#     cups_print.sh SETUP_FILE MODE PRINT_COMMAND...
# MODE default: the queue is the default; one page on its paper, Letter, holds the title, the
# file's name and the values. no-default: a queue but no default, and none: no queue (Wine makes a
# lone queue the default): the message says there is no default printer. refused: the default
# queue refuses jobs: the message says the printer failed. Those three print nothing.
# Starting a CUPS daemon with its backends needs root: for other users the test is skipped (77).
# The program's texts come from RIGTUNE_TEXTS (texts.sh).
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
source "$RIGTUNE_TEXTS"

setup_file=$1
mode=$2
shift 2
print_command=("$@")
wait_seconds=60
program_seconds=240 # the Windows build under Wine starts a Wine session first

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: starting a CUPS daemon with its backends needs root"
    exit 77
fi
for tool in cupsd lpadmin lpstat pdfinfo pdftotext pdftoppm; do
    command -v "$tool" >/dev/null || PATH=$PATH:/usr/sbin
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[ -x /usr/lib/cups/backend/cups-pdf ] || fail "the CUPS-PDF backend is missing"

root=$(mktemp -d /tmp/rigtune-cups.XXXXXX)
chmod 755 "$root"
queue=rigtune-pdf-$$
# The backend reads the configuration named after its queue; this is the one file outside root.
pdf_conf=/etc/cups/cups-pdf-$queue.conf
cupsd_pid=

on_fail() {
    echo "--- CUPS error log:"
    tail -n 40 "$root/log/error_log" 2>/dev/null || true
}

cupsd_ended() { ! kill -0 "$cupsd_pid" 2>/dev/null; }
# lpstat -r says whether the scheduler runs, and exits 0 either way.
answers_or_ended() { [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ] || cupsd_ended; }

cleanup() {
    if [ -n "$cupsd_pid" ]; then
        kill "$cupsd_pid" 2>/dev/null || true
        within 5 cupsd_ended || kill -9 "$cupsd_pid" 2>/dev/null || true
    fi
    rm -f "$pdf_conf"
    rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root"/{etc/ppd,spool,cache,state,log,tmp,out,home}
chmod 1777 "$root/tmp" "$root/out"
cat >"$root/etc/cups-files.conf" <<CONF
ServerRoot $root/etc
RequestRoot $root/spool
CacheDir $root/cache
StateDir $root/state
TempDir $root/tmp
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
Printcap $root/printcap
Sandboxing Relaxed
CONF
cat >"$root/etc/cupsd.conf" <<CONF
Listen $root/cups.sock
LogLevel info
PreserveJobFiles Yes
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$pdf_conf" <<CONF
Out $root/out
AnonDirName $root/out
Spool $root/spool-pdf
Log $root/log
Label 0
TitlePref 0
CONF

# Clients of this print system only: its socket, no per-user defaults, no default from the
# environment. The caller's caches stay where they are.
export CUPS_SERVER=$root/cups.sock
export XDG_CACHE_HOME=${XDG_CACHE_HOME:-$HOME/.cache}
export HOME=$root/home
unset PRINTER LPDEST

cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" &
cupsd_pid=$!
wait_for "$wait_seconds" "answer from cupsd" answers_or_ended
! cupsd_ended || fail "cupsd stopped at start"

if [ "$mode" != none ]; then
    lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
        -o PageSize=Letter 2>&1 | grep -v -i deprecat || true
    lpstat -p "$queue" >/dev/null 2>&1 || fail "could not add the CUPS-PDF queue"
    [ "$mode" = no-default ] || lpadmin -d "$queue"
fi
[ "$mode" = refused ] && { cupsreject "$queue" || fail "could not make the queue refuse jobs"; }

status=0
output=$(timeout "$program_seconds" env QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" \
    "${print_command[@]}" \
    "$setup_file") || status=$?
echo "$output"

# Where nothing can be printed: the message that says why, and nothing queued or printed.
case $mode in
refused) expected=${PrinterFailed#%1} ;;
no-default | none) expected=$NoDefaultPrinter ;;
*) expected= ;;
esac
if [ -n "$expected" ]; then
    [ "$status" -eq 2 ] && grep -qF "$expected" <<<"$output" ||
        fail "expected the message \"...$expected\" (exit 2), got exit $status"
    [ -z "$(lpstat -o 2>/dev/null)$(find "$root/out" -name '*.pdf')" ] || fail "a job was printed"
    echo "PASS: the message says why nothing was printed"
    exit 0
fi

[ "$status" -eq 0 ] || fail "printing gave exit $status"
printed() {
    [ -n "$(find "$root/out" -name '*.pdf' -size +0)" ] && [ -z "$(lpstat -o 2>/dev/null)" ]
}
wait_for "$wait_seconds" "PDF from the queue" printed
pdf=$(find "$root/out" -name '*.pdf' -size +0 | head -n 1)
count=$(find "$root/out" -name '*.pdf' | wc -l)
[ "$count" -eq 1 ] || fail "expected one PDF, found $count"

info=$(pdfinfo "$pdf")
echo "$info" | grep -E '^(Pages|Page size):'
grep -q '^Pages: *1$' <<<"$info" || fail "expected one page"
grep -Eq '^Page size: *612(\.0+)? x 792(\.0+)? pts' <<<"$info" ||
    fail "expected the queue's default paper, Letter (612 x 792 pts)"
# The print system turns Qt's PDF into PostScript and back, which loses the text's encoding, so
# the words are read from the document the editor handed to it and the queue's page is checked
# for ink. Under Wine that document is PostScript, whose text the queue's PDF keeps.
job=$(find "$root/spool" -name 'd*-001' | head -n 1)
[ -n "$job" ] || fail "the print system kept no job document"
pdfinfo "$job" >/dev/null 2>&1 || job=$pdf
text=$(pdftotext -layout "$job" -)
for expected in "${SheetTitle% }" "$(basename "$setup_file")" "tilf 4.5" "wr 2.5"; do
    grep -qF "$expected" <<<"$text" || fail "\"$expected\" is not in the printed document"
done
# The queue's paper can be printed to the edge, so the sheet starts at the page's corner: the
# title's left edge sits its 480 twips (24 pt) in, give or take a point of the glyph's bearing.
title_left=$(pdftotext -bbox "$job" - |
    sed -n "s/.*xMin=\"\([0-9.]*\)\".*>${SheetTitle%% *}<.*/\1/p")
[ -n "$title_left" ] || fail "the title's position is not in the printed document"
awk -v x="$title_left" 'BEGIN { exit !(x > 23 && x < 25.5) }' ||
    fail "the title starts at $title_left pt, not at 24 pt from the printable area's corner"
pdftoppm -r 20 -gray "$pdf" "$root/page"
ink=$(tail -c +16 "$root"/page*.pgm | tr -d '\377' | wc -c)
[ "$ink" -gt 100 ] || fail "the printed page is blank"
echo "PASS: one Letter page of the sheet, with the title, the file's name and the values"
