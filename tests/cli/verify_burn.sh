#!/usr/bin/env bash
# burn --verify on the virtual writers: data discs (CD-R and DVD+R), a Video
# CD and a DVD-Video disc are read back and pass with their log lines; a data
# block or an MPEG sector recorded with changed bytes fails the burn, naming
# the sector and the file; a test burn has nothing to verify; a signal
# cancels the read-back.
# Usage: verify_burn.sh path/to/ondrelle-cli VIDEO_FIXTURES_DIR DVD_FIXTURES_DIR
set -euo pipefail
# shellcheck source=burn_scratch.sh
source "$(dirname "$0")/burn_scratch.sh" "$@"
skip_without isoinfo
need_fixtures vcd-ntsc.mpg dvd
make_data_source
head -c 70000 /dev/urandom >"$work/src/notes.txt"
before=$(cd "$work/src" && find . -type f -exec md5sum {} + | sort)

run() {  # log name, then the command's arguments; the exit status is kept in $status
  local name=$1; shift
  status=0
  "$cli" "$@" >"$work/$name.log" 2>&1 || status=$?
}
expect_verified() {  # log name
  [ "$status" -eq 0 ] || { cat "$work/$1.log"; fail "$1 failed"; }
  grep -qx 'Verifying disc' "$work/$1.log" || { cat "$work/$1.log"; fail "$1: no \"Verifying disc\""; }
  grep -qE '^Disc verified: [1-9][0-9]* sectors compared, all equal$' "$work/$1.log" \
    || { cat "$work/$1.log"; fail "$1: no verified line"; }
  grep -qx 'Burning completed' "$work/$1.log" || { cat "$work/$1.log"; fail "$1: no completion"; }
  rm -rf "$work/virtual"
}

# Verified burns of every kind pass.
for writer in cd-r dvd+r; do
  ONDRELLE_VIRTUAL_WRITERS=$writer run "data-$writer" burn --kind data --device CdRom16 --source "$work/src" \
    --mode tao --verify
  expect_verified "data-$writer"
done
ONDRELLE_VIRTUAL_WRITERS=cd-r run vcd burn --kind vcd --device CdRom16 --source "$fixtures/vcd-ntsc.mpg" --verify
# Where the MPEG track begins, for the corrupt block below (the image starts at block 0).
start=$(awk '/TRACK 02/ { two = 1 } two && /INDEX 01/ { split($3, t, ":"); print (t[1] * 60 + t[2]) * 75 + t[3]; exit }' \
  "$work"/virtual/*.cue)
[ -n "$start" ] || { cat "$work"/virtual/*.cue; fail "no second track in the Video CD's cue sheet"; }
expect_verified vcd
ONDRELLE_VIRTUAL_WRITERS=dvd+r run dvd burn --kind dvd --device CdRom16 --source "$dvd/one-title" --verify
expect_verified dvd

# Without --verify nothing is read back.
ONDRELLE_VIRTUAL_WRITERS=cd-r run plain burn --kind data --device CdRom16 --source "$work/src" --mode tao
[ "$status" -eq 0 ] || { cat "$work/plain.log"; fail "plain burn"; }
grep -q 'erif' "$work/plain.log" && { cat "$work/plain.log"; fail "a burn without --verify verified"; }
rm -rf "$work/virtual"

# A test burn writes nothing, so there is nothing to read back.
ONDRELLE_VIRTUAL_WRITERS=cd-r run test burn --kind data --device CdRom16 --source "$work/src" --mode tao --verify --test
[ "$status" -eq 0 ] || { cat "$work/test.log"; fail "test burn"; }
grep -q 'nothing to verify' "$work/test.log" || { cat "$work/test.log"; fail "test burn: no word on the verify"; }
grep -qx 'Verifying disc' "$work/test.log" && fail "a test burn was read back"
rm -rf "$work/virtual"

# The block three of beach.jpg lies in, by the image of the same sources
# (the same tree, laid out as on the disc from block 0).
"$cli" image --source "$work/src" --output "$work/planned.iso" >"$work/image.log" 2>&1 \
  || { cat "$work/image.log"; fail "image"; }
extent=$(isoinfo -l -i "$work/planned.iso" | sed -n 's/.*\[ *\([0-9][0-9]*\) [0-9]*\] *BEACH\.JPG;1 *$/\1/p')
[ -n "$extent" ] || { isoinfo -l -i "$work/planned.iso"; fail "no extent for beach.jpg"; }
lba=$((extent + 2))

for writer in cd-r dvd+r; do
  ONDRELLE_VIRTUAL_WRITERS="$writer,fault=corrupt@$lba" run "corrupt-$writer" burn --kind data --device CdRom16 \
    --source "$work/src" --mode tao --verify
  log="$work/corrupt-$writer.log"
  [ "$status" -ne 0 ] || { cat "$log"; fail "$writer: a corrupt block passed the verify"; }
  grep -qx 'Verifying disc' "$log" || { cat "$log"; fail "$writer: not verified"; }
  grep -q "Emberline_CdvdWriter_Verify() failed.*$lba" "$log" || { cat "$log"; fail "$writer: the sector is not named"; }
  grep -q "Emberline_CdvdWriter_Verify() failed.*beach\.jpg" "$log" \
    || { cat "$log"; fail "$writer: the file is not named"; }
  grep -q 'do not trust it' "$log" || { cat "$log"; fail "$writer: the disc is not called untrustworthy"; }
  grep -qx 'Burning completed' "$log" && { cat "$log"; fail "$writer: a failed verify completed"; }
  # The disc is closed and ejected all the same: it holds what was written.
  ls "$work/virtual"/* >/dev/null 2>&1 || fail "$writer: nothing was recorded"
  rm -rf "$work/virtual"
done

# The same on a Video CD: an MPEG sector recorded with changed bytes, named
# by the disc's file that holds it.
lba=$((start + 20))
ONDRELLE_VIRTUAL_WRITERS="cd-r,fault=corrupt@$lba" run corrupt-vcd burn --kind vcd --device CdRom16 \
  --source "$fixtures/vcd-ntsc.mpg" --verify
log="$work/corrupt-vcd.log"
[ "$status" -ne 0 ] || { cat "$log"; fail "vcd: a corrupt MPEG sector passed the verify"; }
grep -q "Emberline_CdvdWriter_Verify() failed.*$lba.*MPEGAV/AVSEQ01\.DAT" "$log" \
  || { cat "$log"; fail "vcd: the sector and the file are not named"; }
grep -q 'do not trust it' "$log" || { cat "$log"; fail "vcd: the disc is not called untrustworthy"; }
grep -qx 'Burning completed' "$log" && { cat "$log"; fail "vcd: a failed verify completed"; }
rm -rf "$work/virtual"

# A signal during the read-back cancels it as it cancels a write: the disc,
# written whole, is closed and ejected, and the exit status tells the signal.
head -c 6000000 /dev/urandom >"$work/big.bin"
ONDRELLE_VIRTUAL_WRITERS="cd-r,latency=30" "$cli" burn --kind data --device CdRom16 --source "$work/big.bin" \
  --mode tao --verify >"$work/cancel.log" 2>&1 &
pid=$!
for _ in $(seq 1200); do grep -qx 'Verifying disc' "$work/cancel.log" && break; sleep 0.05; done
kill -INT "$pid"
status=0
wait "$pid" || status=$?
log="$work/cancel.log"
[ "$status" -eq 130 ] || { cat "$log"; fail "a cancelled verify ended with $status"; }
grep -qx 'Verify cancelled: the disc was written but not read back' "$log" || { cat "$log"; fail "no word on the cancel"; }
grep -qx 'Closing session' "$log" || { cat "$log"; fail "the cancelled verify left the session open"; }
grep -q 'Disc verified' "$log" && { cat "$log"; fail "the verify went on"; }
ls "$work/virtual"/*.cue >/dev/null 2>&1 || fail "the cancelled verify's disc was not ejected"
rm -rf "$work/virtual"

[ "$(cd "$work/src" && find . -type f -exec md5sum {} + | sort)" = "$before" ] || fail "a source changed"
echo "verify_burn: all passed"
