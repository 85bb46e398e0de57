#!/usr/bin/env bash
# image --kind dvd and burn --kind dvd on VIDEO_TS folders whose information
# files promise more than the folder holds: refused with the file and the
# bytes in question, no output replaced, the disc left blank, the folder
# untouched. Files that are no part of the structure are a warning each.
# Usage: dvd_folder_checks.sh path/to/ondrelle-cli DVD_FIXTURES_DIR
# Exit status 77 (a skip) when the fixtures could not be made.
set -euo pipefail
cli=$(realpath "$1")
fixtures=$2
if [ ! -e "$fixtures/.complete" ] || [ ! -d "$fixtures/one-title" ]; then
  echo "no DVD fixtures: dvdauthor or ffmpeg missing" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual"
export ONDRELLE_VIRTUAL_WRITERS="dvd+r"

fail() { echo "FAIL: $*" >&2; exit 1; }
state() { (cd "$1" && find . -type f -printf '%p %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort); }
copy() {  # fixture name -> a fresh copy's VIDEO_TS
  rm -rf "$work/src/$1"
  mkdir -p "$work/src/$1"
  cp -r "$fixtures/$1/VIDEO_TS" "$work/src/$1/"
  echo "$work/src/$1/VIDEO_TS"
}
grouped() { echo "$1" | rev | sed -E 's/([0-9]{3})/\1,/g; s/,$//' | rev; }
u32() { od -An -tu4 --endian=big -j "$2" -N4 "$1" | tr -d ' '; }
put32() {  # file offset value: writes the number big-endian, in the IFO and its BUP alike
  local f
  for f in "$1" "${1%.IFO}.BUP"; do
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($3 >> 24 & 255)) $(($3 >> 16 & 255)) $(($3 >> 8 & 255)) $(($3 & 255)))" |
      dd of="$f" bs=1 seek="$2" conv=notrunc status=none
  done
}

mkdir -p "$work/out"
echo "the old image" >"$work/out/old.iso"
refused() {  # folder, expected text
  local before status=0
  before=$(state "$1")
  "$cli" image --kind dvd --source "$1" --output "$work/out/old.iso" >"$work/log" 2>&1 || status=$?
  [ "$status" -eq 1 ] || { cat "$work/log"; fail "image of $1 ended with $status, not 1"; }
  grep -qF -- "$2" "$work/log" || { cat "$work/log"; fail "image: no \"$2\""; }
  [ "$(cat "$work/out/old.iso")" = "the old image" ] || fail "$1 replaced the old image"
  [ "$(ls -A "$work/out")" = "old.iso" ] || fail "$1 left $(ls -A "$work/out")"

  status=0
  "$cli" burn --kind dvd --device CdRom16 --source "$1" >"$work/log" 2>&1 || status=$?
  [ "$status" -ne 0 ] || { cat "$work/log"; fail "burn of $1 succeeded"; }
  grep -qF -- "$2" "$work/log" || { cat "$work/log"; fail "burn: no \"$2\""; }
  ! ls "$work/virtual"/*.iso >/dev/null 2>&1 || fail "something was recorded from $1"
  [ "$(state "$1")" = "$before" ] || fail "$1 changed"
}

# A title VOB cut short on a sector boundary, then emptied.
cut=$(copy one-title)
size=$(stat -c %s "$cut/VTS_01_1.VOB")
kept=$((size / 2048 / 2 * 2048))
truncate -s "$kept" "$cut/VTS_01_1.VOB"
refused "$cut" \
  "VTS_01_1.VOB is cut short: it ends $(grouped $((size - kept))) bytes before the last cell that VTS_01_0.IFO points to"
truncate -s 0 "$cut/VTS_01_1.VOB"
refused "$cut" "VTS_01_1.VOB is cut short: it ends $(grouped "$size") bytes before the last cell"

# One byte of the title set's start in VIDEO_TS.IFO (and its BUP): 32 GiB of zeros.
far=$(copy one-title)
at=$(($(u32 "$far/VIDEO_TS.IFO" $((0xC4))) * 2048 + 16))
put32 "$far/VIDEO_TS.IFO" "$at" $(($(u32 "$far/VIDEO_TS.IFO" "$at") + (1 << 24)))
refused "$far" "VIDEO_TS.IFO puts VTS_01_0.IFO 34,359,738,368 bytes past the end of the files before it"
# A title set's last sector pushed on: its backup a terabyte away.
far=$(copy one-title)
put32 "$far/VTS_01_0.IFO" 12 $(($(u32 "$far/VTS_01_0.IFO" 12) + (1 << 29)))
refused "$far" "VTS_01_0.IFO puts VTS_01_0.BUP 1,099,511,627,776 bytes past"

# Strays: left off the disc, each named in a warning line, and the image still made.
stray=$(copy one-title)
echo thumbnail >"$stray/Thumbs.db"
echo "[.ShellClassInfo]" >"$stray/desktop.ini"
stray_before=$(state "$stray")
"$cli" image --kind dvd --source "$stray" --output "$work/stray.iso" >"$work/log" 2>&1 ||
  { cat "$work/log"; fail "image of a folder with strays"; }
for name in Thumbs.db desktop.ini; do
  grep -qx "warning: $name in the VIDEO_TS folder is not part of the DVD-Video structure: it is left off the disc" \
    "$work/log" || { cat "$work/log"; fail "image: no warning for $name"; }
done
grep -q "Finished!" "$work/log" || fail "no Finished! line for the folder with strays"
isoinfo -f -i "$work/stray.iso" | grep -qi -e thumbs -e desktop && fail "a stray is on the image"
"$cli" burn --kind dvd --device CdRom16 --source "$stray" >"$work/log" 2>&1 ||
  { cat "$work/log"; fail "burn of a folder with strays"; }
grep -qx "warning: Thumbs.db in the VIDEO_TS folder is not part of the DVD-Video structure: it is left off the disc" \
  "$work/log" || { cat "$work/log"; fail "burn: no warning for Thumbs.db"; }
grep -qx 'Burning completed' "$work/log" || fail "no completion line for the folder with strays"
[ "$(state "$stray")" = "$stray_before" ] || fail "the folder with strays changed"
exit 0
