#!/usr/bin/env bash
# ondrelle-cli never harms the user's files: refusals and failures leave every
# source and any earlier output as they were, a second burn on a busy writer
# is refused at once, and a signal ends a burn with a closed, readable medium.
# Usage: data_safety.sh path/to/ondrelle-cli
set -euo pipefail
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual"

mkdir -p "$work/src/docs" "$work/src/Docs" "$work/other"
echo "first" > "$work/src/readme.txt"
echo "lower" > "$work/src/docs/a.txt"
echo "upper" > "$work/src/Docs/b.txt"
head -c 200000 /dev/urandom > "$work/src/data.bin"
head -c 1474560 /dev/zero > "$work/other/boot.img"
echo "not a boot image" > "$work/other/bad.img"

fail() { echo "FAIL: $*" >&2; exit 1; }
# Size, modification time and checksum of every file below the given paths.
snapshot() { find "$@" -type f -print0 | sort -z | xargs -0 stat -c '%n %s %Y' ; find "$@" -type f -print0 | sort -z | xargs -0 md5sum; }
before=$(snapshot "$work/src" "$work/other")
unchanged() { [ "$(snapshot "$work/src" "$work/other")" = "$before" ] || fail "a source changed: $1"; }
refused() {  # expected text, then the command's arguments
  local want=$1; shift
  if "$cli" "$@" > "$work/out.log" 2>&1; then cat "$work/out.log"; fail "not refused: $*"; fi
  grep -q -- "$want" "$work/out.log" || { cat "$work/out.log"; fail "no \"$want\" for: $*"; }
}

# The output is a source, or lies inside one (also through a link or a relative name).
refused 'is the source' image --source "$work/src/readme.txt" --output "$work/src/readme.txt"
refused 'lies inside the source' image --source "$work/src" --output "$work/src/docs/../out.iso"
ln -s "$work/src" "$work/link"
refused 'lies inside the source' image --source "$work/link" --output "$work/src/out.iso"
(cd "$work/src" && refused 'lies inside the source' image --source . --output disc.iso)
unchanged "output inside a source"
# A source named twice, or inside another, would put its files on the disc twice.
refused 'is named twice' image --source "$work/src" "$work/link" --output "$work/out.iso"
refused 'lies inside the source' image --source "$work/src" "$work/src/docs" --output "$work/out.iso"
export ONDRELLE_VIRTUAL_WRITERS="cd-r"
refused 'lies inside the source' burn --kind data --device CdRom16 --source "$work/src/docs" "$work/src" --mode tao
[ ! -e "$work/out.iso" ] || fail "a refused image left a file"
ls "$work/virtual"/*.bin >/dev/null 2>&1 && fail "a refused burn wrote an image"
unchanged "sources named twice"

# A failed image leaves the earlier one whole, and no partial file.
"$cli" image --source "$work/src" --output "$work/out.iso" > "$work/out.log" || { cat "$work/out.log"; fail "image"; }
good=$(md5sum < "$work/out.iso")
refused 'SetBootImage() failed' image --source "$work/src" --output "$work/out.iso" --boot "$work/other/bad.img"
[ "$(md5sum < "$work/out.iso")" = "$good" ] || fail "a failed image replaced the earlier one"
[ "$(ls -A "$work" | grep -c part)" = 0 ] || fail "a partial image was left behind"
unchanged "failed image"

# Folders that differ only in case stay two folders, and the rename is told
# (the ISO 9660 one: with Rock Ridge the Joliet names keep their case apart).
grep -q 'warning: The ISO 9660 name of .*docs.* is renamed to' "$work/out.log" || { cat "$work/out.log"; fail "no rename warning"; }
"$cli" image --no-rock-ridge --source "$work/src" --output "$work/plain.iso" > "$work/plain.log" || fail "plain image"
grep -q 'warning: The Joliet name of .*docs.* is renamed to' "$work/plain.log" || { cat "$work/plain.log"; fail "no Joliet rename warning without Rock Ridge"; }
rm -f "$work/plain.iso"
isoinfo -J -i "$work/out.iso" -x /src/Docs/b.txt | grep -q upper || fail "Docs lost"
isoinfo -J -l -i "$work/out.iso" | grep -q 'a.txt' || fail "docs lost"
[ "$(isoinfo -J -l -i "$work/out.iso" | grep -c 'Directory listing of /src/[Dd]ocs')" = 2 ] || fail "folders merged"
# A label is reduced to what each name space takes, with a warning.
"$cli" image --source "$work/src" --output "$work/label.iso" --label 'A:B*C' > "$work/out.log"
grep -q 'warning: The volume label "A:B\*C" is recorded as "A_B_C" in the Joliet' "$work/out.log" || fail "no label warning"

# Smaller refusals come before anything is written, in words.
refused 'needs a number such as 8' burn --kind data --device CdRom16 --source "$work/src" --mode tao --speed x8x
ONDRELLE_VIRTUAL_WRITERS="dvd+r" refused 'cannot be written Session-At-Once; it takes Track-At-Once$' \
  burn --kind data --device CdRom16 --source "$work/src" --mode sao
ONDRELLE_VIRTUAL_WRITERS="cd-r,test-write=0" refused 'cannot simulate a burn' \
  burn --kind data --device CdRom16 --source "$work/src" --mode tao --test
grep -q "Burning started" "$work/out.log" && fail "refused after Burning started"
ONDRELLE_VIRTUAL_WRITERS="cd-r,latency=600000" refused 'is too long' devices

# Disc-at-once of Mode 1 data: the cue sheet says what the sectors are.
for mode in dao-pq dao-raw; do
  rm -rf "$work/virtual"
  "$cli" burn --kind data --device CdRom16 --source "$work/src" --mode $mode > "$work/out.log" 2>&1 \
    || { cat "$work/out.log"; fail "$mode burn"; }
  grep -q "TRACK 01 MODE1/2352" "$work"/virtual/*.cue || fail "$mode cue: $(cat "$work"/virtual/*.cue)"
  cd-info --no-header --cue-file "$work"/virtual/*.cue 2>/dev/null | grep -q "CD-ROM with ISO 9660" || fail "$mode read back"
done

# Burns slow enough to be interrupted: started, then a signal once writing has begun.
start_burn() {  # writer spec, log
  ONDRELLE_VIRTUAL_WRITERS="$1" "$cli" burn --kind data --device CdRom16 --source "$work/src" --mode tao > "$2" 2>&1 &
  burn_pid=$!
  for _ in $(seq 100); do grep -q "Burning started" "$2" && return; sleep 0.1; done
  fail "the burn did not start: $(cat "$2")"
}
head -c 3000000 /dev/urandom > "$work/src/large.bin"

# A second burn on a busy writer is refused at once; the first one's image is whole.
rm -rf "$work/virtual"
start_burn "cd-r,realtime=1,speeds=1411" "$work/first.log"
refused 'device busy' burn --kind data --device CdRom16 --source "$work/src" --mode tao
wait $burn_pid || { cat "$work/first.log"; fail "the first burn"; }
[ "$(ls "$work"/virtual/*.cue | wc -l)" = 1 ] || fail "two images"
cd-info --no-header --cue-file "$work"/virtual/*.cue --iso9660 2>/dev/null | grep -q "large.bin" || fail "the first image"

# A signal cancels: the medium is closed and readable, the status is not 0.
for writer in cd-r dvd-r dvd+r dvd+rw; do
  rm -rf "$work/virtual"
  start_burn "$writer,realtime=1,speeds=700" "$work/burn.log"
  sleep 0.3
  kill -INT $burn_pid
  status=0; wait $burn_pid || status=$?
  [ $status = 130 ] || { cat "$work/burn.log"; fail "$writer: status $status after SIGINT"; }
  grep -q "Burning cancelled" "$work/burn.log" || fail "$writer: no Burning cancelled"
  if [ $writer = cd-r ]; then
    cd-info --no-header --cue-file "$work"/virtual/*.cue 2>/dev/null | grep -q "CD-ROM with ISO 9660" \
      || fail "$writer: cancelled disc unreadable"
  else
    isoinfo -d -i "$work"/virtual/*.iso | grep -q "Volume id: NEW" || fail "$writer: cancelled disc unreadable"
  fi
done
rm "$work/src/large.bin"

# A signal during an image leaves the earlier image as it was.
head -c 200000000 /dev/zero > "$work/other/huge.bin"
before=$(snapshot "$work/src" "$work/other")
"$cli" image --source "$work/other" --output "$work/out.iso" > "$work/image.log" 2>&1 &
image_pid=$!
for _ in $(seq 100); do grep -q "Need to save" "$work/image.log" && break; sleep 0.05; done
kill -INT $image_pid 2>/dev/null || true  # it may have finished already
status=0; wait $image_pid || status=$?
if grep -q "Finished!" "$work/image.log"; then
  echo "note: the image was finished before the signal came"
else
  [ $status != 0 ] || fail "a cancelled image reported success"
  [ "$(md5sum < "$work/out.iso")" = "$good" ] || fail "a cancelled image replaced the earlier one"
fi
[ "$(ls -A "$work" | grep -c part)" = 0 ] || fail "a partial image was left behind"
unchanged "signal"

echo "ok"
