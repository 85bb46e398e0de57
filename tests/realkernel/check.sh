#!/usr/bin/env bash
# One check over a finished session (cdrom-session.sh or tgt-session.sh):
#
#   check.sh SESSION_DIR CASE
#
# Exit 0 when the case holds, 1 when it does not (with what was seen), 77
# when the session was skipped on this machine.
set -uo pipefail
session=${1:?usage: check.sh SESSION_DIR CASE}
case_name=${2:?usage: check.sh SESSION_DIR CASE}
results=$session/results

if [ -e "$session/skipped" ]; then
  cat "$session/skipped"
  exit 77
fi
[ -e "$session/complete" ] || { echo "the session in $session did not complete"; cat "$session/failed" 2>/dev/null; exit 1; }

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
output() { cat "$results/$1.out" 2>/dev/null; }
status() { cat "$results/$1.rc" 2>/dev/null || echo missing; }
show() { echo "--- $1 (exit $(status "$1"))"; output "$1"; }

# expect NAME STATUS REGEX...: the command ended with STATUS ("nonzero" for
# any failure that is not a hang) and its output matches every REGEX.
expect() {
  local name=$1 want=$2 got
  shift 2
  got=$(status "$name")
  case "$want" in
    nonzero) [ "$got" != 0 ] && [ "$got" != hung ] && [ "$got" != missing ] || fail "$name ended with $got" ;;
    *) [ "$got" = "$want" ] || fail "$name ended with $got, not $want" ;;
  esac
  local pattern
  for pattern in "$@"; do
    output "$name" | grep -Eq -- "$pattern" || fail "$name said nothing matching /$pattern/"
  done
}
refuse_pattern() {  # NAME REGEX: the output must not match
  ! output "$1" | grep -Eq -- "$2" || fail "$1 said /$2/"
}

# The files under IMAGE_DIR of an image as two readers see them, against a
# source folder: the same names, the same bytes.
same_tree() {  # IMAGE IMAGE_DIR SOURCE_DIR [joliet|iso9660]
  local image=$1 dir=$2 source=$3 names=${4:-joliet} out listing f version="" flags=(-J)
  # A DVD-Video disc carries no Joliet names: its ISO 9660 names end in ";1".
  [ "$names" = iso9660 ] && flags=() && version=";1"
  out=$(mktemp -d "$session/read.XXXXXX")
  xorriso -osirrox on -indev "$image" -extract "$dir" "$out/xorriso" >"$out/xorriso.log" 2>&1 ||
    fail "xorriso cannot read $dir from $image"
  diff -r "$source" "$out/xorriso" >"$out/diff.log" 2>&1 || fail "xorriso reads other files from $image$dir than $source"
  listing=$(isoinfo "${flags[@]}" -f -i "$image" 2>/dev/null | sed "s/;1\$//") || fail "isoinfo cannot read $image"
  while IFS= read -r f; do
    f=$dir/${f#./}
    echo "$listing" | grep -Fxq "$f" || fail "isoinfo does not list $f in $image"
    cmp -s "$source/${f#"$dir"/}" <(isoinfo "${flags[@]}" -i "$image" -x "$f$version" 2>/dev/null) ||
      fail "isoinfo reads $f differently"
  done < <(cd "$source" && find . -type f)
}

case "$case_name" in
  # QEMU's CD/DVD-ROM drives.
  discovery)
    expect devices-by-name 0 '^CdRom0 .*CD-ROM .*REALDATA$' '^CdRom1 .*Empty$'
    expect devices-by-address 0 '^1:0:0:0 .*CD-ROM .*REALDATA$' '^1:0:1:0 .*Empty$'
    # A reading drive is no writer.
    expect devices-writers 0 'No CD/DVD writer found'
    refuse_pattern devices-writers '^(CdRom|1:0)'
    ;;
  probe)
    # Product, vendor and revision as the drive names itself.
    expect devices-by-name 0 '^CdRom0 +QEMU DVD-ROM +QEMU +[^ ]+ +CD-ROM'
    # A pressed disc has a size, and is not blank.
    expect devices-by-name 0 '^CdRom0 .*CD-ROM +[0-9.,]+ MB +REALDATA$'
    refuse_pattern devices-by-name 'Blank'
    ;;
  no-write-speeds)
    expect speeds 0 '^No write speeds'
    refuse_pattern speeds '0\.0x'
    ;;
  cd-rom-refused)
    expect burn-cdrom 1 'The disc in the drive is a CD-ROM and cannot be written'
    expect burn-cdrom-by-address 1 'The disc in the drive is a CD-ROM and cannot be written'
    ;;
  no-disc)
    expect burn-no-disc 1 'There is no disc in the drive'
    expect speeds-no-disc 0 '^No write speeds'
    ;;
  eject-and-reload)
    expect after-eject 0 '^CdRom0 .*Empty$'
    expect after-reload 0 '^CdRom0 .*OTHERDISC$'
    ;;
  medium-changed)
    expect scan-before-change 0 '^CdRom1 .*Empty$'
    expect burn-after-change 1 'The disc in the drive is a CD-ROM and cannot be written'
    refuse_pattern burn-after-change 'no disc'
    ;;

  # tgt's DVD+R drives.
  writers)
    expect devices 0 '^2:0:1:0 .*DVD\+R +.*Blank' '^2:0:4:0 .*DVD\+R'
    ;;
  data-burn)
    expect burn-data 0
    # The source folder is one entry at the root of the disc.
    same_tree "$session/disc-1.img" /source "$session/source"
    ;;
  dvd-video-burn)
    expect burn-dvd 0
    same_tree "$session/disc-2.img" /VIDEO_TS "$session/VIDEO_TS" iso9660
    backup=$(mktemp -d "$session/dvdbackup.XXXXXX")
    dvdbackup -M -i "$session/disc-2.img" -o "$backup" -n DISC >"$backup.log" 2>&1 || fail "dvdbackup cannot read disc-2.img"
    for f in "$session"/VIDEO_TS/*; do
      cmp -s "$f" "$backup/DISC/VIDEO_TS/$(basename "$f")" || fail "dvdbackup reads $(basename "$f") differently"
    done
    ;;
  busy)
    expect burn-while-busy 1 'busy|in use'
    ;;
  signal)
    expect burn-signalled 130 'Burning cancelled'
    ;;
  unplugged)
    expect burn-unplugged nonzero '^error: [A-Za-z]'
    # The drive is gone, so releasing its tray fails: said once, as a whole line.
    [ "$(output burn-unplugged | grep -c 'CdvdWriter_Release() failed')" -le 1 ] || fail "burn-unplugged repeats the failed release"
    refuse_pattern burn-unplugged 'Release\(\) failed.*\\n'
    ;;

  # Images of ours in QEMU's drives, compared with their source folder.
  verify-same)
    expect verify-same 0 '^Verifying disc$' '^Disc verified: [1-9][0-9]* sectors compared, all equal$'
    ;;
  verify-changed)
    read -r sector byte <"$session/changed-at"
    expect verify-changed 1 "^error: .*differs .* at sector $sector, in file /source/notes/random\.bin at byte $byte([^0-9]|\$)"
    refuse_pattern verify-changed '^Disc verified'
    ;;
  *)
    echo "unknown case $case_name"
    exit 2
    ;;
esac

if [ "$failures" -gt 0 ]; then
  for f in "$results"/*.out; do show "$(basename "$f" .out)"; done
  exit 1
fi
echo ok
