#!/usr/bin/env bash
# Makes the fuzz targets' seed corpora from the test fixtures (the MPEG
# sources and VIDEO_TS folders the fixture scripts make) and the small text
# seeds kept beside this script.
# Usage: make-seeds.sh OUTPUT_FOLDER VIDEO_FIXTURES DVD_FIXTURES
set -euo pipefail
out=${1:?usage: make-seeds.sh OUTPUT_FOLDER VIDEO_FIXTURES DVD_FIXTURES}
video=${2:?}
dvd=${3:?}
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$out"
for target in mpeg_stream dvd_ifo dvd_folder cue_sheet writer_config iso_names joliet_names; do
  mkdir -p "$out/$target"
  if [ -d "$here/seeds/$target" ]; then cp "$here/seeds/$target"/* "$out/$target/" 2>/dev/null || true; fi
done

# MPEG: the first packs of each kind of source (a sector is 2324 bytes), and the damaged ones whole.
for f in vcd-pal vcd-ntsc svcd-pal svcd-ntsc vcd-48khz vcd-layer3 mpeg1-big-packs dvd-size; do
  [ -f "$video/$f.mpg" ] && head -c $((24 * 2324)) "$video/$f.mpg" >"$out/mpeg_stream/$f"
done
for f in truncated empty; do
  [ -f "$video/$f.mpg" ] && head -c 20000 "$video/$f.mpg" >"$out/mpeg_stream/$f"
done

# The information files as they are, for the IFO reader.
for folder in one-title two-titlesets; do
  for ifo in "$dvd/$folder/VIDEO_TS"/*.IFO; do
    [ -f "$ifo" ] && cp "$ifo" "$out/dvd_ifo/$folder-$(basename "$ifo")"
  done
done

# Whole VIDEO_TS folders in the folder target's archive form: per file its
# name's number, its size and its leading bytes (all of an IFO or BUP, the
# first sector of a VOB).
names=(VIDEO_TS.IFO VIDEO_TS.BUP VIDEO_TS.VOB VTS_01_0.IFO VTS_01_0.BUP VTS_01_0.VOB VTS_01_1.VOB
  VTS_01_2.VOB VTS_02_0.IFO VTS_02_0.BUP VTS_02_1.VOB vts_01_3.vob NOTES.TXT VTS_10_0.IFO)
le() {  # value, bytes
  local v=$1 n=$2 i
  for ((i = 0; i < n; i++)); do printf "\\x$(printf %02x $(((v >> (8 * i)) & 255)))"; done
}
for folder in one-title two-titlesets missing-bup vob-gap truncated-ifo; do
  [ -d "$dvd/$folder/VIDEO_TS" ] || continue
  seed="$out/dvd_folder/$folder"
  : >"$seed"
  for i in "${!names[@]}"; do
    file="$dvd/$folder/VIDEO_TS/${names[$i]}"
    [ -f "$file" ] || continue
    size=$(stat -c %s "$file")
    lead=$size
    case $file in *.VOB | *.vob) lead=2048 ;; esac
    [ "$lead" -le "$size" ] || lead=$size
    [ "$lead" -le 65535 ] || lead=65535
    { le "$i" 1; le "$size" 4; le "$lead" 2; head -c "$lead" "$file"; } >>"$seed"
  done
done

# Cue sheets: a data track (entries), and track lists of one, two and mixed modes.
# (First byte even: 8-byte entries; odd: tracks of flags, blocks and an optional pregap.)
{
  le 0 1
  printf '\x41\x00\x00\x14\x00\x00\x00\x00'  # lead-in
  printf '\x41\x01\x00\x10\x00\x00\x00\x00'  # track 1 index 0
  printf '\x41\x01\x01\x10\x00\x00\x02\x00'  # track 1 index 1 at 00:02:00
  printf '\x41\xaa\x01\x14\x00\x00\x20\x00'  # lead-out at 00:32:00
} >"$out/cue_sheet/entries-one-track"
{ le 1 1; le 0 1; le 300 4; } >"$out/cue_sheet/tracks-one"
{ le 1 1; le 0 1; le 1000 4; le 1 1; le 500 4; le 130 1; le 2000 4; le 0 4; } >"$out/cue_sheet/tracks-mixed"

# Names: the first byte of an ISO name seed says folder (bit 0), level 1
# (bit 1) and the collision counter (the rest); Joliet seeds are the name alone.
printf '\x00Holiday Photos' >"$out/iso_names/folder-level2"
printf '\x0enotes with a long name of many words.txt' >"$out/iso_names/file-level1-counter"
printf '\x00beach picture.jpeg;1' >"$out/iso_names/version"
printf '\x01caf\xc3\xa9 \xe2\x82\xac.tar.gz' >"$out/iso_names/utf8-folder"
printf 'a:b*c?d;e\\f/g\x01.txt' >"$out/joliet_names/forbidden"
printf '\xc3\x28\xe2\x82' >"$out/joliet_names/bad-utf8"

count=$(find "$out" -type f | wc -l)
echo "make-seeds: $count seeds in $out"
