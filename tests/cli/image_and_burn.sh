#!/usr/bin/env bash
# ondrelle-cli as users run it: an image of a folder and a burn of the same
# folder onto the virtual CD-R, both read back by standard readers.
# Usage: image_and_burn.sh path/to/ondrelle-cli
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual" ONDRELLE_VIRTUAL_WRITERS="cd-r"

mkdir -p "$work/src/Holiday Photos/2026" "$work/src/docs"
echo "first" > "$work/src/readme.txt"
head -c 300000 /dev/urandom > "$work/src/Holiday Photos/2026/beach picture.jpg"
head -c 70000 /dev/urandom > "$work/src/docs/notes with a long name of many words.txt"
head -c 1474560 /dev/zero > "$work/boot.img"

fail() { echo "FAIL: $*" >&2; exit 1; }
compare_files() {  # image, then how to extract one file to stdout
  local image=$1
  while IFS= read -r -d '' file; do
    local rel=${file#"$work"}
    isoinfo -J -i "$image" -x "$rel" | cmp -s - "$file" || fail "$rel differs in $image"
  done < <(find "$work/src" -type f -print0)
}

"$cli" image --source "$work/src" --output "$work/out.iso" --label HOLIDAY --boot "$work/boot.img" > "$work/image.log" \
  || { cat "$work/image.log"; fail "image command"; }
grep -q "Finished!" "$work/image.log" || fail "no Finished! line"
isoinfo -d -i "$work/out.iso" | grep -q "Volume id: HOLIDAY" || fail "volume id"
isoinfo -d -i "$work/out.iso" | grep -q "Joliet" || fail "no Joliet"
isoinfo -d -i "$work/out.iso" | grep -q "El Torito" || fail "no El Torito"
# The image names the program that made it, not where it is installed.
isoinfo -d -i "$work/out.iso" | grep -q "Data preparer id: ONDRELLE [0-9]" || fail "data preparer id"
isoinfo -d -i "$work/out.iso" | grep -q "Application id: ONDRELLE [0-9]" || fail "application id"
isoinfo -J -l -i "$work/out.iso" | grep -q "beach picture.jpg" || fail "Joliet name"
xorriso -indev "$work/out.iso" -find / 2>/dev/null | grep -q "notes with a long name" || fail "xorriso listing"
iso-info --no-header -l -i "$work/out.iso" | grep -qi "readme" || fail "iso-info listing"
if command -v 7z >/dev/null; then 7z l "$work/out.iso" | grep -q "beach picture.jpg" || fail "7z listing"; fi
# A source folder goes into the image as a folder of its own name.
compare_files "$work/out.iso"

"$cli" burn --kind data --device CdRom16 --source "$work/src/docs" "$work/src/readme.txt" --mode tao --label BURNT \
  > "$work/burn.log" || { cat "$work/burn.log"; fail "burn command"; }
grep -q "Burning completed" "$work/burn.log" || fail "no Burning completed line"
cue=$(ls "$work"/virtual/*.cue)
cd-info --no-header --cue-file "$cue" --iso9660 2>/dev/null | grep -q "BURNT" || fail "cd-info volume"

echo "ok"
