#!/usr/bin/env bash
# One book on two PCs through a real sync engine (not part of the test command):
# two program folders, each with its own Wine prefix and machine name (DESKTOP and
# LAPTOP), whose data folders two Syncthing instances keep in sync. Everything runs
# in a network namespace of its own with only the loopback address up, and the
# instances have discovery, relays, NAT traversal, usage and crash reports and
# upgrades turned off: no traffic leaves the machine.
# Both PCs edit the book at once (the first page on both, a new page on each) and
# exit; Syncthing leaves a conflicted copy; the next start on DESKTOP merges it
# (the default answer); after Syncthing settled again, every edit of both sides
# must be in the book on both PCs. Ends with "sync-check: passed" or "… FAILED".
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"

if [ -z "${QP_SYNC_INSIDE:-}" ]; then
  command -v syncthing >/dev/null || apt-get install -y syncthing >/dev/null || { echo "sync-check: no syncthing"; exit 1; }
  [ -n "${QP_SYNC_NO_BUILD:-}" ] || { build_host >/dev/null && build_win >/dev/null; } || { echo "sync-check: build failed"; exit 1; }
  ensure_wineprefix && ensure_wineprefix144
  # a network of its own (loopback only) and a host name of its own
  exec unshare -n -u env QP_SYNC_INSIDE=1 bash "${BASH_SOURCE[0]}" "$@"
fi
ip link set lo up
WORK="${QP_SYNC_WORK:-/dev/shm/quiltpad-sync-check}"
rm -rf "$WORK"; mkdir -p "$WORK"
EXE="$WIN_BUILD/bin/quiltpad.exe"; QPCTL="$WIN_BUILD/bin/qpctl.exe"
TITLE="キルト帳　　version 3.21"
declare -A PREFIX=([DESKTOP]="$WINEPREFIX" [LAPTOP]="$WINEPREFIX_144") PORT=([DESKTOP]=22001 [LAPTOP]=22002) GUI=([DESKTOP]=18384 [LAPTOP]=18385)
declare -A ID
KEY=quiltpad-sync-check

fail() { echo "sync-check: FAILED: $*"; stop_all; exit 1; }
# a command as one PC: its prefix and its machine name (a UTS namespace of its own)
as_pc() { local pc=$1; shift; unshare -u env WINEPREFIX="${PREFIX[$pc]}" bash -c 'hostname "$0"; exec "$@"' "$pc" "$@"; }
ctl() { local pc=$1; shift; as_pc "$pc" wine "$QPCTL" "$@" | tr -d '\r'; }
api() { curl -s -H "X-API-Key: $KEY" "http://127.0.0.1:${GUI[$1]}$2"; }

for pc in DESKTOP LAPTOP; do
  mkdir -p "$WORK/$pc/quiltpad/data"
  cp "$EXE" "$WORK/$pc/quiltpad/"
  ID[$pc]=$(syncthing generate --home="$WORK/st-$pc" 2>&1 | sed -n 's/.*Device ID: //p')
done
for pc in DESKTOP LAPTOP; do
  cat >"$WORK/st-$pc/config.xml" <<EOF
<configuration version="36">
    <folder id="book" label="book" path="$WORK/$pc/quiltpad/data" type="sendreceive" rescanIntervalS="60" fsWatcherEnabled="true" fsWatcherDelayS="1">
        <filesystemType>basic</filesystemType>
        <device id="${ID[DESKTOP]}"></device>
        <device id="${ID[LAPTOP]}"></device>
        <minDiskFree unit="%">0</minDiskFree>
        <maxConflicts>10</maxConflicts>
    </folder>
    <device id="${ID[DESKTOP]}" name="DESKTOP" compression="metadata"><address>tcp://127.0.0.1:${PORT[DESKTOP]}</address></device>
    <device id="${ID[LAPTOP]}" name="LAPTOP" compression="metadata"><address>tcp://127.0.0.1:${PORT[LAPTOP]}</address></device>
    <gui enabled="true" tls="false"><address>127.0.0.1:${GUI[$pc]}</address><apikey>$KEY</apikey></gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${PORT[$pc]}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <urAccepted>-1</urAccepted>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <crashReportingEnabled>false</crashReportingEnabled>
        <startBrowser>false</startBrowser>
        <minHomeDiskFree unit="%">0</minHomeDiskFree>
    </options>
</configuration>
EOF
done

stop_all() {
  for pc in DESKTOP LAPTOP; do WINEPREFIX="${PREFIX[$pc]}" wineserver -k 2>/dev/null; done
  kill $(jobs -p) 2>/dev/null
  wait 2>/dev/null
}
for pc in DESKTOP LAPTOP; do
  STNOUPGRADE=1 syncthing serve --home="$WORK/st-$pc" --no-browser --no-restart >"$WORK/st-$pc.log" 2>&1 &
done

# settled: both instances idle with nothing needed and the same data file, twice 5 s apart
settled() {
  for pc in DESKTOP LAPTOP; do
    local status; status=$(api "$pc" "/rest/db/status?folder=book")
    grep -q '"state": *"idle"' <<<"$status" || return 1
    grep -q '"needTotalItems": *0' <<<"$status" || return 1
  done
  same_files quiltpad.qpd
}
wait_settled() {
  sleep 5
  for _ in $(seq 1 120); do settled && sleep 5 && settled && return 0; sleep 1; done
  fail "Syncthing did not settle"
}
same_files() { cmp -s "$WORK/DESKTOP/quiltpad/data/$1" "$WORK/LAPTOP/quiltpad/data/$1"; }

start_program() {  # pc: starts the program and waits for its window
  (cd "$WORK/$1/quiltpad" && as_pc "$1" wine quiltpad.exe >/dev/null 2>&1) &
  sleep 1
}

# The book both PCs have to begin with.
"$HOST_BUILD/bin/qpdtool" gen --pages 6 --seed 3 "$WORK/DESKTOP/quiltpad/data/quiltpad.qpd" >/dev/null
for _ in $(seq 1 60); do same_files quiltpad.qpd && break; sleep 1; done
same_files quiltpad.qpd || fail "the book did not reach the second PC"
echo "sync-check: the book is on both PCs"

# Both edit at once: the first page on both, a new page on each.
xvfb-run -a -s "-screen 0 1280x800x24 -ac" bash -c "$(declare -f as_pc ctl); $(declare -p PREFIX WORK QPCTL TITLE); set -x
  (cd '$WORK/DESKTOP/quiltpad' && as_pc DESKTOP wine quiltpad.exe >/dev/null 2>&1) &
  ctl DESKTOP idle 120
  for i in \$(seq 1 30); do [ -f '$WORK/LAPTOP/quiltpad/data/inuse.txt' ] && break; sleep 1; done
  (cd '$WORK/LAPTOP/quiltpad' && as_pc LAPTOP wine quiltpad.exe >/dev/null 2>&1) &
  ctl LAPTOP rect '$TITLE' 60    # the book is open on DESKTOP: the warning
  ctl LAPTOP press '$TITLE' 6   # opened anyway
  ctl LAPTOP idle 120
  for pc in DESKTOP LAPTOP; do
    ctl \$pc type \"edit of the first page on \$pc \"
    ctl \$pc command 32790; sleep 1; ctl \$pc type \"a new page on \$pc\"
  done
  ctl DESKTOP close 60 & ctl LAPTOP close 60; wait
" >"$WORK/edits.log" 2>&1 || fail "the edits did not run (see $WORK/edits.log)"
wait_settled
ls "$WORK/DESKTOP/quiltpad/data" "$WORK/LAPTOP/quiltpad/data"
ls "$WORK/DESKTOP/quiltpad/data" | grep -q 'sync-conflict' || fail "no conflicted copy (both saves synced one after the other?)"

# The next start on DESKTOP offers the merge; it is the default answer.
xvfb-run -a -s "-screen 0 1280x800x24 -ac" bash -c "$(declare -f as_pc ctl); $(declare -p PREFIX WORK QPCTL); set -x
  (cd '$WORK/DESKTOP/quiltpad' && as_pc DESKTOP wine quiltpad.exe >/dev/null 2>&1) &
  ctl DESKTOP idle 120
  ctl DESKTOP rect '同期ソフトが残したコピー' 60
  ctl DESKTOP press '同期ソフトが残したコピー' 6
  sleep 2
  ctl DESKTOP text '同期ソフトが残したコピー' 0xFFFF | iconv -f CP932 -t UTF-8 -c
  ctl DESKTOP press '同期ソフトが残したコピー' 1
  ctl DESKTOP close 60
" >"$WORK/merge.log" 2>&1 || fail "the merge did not run (see $WORK/merge.log)"
cat "$WORK/merge.log" | grep -v '^+' | head -20
wait_settled

missing=0
for pc in DESKTOP LAPTOP; do
  for text in "edit of the first page on DESKTOP" "edit of the first page on LAPTOP" "a new page on DESKTOP" "a new page on LAPTOP"; do
    grep -q "$text" "$WORK/$pc/quiltpad/data/quiltpad.qpd" || { echo "sync-check: $pc lacks \"$text\""; missing=$((missing + 1)); }
  done
done
same_files quiltpad.qpd || { echo "sync-check: the two PCs hold different books"; missing=$((missing + 1)); }
stop_all
[ "$missing" -eq 0 ] || { echo "sync-check: FAILED"; exit 1; }
echo "sync-check: passed"
