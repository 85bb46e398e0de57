#!/usr/bin/env bash
# ondrelle-cli's data images and burns carry Rock Ridge: a tree ISO 9660
# alone cannot hold (deep folders, long paths and names, links, modes, old
# and far dates) comes back from the image, the virtual CD-R and the virtual
# DVD+R as the source has it, and as genisoimage -J -r makes it.
# Usage: rock_ridge.sh path/to/ondrelle-cli       (exit 0 pass, 77 skip)
set -euo pipefail
cli=$1
for tool in xorriso isoinfo isovfy genisoimage; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is missing"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual" ONDRELLE_VIRTUAL_WRITERS="cd-r;dvd+r"
fail() { echo "FAIL: $*" >&2; exit 1; }

src="$work/src/tree"
# shellcheck source=rock_ridge_tree.sh
source "$(dirname "$0")/rock_ridge_tree.sh"
make_rock_ridge_tree "$src"
name=$LONG_NAME
# The listings are compared with their times: the image's root takes the
# recording time, the tree its folders' times, and the links are made again
# below, so all of them are put at one moment, the recording time too.
stamp=$(date +%s)
export SOURCE_DATE_EPOCH=$stamp
settle_times() {
  touch -h -d "@$stamp" "$src/dangling" "$src/loop-a" "$src/loop-b"
  touch -d "@$stamp" "$src" "$work/src"
}
settle_times

# What a reader sees: every name with its type, mode, size, time and link
# target (the relocation folder is the writers' business, not the tree's).
listing() {
  xorriso -indev "$1" -find / -exec lsdl 2>/dev/null | grep -v "'/rr_moved" |
    awk '{ if (substr($1, 1, 1) == "d") $5 = "-"; $2 = "-"; print }' | sort
}
# The files' contents as one reader extracts them.
contents() {
  rm -rf "$work/x" && xorriso -osirrox on -indev "$1" -extract /tree "$work/x" >/dev/null 2>&1 || fail "extract $1"
  (cd "$work/x" && find . -type f -exec md5sum {} + | sort -k2)
}

"$cli" image --source "$src" --output "$work/ours.iso" --label TREE > "$work/image.log" \
  || { cat "$work/image.log"; fail "image command"; }
genisoimage -quiet -J -r -V TREE -o "$work/theirs.iso" "$work/src" 2>/dev/null || fail "genisoimage"
listing "$work/theirs.iso" > "$work/theirs.list"
listing "$work/ours.iso" > "$work/ours.list"
# genisoimage records 2100-01-01 as 2 January (it counts 2100 as a leap year): that line is checked against the source.
grep -v "future.txt" "$work/theirs.list" | diff - <(grep -v "future.txt" "$work/ours.list") >&2 \
  || fail "xorriso lists the image otherwise than genisoimage's"
(cd "$src" && find . -type f -exec md5sum {} + | sort -k2) > "$work/source.sums"
contents "$work/ours.iso" | diff "$work/source.sums" - >&2 || fail "extracted contents differ from the source"
for dated in old.txt future.txt; do
  [ "$(stat -c %Y "$work/x/$dated")" = "$(stat -c %Y "$src/$dated")" ] || fail "$dated has another time than its source"
done
isovfy "$work/ours.iso" 2>&1 | grep -q "No errors found" || { isovfy "$work/ours.iso" >&2; fail "isovfy"; }
isoinfo -R -l -i "$work/ours.iso" > "$work/isoinfo.list"
for expected in "dangling -> nowhere/at/all" "loop-a -> loop-b" "absolute -> /etc/hostname" "$name" bottom.txt end.txt; do
  grep -qF -- "$expected" "$work/isoinfo.list" || fail "isoinfo -R does not list $expected"
done
if command -v iso-info >/dev/null; then
  # iso-info reads no continuation areas: it sees the start of a long name, as with genisoimage's image.
  iso-info --no-joliet --no-header -l -i "$work/ours.iso" > "$work/iso-info.list" || fail "iso-info"
  for expected in "${name:0:20}" bottom.txt end.txt CASE.txt "dangling -> nowhere/at/all"; do
    grep -qF -- "$expected" "$work/iso-info.list" || fail "iso-info does not list $expected"
  done
fi

# 7z reads the Joliet names where there are any: names equal but for case
# as the source has them, names past Joliet's 64 characters cut there (as
# genisoimage -J -r cuts them, the extension kept), links as empty files;
# what it lists and extracts is what it takes from genisoimage's image.
if command -v 7z >/dev/null; then
  listing_7z() {  # path, folder (+/-) and size of each entry
    7z l -slt "$1" | awk '/^Path = /{ p = substr($0, 8) } /^Folder = /{ f = $3 } /^Size = /{ s = $3 }
      /^$/{ if (p != "") print p " " f " " s; p = "" }' | grep -v "^rr_moved" | tail -n +2 | LC_ALL=C sort
  }
  joliet_path() {  # each name of a path as Joliet holds it: 64 characters at most
    perl -CSD -ne 'chomp; print join("/", map {
        my $n = $_; if (length($n) > 64) { my $d = rindex($n, "."); my $e = $d > 0 ? substr($n, $d) : "";
        $n = length($e) > 0 && length($e) <= 16 ? substr($n, 0, 64 - length($e)) . $e : substr($n, 0, 64) } $n
      } split m{/}), "\n"'
  }
  listing_7z "$work/ours.iso" > "$work/7z-ours.list"
  listing_7z "$work/theirs.iso" | diff - "$work/7z-ours.list" >&2 || fail "7z lists the image otherwise than genisoimage's"
  (cd "$work/src" && find tree \( -type d -printf '%p +\n' \) -o \( -type f -printf '%p - %s\n' \) \
    -o -printf '%p - 0\n') | sed 's/ +$/ + /' | while IFS= read -r line; do
    printf '%s %s\n' "$(printf '%s\n' "${line% [-+] *}" | joliet_path)" "${line##*[^-+] }"
  done | LC_ALL=C sort > "$work/7z-source.list"
  diff "$work/7z-source.list" "$work/7z-ours.list" >&2 || fail "7z lists other names than the source's"
  rm -rf "$work/7z" && 7z x -o"$work/7z" "$work/ours.iso" >/dev/null || fail "7z cannot extract the image"
  (cd "$src" && find . -type f -exec md5sum {} + | joliet_path | LC_ALL=C sort -k2) > "$work/7z-source.sums"
  (cd "$work/7z/tree" && find . -type f -size +0 -exec md5sum {} + | LC_ALL=C sort -k2) |
    diff "$work/7z-source.sums" - >&2 || fail "7z extracts other contents than the source's"
fi

# The switches: owners and modes kept, links followed, Rock Ridge left out.
"$cli" image --keep-owners --source "$src" --output "$work/kept.iso" > /dev/null || fail "image --keep-owners"
xorriso -indev "$work/kept.iso" -find /tree/setuid -exec lsdl 2>/dev/null | grep -q -- "^-rwsr-xr-x" \
  || fail "--keep-owners lost the set-user-ID bit"
"$cli" image --no-rock-ridge --source "$src/level1" --output "$work/plain.iso" > "$work/plain.log" 2>&1 \
  && fail "an image without Rock Ridge took folders deeper than ISO 9660's levels"
grep -q "lies deeper than the 8 levels" "$work/plain.log" || { cat "$work/plain.log"; fail "refusal text"; }
status=0
"$cli" image --no-rock-ridge --keep-owners --source "$src" --output "$work/plain.iso" 2> "$work/both.log" || status=$?
[ "$status" = 2 ] || fail "--no-rock-ridge with --keep-owners was not refused as a bad command line"
[ ! -e "$work/plain.iso" ] || fail "a refused command left an image behind"
rm -f "$src/dangling" "$src/loop-a" "$src/loop-b"
"$cli" image --follow-links --source "$src" --output "$work/followed.iso" > /dev/null || fail "image --follow-links"
isoinfo -R -l -i "$work/followed.iso" | grep -q "relative ->" && fail "--follow-links kept a link"
ln -s nowhere/at/all "$src/dangling"
ln -s loop-b "$src/loop-a" && ln -s loop-a "$src/loop-b"
settle_times

# The same tree burned onto the virtual CD-R and DVD+R reads back the same.
"$cli" burn --kind data --device CdRom16 --source "$src" --mode tao --label TREE > "$work/cd.log" \
  || { cat "$work/cd.log"; fail "burn onto the CD-R"; }
bin=$(ls "$work"/virtual/*.bin)
cue=$(ls "$work"/virtual/*.cue)
cd_iso="$work/cd.iso"
if grep -q "MODE1/2352" "$cue"; then
  # The 2048 bytes of user data after each raw sector's 16-byte header (perl is part of every Debian).
  perl -e 'binmode STDIN; binmode STDOUT; while (read(STDIN, $s, 2352) == 2352) { print substr($s, 16, 2048) }' \
    < "$bin" > "$cd_iso"
else
  cp "$bin" "$cd_iso"
fi
listing "$cd_iso" | diff "$work/ours.list" - >&2 || fail "the CD-R lists otherwise than the image"
contents "$cd_iso" | diff "$work/source.sums" - >&2 || fail "the CD-R's contents differ from the source"
rm -f "$work"/virtual/*
"$cli" burn --kind data --device CdRom17 --source "$src" --mode tao --label TREE > "$work/dvd.log" \
  || { cat "$work/dvd.log"; fail "burn onto the DVD+R"; }
dvd_iso=$(ls "$work"/virtual/*.iso)
listing "$dvd_iso" | diff "$work/ours.list" - >&2 || fail "the DVD+R lists otherwise than the image"
contents "$dvd_iso" | diff "$work/source.sums" - >&2 || fail "the DVD+R's contents differ from the source"
command -v 7z >/dev/null || { echo "skip: 7z is missing (package p7zip-full); everything else passed"; exit 77; }
exit 0
