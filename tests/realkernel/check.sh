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

# The files of an image as the readers see them, against a source folder.
same_tree() {  # IMAGE SOURCE_DIR
  local out
  out=$(mktemp -d "$session/read.XXXXXX")
  xorriso -osirrox on -indev "$1" -extract / "$out/xorriso" >"$out/xorriso.log" 2>&1 || fail "xorriso cannot read $1"
  diff -r "$2" "$out/xorriso" >/dev/null || fail "xorriso reads from $1 other files than $2"
  local listing
  listing=$(isoinfo -J -f -i "$1" 2>/dev/null) || fail "isoinfo cannot read $1"
  local f
  while IFS= read -r f; do
    echo "$listing" | grep -Fxq "/${f#./}" || fail "isoinfo does not list /${f#./} in $1"
    cmp -s "$2/$f" <(isoinfo -J -i "$1" -x "/${f#./}" 2>/dev/null) || fail "isoinfo reads /${f#./} differently"
  done < <(cd "$2" && find . -type f)
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
    same_tree "$session/disc-1.img" "$session/source"
    ;;
  dvd-video-burn)
    expect burn-dvd 0
    same_tree "$session/disc-2.img" "$session/VIDEO_TS/.."
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
