#!/usr/bin/env bash
# Every burn closes each track and each session exactly once. The virtual
# writer records each command it receives (trace=FILE); for every kind and
# write mode it has, the trace must show:
#   - no CLOSE TRACK/SESSION (5Bh) of the same track or session sent twice,
#     and none the drive refused (a close of something already closed);
#     the recording and the program never both close the session;
#   - one SYNCHRONIZE CACHE (35h) at most per close, and none after the
#     last close: nothing is flushed again once the disc is closed.
# Usage: close_once.sh path/to/ondrelle-cli VIDEO_FIXTURES_DIR DVD_FIXTURES_DIR
set -euo pipefail
# shellcheck source=burn_scratch.sh
source "$(dirname "$0")/burn_scratch.sh" "$@"
need_fixtures vcd-ntsc.mpg dvd
make_data_source

# burned NAME MEDIA ARGS...: burns with a traced writer and checks the
# closes in its trace.
burned() {
  local name=$1 media=$2
  shift 2
  local trace="$work/$name.trace"
  local status=0
  ONDRELLE_VIRTUAL_WRITERS="$media,trace=$trace" "$cli" burn --device CdRom16 "$@" >"$work/$name.log" 2>&1 ||
    status=$?
  [ "$status" -eq 0 ] || { cat "$work/$name.log"; fail "$name: the burn failed ($status)"; }
  grep -qx 'Burning completed' "$work/$name.log" || { cat "$work/$name.log"; fail "$name: no completion"; }
  # From the first write on: the writes, flushes and closes, one per line.
  awk '
    function hex(text,   i, n) {
      n = 0
      for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
      return n
    }
    /^2a/ { written = 1 }
    !written { next }
    /^2a/ { print "write"; next }
    /^35/ { print "sync " $2; next }
    /^5b/ {
      print "close " (hex(substr($1, 5, 2)) % 8) " " hex(substr($1, 9, 4)) " " $2
    }
  ' "$trace" >"$work/$name.closes"
  awk -v name="$name" '
    $1 == "write" { syncs = 0; afterLastClose = 0; next }
    $1 == "sync" {
      ++syncs; ++afterLastClose
      if (syncs > 1) { print name ": SYNCHRONIZE CACHE sent twice before one close"; bad = 1 }
      next
    }
    $1 == "close" {
      key = $2 " " $3
      if ($4 != "good") { print name ": close " key " refused (" $4 "): it was closed already"; bad = 1 }
      if (seen[key]++) { print name ": close " key " sent twice"; bad = 1 }
      syncs = 0; afterLastClose = 0; closes++
    }
    END {
      if (closes > 0 && afterLastClose > 0) { print name ": SYNCHRONIZE CACHE after the last close"; bad = 1 }
      exit bad
    }
  ' "$work/$name.closes" || { cat "$work/$name.closes"; fail "$name"; }
  rm -rf "$work/virtual"
}

data=(--kind data --source "$work/src")
for mode in tao sao dao-pq dao-raw; do
  burned "cd-r-$mode" cd-r "${data[@]}" --mode "$mode"
done
burned cd-r-tao-multisession cd-r "${data[@]}" --mode tao --multisession
burned cd-r-verified cd-r "${data[@]}" --mode tao --verify
for media in dvd-r dvd+r dvd+r-dl; do
  burned "$media-tao" "$media" "${data[@]}" --mode tao
done
burned dvd-r-sao dvd-r "${data[@]}" --mode sao
burned dvd+r-tao-multisession dvd+r "${data[@]}" --mode tao --multisession
burned dvd+rw-tao dvd+rw "${data[@]}" --mode tao
burned vcd cd-r --kind vcd --source "$fixtures/vcd-ntsc.mpg"
burned svcd cd-r --kind svcd --source "$fixtures/svcd-pal.mpg"
for media in dvd+r dvd-r; do
  burned "dvd-video-$media" "$media" --kind dvd --source "$dvd/one-title"
done
burned dvd-video-verified dvd+r --kind dvd --source "$dvd/one-title" --verify
echo "every track and session closed once"
