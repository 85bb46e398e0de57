#!/usr/bin/env bash
# verify: a disc pressed from an image of ours (a virtual CD-ROM drive holding
# it) compares equal with the folder it was made from; one changed byte is
# named by sector, file and offset; a disc made with another label, a blank
# disc and a bad command line fail with their own words and status.
# Usage: verify_disc.sh path/to/ondrelle-cli
set -euo pipefail
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual"

fail() { echo "FAIL: $*" >&2; exit 1; }
run() {  # log name, then the command's arguments; the exit status is kept in $status
  local name=$1; shift
  status=0
  "$cli" "$@" >"$work/$name.log" 2>&1 || status=$?
}
show() { cat "$work/$1.log" >&2; }

mkdir -p "$work/src/photos"
echo "first" >"$work/src/readme.txt"
{
  head -c 50000 /dev/urandom
  printf 'CHANGE-THE-BYTE-AFTER-THIS-MARK:'
  head -c 100000 /dev/urandom
} >"$work/src/photos/beach.jpg"

run image image --source "$work/src" --output "$work/same.iso" --no-rock-ridge --label CHECKME
[ "$status" -eq 0 ] || { show image; fail "image"; }
sleep 1  # a second later: the verify's tree must take the disc's date, not its own

ONDRELLE_VIRTUAL_WRITERS="dvd-rom,image=$work/same.iso" run same verify --device CdRom16 --source "$work/src" \
  --no-rock-ridge --label CHECKME
[ "$status" -eq 0 ] || { show same; fail "the disc made from the image does not compare equal"; }
grep -qx 'Verifying disc' "$work/same.log" || { show same; fail "no \"Verifying disc\""; }
grep -qE '^Disc verified: [1-9][0-9]* sectors compared, all equal$' "$work/same.log" || { show same; fail "no verified line"; }

# One byte of beach.jpg, right after the mark, changed in a copy of the image.
cp "$work/same.iso" "$work/changed.iso"
mark=$(LC_ALL=C grep -abo 'CHANGE-THE-BYTE-AFTER-THIS-MARK:' "$work/changed.iso" | head -n1 | cut -d: -f1)
[ -n "$mark" ] || fail "the mark is not in the image"
at=$((mark + 32))
printf 'Z' | dd of="$work/changed.iso" bs=1 seek="$at" conv=notrunc status=none
ONDRELLE_VIRTUAL_WRITERS="dvd-rom,image=$work/changed.iso" run changed verify --device CdRom16 \
  --source "$work/src" --no-rock-ridge --label CHECKME
[ "$status" -eq 1 ] || { show changed; fail "a changed byte ended with $status, not 1"; }
grep -qE "^error: .* at sector $((at / 2048)), in file /src/photos/beach\\.jpg at byte 50032([^0-9]|\$)" "$work/changed.log" \
  || { show changed; fail "the changed byte is not named by sector, file and offset"; }
grep -q '^Disc verified' "$work/changed.log" && { show changed; fail "a changed disc verified"; }

# Options other than the disc's build another image: its volume descriptors differ.
ONDRELLE_VIRTUAL_WRITERS="dvd-rom,image=$work/same.iso" run label verify --device CdRom16 --source "$work/src" \
  --no-rock-ridge --label OTHER
[ "$status" -eq 1 ] || { show label; fail "another label ended with $status"; }
grep -qE '^error: .* at sector 16, in the volume descriptors' "$work/label.log" || { show label; fail "label"; }

# A blank disc holds no volume to compare.
ONDRELLE_VIRTUAL_WRITERS=cd-r run blank verify --device CdRom16 --source "$work/src"
[ "$status" -eq 1 ] || { show blank; fail "a blank disc ended with $status"; }
grep -q '^Verifying disc' "$work/blank.log" && { show blank; fail "a blank disc was read back"; }

run usage verify --source "$work/src"
[ "$status" -eq 2 ] || { show usage; fail "verify without --device ended with $status"; }
grep -q 'verify needs --device' "$work/usage.log" || { show usage; fail "usage"; }
# Switches that contradict each other are refused as image and burn refuse them.
for kept in --keep-owners --follow-links; do
  run contradict verify --device CdRom16 --source "$work/src" --no-rock-ridge "$kept"
  [ "$status" -eq 2 ] || { show contradict; fail "--no-rock-ridge with $kept ended with $status"; }
  grep -q "ondrelle-cli: $kept needs Rock Ridge; leave out --no-rock-ridge" "$work/contradict.log" \
    || { show contradict; fail "--no-rock-ridge with $kept"; }
done
echo ok
