#!/usr/bin/env bash
# ondrelle-cli image --kind dvd as users run it: the image of each good
# VIDEO_TS fixture read by the DVD readers, the broken folders refused with
# what they lack, no output written or replaced for them, and the sources
# never touched.
# Usage: dvd_image.sh path/to/ondrelle-cli path/to/dvd-fixtures
set -euo pipefail
cli=$1
fixtures=$2
if [ ! -e "$fixtures/.complete" ] || [ ! -d "$fixtures/one-title" ]; then
  echo "skipped: no DVD fixtures (dvdauthor or ffmpeg missing)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_WRITERS=none ONDRELLE_VIRTUAL_DIR="$work/virtual"

fail() { echo "FAIL: $*" >&2; exit 1; }
checksums() { (cd "$fixtures" && find . -type f -print0 | sort -z | xargs -0 md5sum; find . -printf '%p %T@\n' | sort); }
titles() { lsdvd -x "$1" 2>/dev/null | grep -E '^Title|Chapter|Cell' || true; }
before=$(checksums)

for good in one-title two-titlesets; do
  # The folder that holds VIDEO_TS, and VIDEO_TS itself, make the same disc.
  for source in "$fixtures/$good" "$fixtures/$good/VIDEO_TS"; do
    out="$work/$good.iso"
    rm -f "$out"
    "$cli" image --kind dvd --source "$source" --output "$out" --label HOLIDAY > "$work/log" 2>&1 ||
      { cat "$work/log"; fail "image of $source"; }
    grep -q "Finished!" "$work/log" || fail "no Finished! line for $source"
    [ $(($(stat -c %s "$out") % 2048)) -eq 0 ] || fail "$out is not whole sectors"
    isoinfo -d -i "$out" | grep -q "Volume id: HOLIDAY" || fail "ISO volume id of $good"
    isoinfo -d -i "$out" | grep -q "Publisher id: EMBERLINE" || fail "ISO publisher of $good"
    udfinfo "$out" 2>&1 | grep -q "^label=HOLIDAY" || fail "UDF label of $good"
    udfinfo "$out" 2>&1 | grep -q "^owner=Emberline" || fail "UDF publisher of $good"
    [ -n "$(titles "$fixtures/$good")" ] || fail "lsdvd reads no titles from the folder $good"
    [ "$(titles "$out")" = "$(titles "$fixtures/$good")" ] || fail "lsdvd sees other titles in the image of $good"
    rm -rf "$work/backup"
    dvdbackup -M -n COPY -i "$out" -o "$work/backup" >/dev/null 2>&1 || true
    diff -r "$fixtures/$good/VIDEO_TS" "$work/backup/COPY/VIDEO_TS" >/dev/null || fail "dvdbackup of $good differs"
  done
done

# A label left out is the video disc's usual one.
"$cli" image --kind dvd --source "$fixtures/one-title" --output "$work/default.iso" >/dev/null 2>&1 || fail "no label"
isoinfo -d -i "$work/default.iso" | grep -q "Volume id: VIDEO" || fail "default label"

# Bad folders: refused with what they lack; an existing output stays as it was and nothing else appears.
mkdir -p "$work/no-manager" && cp -r "$fixtures/one-title/VIDEO_TS" "$work/no-manager/" &&
  rm "$work/no-manager/VIDEO_TS/VIDEO_TS.IFO"
mkdir -p "$work/out"
echo "the old image" > "$work/out/old.iso"
check_refused() {  # folder, expected text
  local status=0
  "$cli" image --kind dvd --source "$1" --output "$work/out/old.iso" > "$work/log" 2>&1 || status=$?
  [ "$status" -eq 1 ] || { cat "$work/log"; fail "$1 ended with $status, not 1"; }
  grep -qF "$2" "$work/log" || { cat "$work/log"; fail "$1: no \"$2\""; }
  [ "$(cat "$work/out/old.iso")" = "the old image" ] || fail "$1 replaced the old image"
  [ "$(ls -A "$work/out")" = "old.iso" ] || fail "$1 left $(ls -A "$work/out")"
}
check_refused "$fixtures/does-not-exist" "does not exist"
check_refused "$fixtures/empty" "is empty"
check_refused "$fixtures/not-a-folder" "is not a folder"
check_refused "$work/no-manager" "VIDEO_TS.IFO is missing"
check_refused "$fixtures/missing-bup" "VTS_01_0.BUP, the backup of VTS_01_0.IFO, is missing"
check_refused "$fixtures/vob-gap" "VTS_01_1.VOB is missing, though VTS_01_2.VOB is present"
check_refused "$fixtures/truncated-ifo" "VTS_01_0.IFO"

# The image may not go into the folder it is made of; a bad command line is status 2.
status=0
"$cli" image --kind dvd --source "$fixtures/one-title" --output "$fixtures/one-title/VIDEO_TS/x.iso" \
  > "$work/log" 2>&1 || status=$?
[ "$status" -eq 2 ] || { cat "$work/log"; fail "an output inside the source ended with $status"; }
status=0
"$cli" image --kind dvd --source "$fixtures/one-title" > "$work/log" 2>&1 || status=$?
[ "$status" -eq 2 ] && grep -q -- "--output" "$work/log" || fail "a missing --output"
status=0
"$cli" image --kind cd --source "$fixtures/one-title" --output "$work/x.iso" > "$work/log" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an unknown kind"

[ "$(checksums)" = "$before" ] || fail "the fixtures changed"
echo "ok"
