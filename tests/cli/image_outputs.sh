#!/usr/bin/env bash
# ondrelle-cli image writes only regular files: an output that is a device
# node, FIFO, socket or a link to one, or that is write-protected, is refused
# in words before any work, and it, its target and every source stay as they
# were. `image` needs no writer, so the virtual writers' setup plays no part
# in it; a DVD image takes one source and a clean UDF label; collision
# warnings name what the image holds.
# Usage: image_outputs.sh path/to/ondrelle-cli [path/to/dvd-fixtures]
# Exit status: 0 passed, 1 failed, 77 skipped.
set -euo pipefail
cli=$(realpath "$1")
fixtures=${2:-}
for tool in isoinfo udfinfo; do
  command -v $tool >/dev/null || { echo "skip: $tool is missing"; exit 77; }
done
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual"
unset ONDRELLE_VIRTUAL_WRITERS

fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir -p "$work/src/docs" "$work/out"
echo "first" > "$work/src/readme.txt"
head -c 100000 /dev/urandom > "$work/src/docs/data.bin"
dvd=
if [ -n "$fixtures" ] && [ -e "$fixtures/.complete" ] && [ -d "$fixtures/one-title/VIDEO_TS" ]; then
  dvd="$fixtures/one-title"
fi

# Size, modification time and checksum of every source file; type, target and
# device numbers of every output that is already there.
sources() { find "$work/src" ${dvd:+"$dvd"} -type f -print0 | sort -z | xargs -0 stat -c '%n %s %Y'
            find "$work/src" ${dvd:+"$dvd"} -type f -print0 | sort -z | xargs -0 md5sum; }
outputs() { find "$work/out" -print0 | sort -z | xargs -0 stat -c '%n %F %a %s %Y %t:%T %N'
            find "$work/out" -type f -print0 | sort -z | xargs -0 -r md5sum
            stat -c '%n %F %t:%T' /dev/null; }
before_sources=$(sources)

# One output refused by the data and the DVD image, with `want` in the text.
refused() {  # expected text, output
  local want=$1 output=$2 before
  before=$(outputs)
  local -a kinds=(data)
  [ -n "$dvd" ] && kinds+=(dvd)
  for kind in "${kinds[@]}"; do
    local -a run=(image --source "$work/src" --output "$output")
    [ $kind = dvd ] && run=(image --kind dvd --source "$dvd" --output "$output")
    if "$cli" "${run[@]}" > "$work/log" 2>&1; then cat "$work/log"; fail "$kind image into $output"; fi
    grep -q -- "$want" "$work/log" || { cat "$work/log"; fail "$kind image: no \"$want\" for $output"; }
    grep -q "Finished!" "$work/log" && fail "$kind image: Finished! for $output"
    [ "$(outputs)" = "$before" ] || fail "$kind image: the outputs changed for $output"
    [ -z "$(find "$work" -name '*.part')" ] || fail "$kind image: a partial file was left for $output"
  done
}

# Nodes that are not files, directly or through a link, are never replaced or
# written into. Root could replace /dev/null itself should the check fail, so
# root links to a null device node of its own.
null=/dev/null
if [ "$(id -u)" = 0 ]; then
  null="$work/out/null"
  mknod -m 666 "$null" c 1 3
fi
ln -s "$null" "$work/out/null.iso"
refused "\"$null\", which is a character device" "$work/out/null.iso"
[ -L "$work/out/null.iso" ] && [ -c "$null" ] && [ -c /dev/null ] || fail "the link to $null or the node changed"
mkfifo "$work/out/fifo.iso"
refused 'is a FIFO' "$work/out/fifo.iso"
[ -p "$work/out/fifo.iso" ] || fail "the FIFO is no FIFO any more"
ln -s fifo.iso "$work/out/to-fifo.iso"
refused 'which is a FIFO' "$work/out/to-fifo.iso"
if python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('$work/out/socket.iso')" 2>/dev/null; then
  refused 'is a socket' "$work/out/socket.iso"
  [ -S "$work/out/socket.iso" ] || fail "the socket is no socket any more"
fi
if [ "$(id -u)" = 0 ]; then
  mknod "$work/out/char.iso" c 1 3  # the null device, should it ever be opened
  mknod "$work/out/block.iso" b 7 250
  refused 'is a character device' "$work/out/char.iso"
  refused 'is a block device' "$work/out/block.iso"
  [ -c "$work/out/char.iso" ] && [ -b "$work/out/block.iso" ] || fail "a device node changed"
else
  echo "note: not root, no device nodes of our own"
fi

# A write-protected file, or one in a write-protected folder, as cp refuses it (root included).
echo "keep me" > "$work/out/protected.iso"
chmod 0444 "$work/out/protected.iso"
refused 'is write-protected' "$work/out/protected.iso"
mkdir "$work/out/locked"
echo "keep me too" > "$work/out/locked/old.iso"
chmod 0555 "$work/out/locked"
refused 'is write-protected' "$work/out/locked/old.iso"
refused 'is write-protected' "$work/out/locked/new.iso"
[ ! -e "$work/out/locked/new.iso" ] || fail "an image was made in a write-protected folder"
[ "$(sources)" = "$before_sources" ] || fail "a source changed"

# An ordinary file is still replaced, when the new image is whole.
echo "old" > "$work/out/plain.iso"
"$cli" image --source "$work/src" --output "$work/out/plain.iso" > "$work/log" 2>&1 || { cat "$work/log"; fail "plain image"; }
isoinfo -J -l -i "$work/out/plain.iso" | grep -q readme.txt || fail "the plain image is not the new one"

# `image` never touches the virtual writers: their folder is not made, and one
# that cannot be made (below a file) or none at all changes nothing.
"$cli" image --source "$work/src" --output "$work/out/a.iso" > "$work/log" 2>&1 || { cat "$work/log"; fail "image"; }
[ ! -e "$work/virtual" ] || fail "image made the virtual writers' folder"
for setting in "none" "cd-r;dvd+r"; do
  ONDRELLE_VIRTUAL_WRITERS=$setting ONDRELLE_VIRTUAL_DIR="$work/src/readme.txt/virtual" \
    "$cli" image --source "$work/src" --output "$work/out/b.iso" > "$work/log" 2>&1 ||
    { cat "$work/log"; fail "image with writers \"$setting\" whose folder cannot be made"; }
  if [ -n "$dvd" ]; then
    ONDRELLE_VIRTUAL_WRITERS=$setting ONDRELLE_VIRTUAL_DIR="$work/src/readme.txt/virtual" \
      "$cli" image --kind dvd --source "$dvd" --output "$work/out/c.iso" > "$work/log" 2>&1 ||
      { cat "$work/log"; fail "DVD image with writers \"$setting\" whose folder cannot be made"; }
  fi
done
# Without writers no folder is needed, whatever the command.
ONDRELLE_VIRTUAL_WRITERS=none "$cli" devices > "$work/log" 2>&1 || { cat "$work/log"; fail "devices without writers"; }
[ ! -e "$work/virtual" ] || fail "no writers, yet their folder was made"

# Collision warnings name the names written: case twins in one folder (renamed
# within one second, so the later ones need more than the time stamp) and two
# files of one name given as sources (a new ISO 9660 and so a new Joliet name).
mkdir -p "$work/twins/one" "$work/twins/two"
for name in report.doc Report.doc REPORT.doc rePort.doc; do echo "$name" > "$work/twins/one/$name"; done
echo one > "$work/twins/same.txt"
echo two > "$work/twins/two/same.txt"
"$cli" image --source "$work/twins/one" "$work/twins/same.txt" "$work/twins/two/same.txt" \
  --output "$work/out/twins.iso" > "$work/log" 2>&1 || { cat "$work/log"; fail "image of the twins"; }
names() { isoinfo "$@" -l -i "$work/out/twins.iso" | sed -n 's/.*\]  *//p' | sed 's/ *$//'; }
joliet=$(names -J)
iso=$(names)
renames=0
while IFS= read -r line; do
  name=${line##*renamed to \"}
  name=${name%\"}
  case $line in
    *"The Joliet name"*) grep -qxF -- "$name" <<< "$joliet" || fail "warned of the Joliet name \"$name\", not written: $joliet" ;;
    *"The ISO 9660 name"*) grep -qxF -- "$name;1" <<< "$iso" || fail "warned of the ISO 9660 name \"$name\", not written: $iso" ;;
    *) fail "an unexpected warning: $line" ;;
  esac
  renames=$((renames + 1))
done < <(grep 'collides with' "$work/log")
[ $renames -ge 5 ] || { cat "$work/log"; fail "$renames rename warnings for 4 Joliet and 2 ISO 9660 renames"; }

if [ -z "$dvd" ]; then
  echo "note: no DVD fixtures, the DVD image's own cases are left out"
  exit 0
fi
# A DVD image takes one source; a second one is refused, not dropped.
for run in "--source $dvd $work/src" "--source $dvd --source $work/src"; do
  # shellcheck disable=SC2086
  if "$cli" image --kind dvd $run --output "$work/out/two.iso" > "$work/log" 2>&1; then
    fail "a second source was taken: $run"
  fi
  grep -q "takes one --source" "$work/log" || { cat "$work/log"; fail "no reason for: $run"; }
  [ ! -e "$work/out/two.iso" ] || fail "an image was written for two sources"
done
# Control characters and those the Joliet label drops are cleaned from the UDF label too.
"$cli" image --kind dvd --source "$dvd" --output "$work/out/label.iso" --label $'HOLI\tDAY*:1' > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "DVD image with an awkward label"; }
udfinfo "$work/out/label.iso" 2>&1 | grep -qx 'label=HOLI_DAY__1' ||
  fail "UDF label: $(udfinfo "$work/out/label.iso" 2>&1 | grep label)"
[ "$(sources)" = "$before_sources" ] || fail "a source changed"
exit 0
