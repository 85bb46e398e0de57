#!/usr/bin/env bash
# The verify session: an image ondrelle-cli made on the host, in QEMU's IDE
# CD/DVD-ROM drive, is read back over SG_IO and compared with the folder it
# was made from; the second drive holds a copy of it with one byte changed
# in a file of a subfolder, which the comparison must find and name. The
# guest's copy of the folder keeps the files' times, so it builds the same
# image. Exit 77 when this machine cannot run QEMU.
#
#   verify-session.sh ONDRELLE_CLI SESSION_DIR
set -euo pipefail
REALKERNEL_DIR=$(cd "$(dirname "$0")" && pwd)
. "$REALKERNEL_DIR/harness.sh"

cli=${1:?usage: verify-session.sh ONDRELLE_CLI SESSION_DIR}
session_dir "${2:?usage: verify-session.sh ONDRELLE_CLI SESSION_DIR}"
require_guest_tools

# The byte to change sits at a known offset of notes/random.bin, after a
# marker that occurs nowhere else in the image.
mkdir -p "$SESSION/source/notes"
echo "a file to compare" >"$SESSION/source/readme.txt"
{
  head -c 70000 /dev/urandom
  printf 'CHANGE-THE-BYTE-AFTER-THIS-MARK:'
  head -c 100000 /dev/urandom
} >"$SESSION/source/notes/random.bin"
changed_in_file=$((70000 + 32))

ONDRELLE_VIRTUAL_WRITERS=none "$cli" image --source "$SESSION/source" --output "$SESSION/same.iso" \
  --no-rock-ridge --label VERIFYME >"$SESSION/image.log" 2>&1 || fail_session "image failed: $(cat "$SESSION/image.log")"
cp "$SESSION/same.iso" "$SESSION/changed.iso"
mark=$(LC_ALL=C grep -abo 'CHANGE-THE-BYTE-AFTER-THIS-MARK:' "$SESSION/changed.iso" | head -n1 | cut -d: -f1)
[ -n "$mark" ] || fail_session "the marker is not in the image"
at=$((mark + 32))
old=$(od -An -tu1 -j "$at" -N1 "$SESSION/changed.iso" | tr -d ' ')
printf "$(printf '\\%03o' $(((old + 1) % 256)))" | dd of="$SESSION/changed.iso" bs=1 seek="$at" conv=notrunc status=none
cmp -s "$SESSION/same.iso" "$SESSION/changed.iso" && fail_session "the byte did not change"
# What the check expects the comparison to name.
echo "$((at / 2048)) $changed_in_file" >"$SESSION/changed-at"

"$REALKERNEL_DIR/make-guest.sh" "$SESSION/guest.cpio" "$REALKERNEL_DIR/verify-guest.sh" \
  --program "$cli" --tree "$SESSION/source" /guest/source

on_host_event() {
  fail_session "unknown request from the guest: $*"
}

run_with_two_discs "$SESSION/guest.cpio" "$SESSION/same.iso" "$SESSION/changed.iso"
