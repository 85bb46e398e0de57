#!/usr/bin/env bash
# The CD-ROM session: boots the guest with QEMU's two IDE CD/DVD-ROM drives
# (one holding a data disc, one empty), runs cdrom-guest.sh in it and
# leaves each command's output and exit status in SESSION/results for the
# checks (check.sh). Exit 77 when this machine cannot run QEMU.
#
#   cdrom-session.sh ONDRELLE_CLI SESSION_DIR
set -euo pipefail
REALKERNEL_DIR=$(cd "$(dirname "$0")" && pwd)
. "$REALKERNEL_DIR/harness.sh"

cli=${1:?usage: cdrom-session.sh ONDRELLE_CLI SESSION_DIR}
session_dir "${2:?usage: cdrom-session.sh ONDRELLE_CLI SESSION_DIR}"
require_guest_tools
command -v genisoimage >/dev/null || fail_session "genisoimage is not installed"

mkdir -p "$SESSION/source/notes" "$SESSION/other"
echo "a file on a pressed disc" >"$SESSION/source/readme.txt"
head -c 100000 /dev/urandom >"$SESSION/source/notes/random.bin"
echo "the second disc" >"$SESSION/other/second.txt"
genisoimage -quiet -J -r -V REALDATA -o "$SESSION/data.iso" "$SESSION/source"
genisoimage -quiet -J -r -V OTHERDISC -o "$SESSION/other.iso" "$SESSION/other"

"$REALKERNEL_DIR/make-guest.sh" "$SESSION/guest.cpio" "$REALKERNEL_DIR/cdrom-guest.sh" \
  --program "$cli" --tree "$SESSION/source" /guest/source

on_host_event() {
  case "$1" in
    eject) monitor "eject -f $2" ;;
    change) monitor "change $2 $SESSION/$3.iso raw read-only" ;;
    *) fail_session "unknown request from the guest: $*" ;;
  esac
}

trap stop_guest EXIT
boot_guest "$SESSION/guest.cpio" \
  -drive "if=none,id=disc0,media=cdrom,readonly=on,format=raw,file=$SESSION/data.iso" \
  -device ide-cd,drive=disc0,bus=ide.1,unit=0,id=ide1-cd0 \
  -drive if=none,id=disc1,media=cdrom,readonly=on \
  -device ide-cd,drive=disc1,bus=ide.1,unit=1,id=ide1-cd1
relay_session "${REALKERNEL_TIMEOUT:-900}"
touch "$SESSION/complete"
