#!/usr/bin/env bash
# burn --kind vcd, svcd and dvd from the command line onto the virtual
# writers: the discs pass the Video CD and DVD readers, refusals come with
# the wizard's texts and leave the disc blank, and the source is never changed.
# Usage: video_burn.sh path/to/ondrelle-cli FIXTURES_DIR DVD_FIXTURES_DIR
set -euo pipefail
# shellcheck source=burn_scratch.sh
source "$(dirname "$0")/burn_scratch.sh" "$@"
export ONDRELLE_VIRTUAL_WRITERS="cd-r;dvd+r"
need_fixtures vcd-pal.mpg
cp "$fixtures/vcd-ntsc.mpg" "$fixtures/svcd-pal.mpg" "$fixtures/text.txt" "$work/"
before=$(cd "$work" && md5sum ./*.mpg ./*.txt)
blank() { ! ls "$work/virtual"/*.cue >/dev/null 2>&1 || fail "something was recorded: $1"; }
refused() {  # expected text, then the command's arguments
  local want=$1; shift
  if "${program:-$cli}" "$@" >"$work/out.log" 2>&1; then cat "$work/out.log"; fail "not refused: $*"; fi
  grep -qF -- "$want" "$work/out.log" || { cat "$work/out.log"; fail "no \"$want\" for: $*"; }
  blank "$*"
}

refused 'Specified file cannot be found' burn --kind vcd --device CdRom16 --source "$work/none.mpg"
refused 'Please insert blank CD-R or CD-RW media!' burn --kind svcd --device CdRom17 --source "$work/svcd-pal.mpg"
refused 'Please insert blank DVD-R, DVD+R, DVD-RW, DVD+RW media!' burn --kind dvd --device CdRom16 --source "$work"
# A source that cannot be burned is refused by the source page's check, in
# its words, before the burn starts.
refused 'This file is MPEG-2, which a Video CD cannot carry' burn --kind vcd --device CdRom16 --source "$work/svcd-pal.mpg"
grep -q "Burning started" "$work/out.log" && fail "an MPEG-2 Video CD source was refused after Burning started"
refused 'cannot be burned as a Super Video CD (not an MPEG program stream)' \
  burn --kind svcd --device CdRom16 --source "$work/text.txt"
grep -q "Burning started" "$work/out.log" && fail "a text file was refused after Burning started"
mkdir "$work/odd"
mkfifo "$work/odd/pipe.mpg"  # nobody writes to it: opening it to read would wait for good
refused 'it is not a regular file' burn --kind vcd --device CdRom16 --source "$work/odd/pipe.mpg"
: >"$work/odd/empty.mpg"
refused 'cannot be burned as a Video CD (the file is empty)' burn --kind vcd --device CdRom16 --source "$work/odd/empty.mpg"
mkdir "$work/odd/plain"
refused 'cannot be burned as a DVD-Video disc' burn --kind dvd --device CdRom17 --source "$work/odd/plain"
refused 'is for data discs' burn --kind vcd --device CdRom16 --source "$work/vcd-ntsc.mpg" --mode tao

# Without its template beside the program the burn is refused before it starts;
# with a damaged one the library refuses it, naming the file.
mkdir "$work/bare"
cp "$cli" "$work/bare/ondrelle-cli"
program="$work/bare/ondrelle-cli"
refused "Can't find video template $work/bare/Emberline_VideoCD.iso" \
  burn --kind vcd --device CdRom16 --source "$work/vcd-ntsc.mpg"
head -c 53248 /dev/zero >"$work/bare/Emberline_VideoCD.iso"
refused "the video template $work/bare/Emberline_VideoCD.iso is damaged" \
  burn --kind vcd --device CdRom16 --source "$work/vcd-ntsc.mpg"
unset program

# A test burn records nothing and says it completed.
"$cli" burn --kind vcd --device CdRom16 --source "$work/vcd-ntsc.mpg" --test >"$work/out.log" 2>&1 \
  || { cat "$work/out.log"; fail "test burn"; }
grep -qx 'Burning completed' "$work/out.log" || fail "no completion line after the test burn"
grep -qx 'Closing session' "$work/out.log" && fail "a test burn closed the session"
blank "test burn"

# Real burns, read back by the Video CD reader.
check_disc() {  # source, expected detection text
  "$cli" burn --kind "$1" --device CdRom16 --source "$work/$2" --speed 4 >"$work/out.log" 2>&1 \
    || { cat "$work/out.log"; fail "burn --kind $1"; }
  grep -qx 'Burning completed' "$work/out.log" || fail "no completion line for $1"
  cue=$(ls "$work/virtual"/*.cue)
  info=$(cd "$work/virtual" && vcd-info -B --cue-file="$(basename "$cue")" 2>&1)
  echo "$info" | grep -qF "$3" || { echo "$info"; fail "$1 not detected"; }
  echo "$info" | grep -qF 'Album VideoCD' || { echo "$info"; fail "$1 without its album id"; }
  rm -f "$work/virtual"/*.cue "$work/virtual"/*.bin
}
check_disc vcd vcd-ntsc.mpg 'VCD 2.0 detected'
check_disc svcd svcd-pal.mpg 'SVCD detected'

[ "$(cd "$work" && md5sum ./*.mpg ./*.txt)" = "$before" ] || fail "a source changed"

# DVD-Video from a VIDEO_TS folder onto the virtual DVD+R: a bad folder is
# refused with what it lacks and the disc stays blank; a good one plays.
dvd_blank() { ! ls "$work/virtual"/*.iso >/dev/null 2>&1 || fail "something was recorded: $1"; }
[ -d "$dvd/one-title" ] || fail "no VIDEO_TS folders in $dvd (build the dvd-fixtures target)"
"$cli" burn --kind dvd --device CdRom17 --source "$dvd/missing-bup" >"$work/out.log" 2>&1 \
  && { cat "$work/out.log"; fail "a folder without its BUP was burned"; }
grep -qF 'BUP' "$work/out.log" || { cat "$work/out.log"; fail "the refusal does not name the missing BUP"; }
dvd_blank "bad folder"
dvd_sum=$(cd "$dvd/one-title" && find . -type f -exec md5sum {} + | sort)
"$cli" burn --kind dvd --device CdRom17 --source "$dvd/one-title" >"$work/out.log" 2>&1 \
  || { cat "$work/out.log"; fail "burn --kind dvd"; }
grep -qx 'Burning completed' "$work/out.log" || fail "no completion line for dvd"
titles() { lsdvd -x "$1" 2>/dev/null | grep -E '^Title|Chapter|Cell' || true; }
iso=$(ls "$work/virtual"/*.iso)
[ -n "$(titles "$dvd/one-title")" ] || fail "lsdvd reads no titles from the folder"
[ "$(titles "$iso")" = "$(titles "$dvd/one-title")" ] || fail "lsdvd sees other titles on the burned DVD"
[ "$(cd "$dvd/one-title" && find . -type f -exec md5sum {} + | sort)" = "$dvd_sum" ] || fail "the VIDEO_TS folder changed"
echo ok
