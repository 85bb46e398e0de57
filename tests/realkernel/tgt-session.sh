#!/usr/bin/env bash
# The DVD+R session: tgtd (started here, on 127.0.0.1 and a free port)
# serves four CD/DVD logical units with blank DVD+R discs made by tgtimg;
# QEMU's iSCSI block driver passes each to the guest as a SCSI generic
# device on virtio-scsi. tgt-guest.sh burns through the guest's SG_IO; the
# discs stay in SESSION/disc-N.img for the checks. Exit 77 when this machine
# cannot run QEMU, tgtd or QEMU's iSCSI driver.
#
#   tgt-session.sh ONDRELLE_CLI DVD_FIXTURES SESSION_DIR
set -euo pipefail
REALKERNEL_DIR=$(cd "$(dirname "$0")" && pwd)
. "$REALKERNEL_DIR/harness.sh"

usage="usage: tgt-session.sh ONDRELLE_CLI DVD_FIXTURES SESSION_DIR"
cli=${1:?$usage}
fixtures=${2:?$usage}
session_dir "${3:?$usage}"
require_guest_tools
for tool in tgtd tgtadm tgtimg; do
  command -v "$tool" >/dev/null || skip_session "$tool is not installed (package tgt)"
done
ls /usr/lib/*/qemu/block-iscsi.so >/dev/null 2>&1 || skip_session "QEMU's iSCSI driver is not installed (package qemu-block-extra)"
[ -d "$fixtures/one-title/VIDEO_TS" ] || fail_session "no DVD-Video fixture in $fixtures (make-dvd-fixtures.sh)"

mkdir -p "$SESSION/source/notes"
echo "burned through a real kernel" >"$SESSION/source/readme.txt"
head -c 300000 /dev/urandom >"$SESSION/source/notes/random.bin"
cp -r "$fixtures/one-title/VIDEO_TS" "$SESSION/VIDEO_TS"

# A control port and an iSCSI port of our own, so parallel sessions do not meet.
port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
TGTD_PID=
stop_partners() {
  stop_guest
  if [ -n "$TGTD_PID" ]; then stop_tgtd; fi
}
# tgtd lets a TERM pass while it serves targets; KILL is what stops it.
stop_tgtd() {
  kill "$TGTD_PID" 2>/dev/null || true
  for _ in 1 2 3 4 5 6; do
    kill -0 "$TGTD_PID" 2>/dev/null || break
    sleep 0.5
  done
  kill -KILL "$TGTD_PID" 2>/dev/null || true
  wait "$TGTD_PID" 2>/dev/null || true
  TGTD_PID=
}
trap stop_partners EXIT
for attempt in 1 2 3 4 5; do
  port=$((20000 + (RANDOM % 20000)))
  control=$((1000 + (RANDOM % 8000)))
  port_free "$port" || continue
  # -d 1: tgtd logs the commands it refuses, which tells what it lacks.
  tgtd -f -d 1 -C "$control" --iscsi "portal=127.0.0.1:$port" >"$SESSION/tgtd.log" 2>&1 &
  TGTD_PID=$!
  for _ in $(seq 20); do
    tgtadm -C "$control" --lld iscsi --op show --mode target >/dev/null 2>&1 && break
    sleep 0.5
  done
  if kill -0 "$TGTD_PID" 2>/dev/null && ! port_free "$port"; then break; fi
  stop_tgtd
done
[ -n "$TGTD_PID" ] || skip_session "tgtd could not start: $(tail -n2 "$SESSION/tgtd.log" | tr '\n' ' ')"
echo "tgtd on 127.0.0.1:$port, control port $control"

iqn=iqn.2026-12.test.ondrelle:realkernel
adm() { tgtadm -C "$control" --lld iscsi "$@"; }
adm --op new --mode target --tid 1 -T "$iqn"
for lun in 1 2 3 4; do
  tgtimg --op new --device-type cd --type dvd+r --file "$SESSION/disc-$lun.img" >/dev/null
  adm --op new --mode logicalunit --tid 1 --lun "$lun" --device-type cd -b "$SESSION/disc-$lun.img"
done
adm --op bind --mode target --tid 1 -I 127.0.0.1

"$REALKERNEL_DIR/make-guest.sh" "$SESSION/guest.cpio" "$REALKERNEL_DIR/tgt-guest.sh" \
  --program "$cli" --tree "$SESSION/source" /guest/source --tree "$SESSION/VIDEO_TS" /guest/VIDEO_TS

on_host_event() {
  case "$1" in
    unplug) monitor "device_del $2" ;;
    *) fail_session "unknown request from the guest: $*" ;;
  esac
}

drives=()
for lun in 1 2 3 4; do
  drives+=(-drive "if=none,id=disc$lun,format=raw,cache=none,file=iscsi://127.0.0.1:$port/$iqn/$lun"
    -device "scsi-generic,drive=disc$lun,bus=scsi0.0,channel=0,scsi-id=$lun,lun=0,id=drive$lun")
done
boot_guest "$SESSION/guest.cpio" -device virtio-scsi-pci,id=scsi0 "${drives[@]}"
relay_session "${REALKERNEL_TIMEOUT:-1500}"
touch "$SESSION/complete"
