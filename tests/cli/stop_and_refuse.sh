#!/usr/bin/env bash
# A stop request reaches ondrelle-cli wherever it waits: while the writer is
# prepared (a slow drive, its ready wait) the run ends within a second with
# "Burning cancelled" and nothing written; a signal sent twice at once (as
# `timeout` sends it) is one request and the burn ends closed. A writer that
# cannot take the burn is refused with the cause in words for every kind.
# The sources are never changed.
# Usage: stop_and_refuse.sh path/to/ondrelle-cli VIDEO_FIXTURES_DIR
# Exits 0 when every check passes, 77 when something it needs is missing.
set -euo pipefail
cli=$(realpath "$1")
fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual"

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in timeout cd-info; do
  command -v $tool >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
[ -f "$fixtures/vcd-pal.mpg" ] || { echo "skipped: no MPEG sources in $fixtures"; exit 77; }

mkdir -p "$work/src"
cp "$fixtures/vcd-pal.mpg" "$work/movie.mpg"
echo "notes" > "$work/src/notes.txt"
head -c 10000000 /dev/urandom > "$work/src/large.bin"  # 14 s to write at 700 KB/s
snapshot() { find "$work/src" "$work/movie.mpg" -type f -print0 | sort -z | xargs -0 stat -c '%n %s %Y'
             find "$work/src" "$work/movie.mpg" -type f -print0 | sort -z | xargs -0 md5sum; }
before=$(snapshot)
unchanged() { [ "$(snapshot)" = "$before" ] || fail "a source changed: $1"; }
recorded() { ls "$work/virtual"/*.bin "$work/virtual"/*.iso >/dev/null 2>&1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
burn_args() {  # kind: sets args to the burn's arguments
  if [ "$1" = data ]; then args=(--kind data --device CdRom16 --source "$work/src" --mode tao)
  else args=(--kind vcd --device CdRom16 --source "$work/movie.mpg"); fi
}

# A signal while the writer is prepared ends the run within a second. With
# these latencies every command takes a second or five, and preparing takes
# minutes: each moment below falls in it (the ready wait comes early).
for latency in 1000 5000; do
  for kind in data vcd; do
    for after in 1.5 4; do
      rm -rf "$work/virtual"
      burn_args $kind
      ONDRELLE_VIRTUAL_WRITERS="cd-r,latency=$latency" "$cli" burn "${args[@]}" > "$work/burn.log" 2>&1 &
      pid=$!
      sleep $after
      kill -0 $pid 2>/dev/null || { cat "$work/burn.log"; fail "$kind, latency $latency: ended before the signal"; }
      sent=$(now_ms)
      kill -TERM $pid
      said=
      while kill -0 $pid 2>/dev/null; do
        [ -z "$said" ] && grep -q "Burning cancelled" "$work/burn.log" && said=$(($(now_ms) - sent))
        sleep 0.02
      done
      status=0; wait $pid || status=$?
      took=$(($(now_ms) - sent))
      what="$kind, latency $latency, signal after $after s"
      [ $status = 143 ] || { cat "$work/burn.log"; fail "$what: status $status"; }
      grep -q "Burning cancelled" "$work/burn.log" || { cat "$work/burn.log"; fail "$what: no Burning cancelled"; }
      [ "${said:-0}" -le 1000 ] || fail "$what: the run took $said ms to end"
      # The process itself is gone soon after; a sanitizer build spends about
      # half a second more at exit looking for leaks.
      [ $took -le 2000 ] || fail "$what: the process took $took ms to exit"
      grep -q "Burning started" "$work/burn.log" && fail "$what: the burn started"
      recorded && fail "$what: something was recorded"
    done
  done
done
unchanged "signal while preparing"

# `timeout` sends its signal to the program and again to its process group:
# one request. The burn is cancelled cleanly and the medium closed.
rm -rf "$work/virtual"
status=0
ONDRELLE_VIRTUAL_WRITERS="cd-r,realtime=1,speeds=700" \
  timeout --preserve-status -s INT 6 "$cli" burn --kind data --device CdRom16 --source "$work/src" --mode tao \
  > "$work/burn.log" 2>&1 || status=$?
grep -q "Burning started" "$work/burn.log" || { cat "$work/burn.log"; fail "timeout: the burn had not started"; }
[ $status = 130 ] || { cat "$work/burn.log"; fail "timeout: status $status"; }
grep -q "Burning cancelled" "$work/burn.log" || { cat "$work/burn.log"; fail "timeout: no Burning cancelled"; }
ls "$work"/virtual/*.cue >/dev/null 2>&1 || fail "timeout: the image has no cue sheet"
cd-info --no-header --cue-file "$work"/virtual/*.cue 2>/dev/null | grep -q "CD-ROM with ISO 9660" \
  || fail "timeout: the cancelled disc is unreadable"
unchanged "timeout"

# The same with the two signals a fifth of a second apart, so they cannot
# merge into one pending signal on the way, on a drive slow enough that the
# second comes while the first one's cancel is closing the medium.
rm -rf "$work/virtual"
ONDRELLE_VIRTUAL_WRITERS="cd-r,latency=100" \
  "$cli" burn --kind data --device CdRom16 --source "$work/src" --mode tao > "$work/burn.log" 2>&1 &
pid=$!
for _ in $(seq 600); do grep -q "Burning started" "$work/burn.log" && break; sleep 0.1; done
sleep 1
kill -INT $pid
sleep 0.2
kill -INT $pid 2>/dev/null || true
status=0; wait $pid || status=$?
[ $status = 130 ] || { cat "$work/burn.log"; fail "two signals: status $status"; }
grep -q "Burning cancelled" "$work/burn.log" || { cat "$work/burn.log"; fail "two signals: no Burning cancelled"; }
cd-info --no-header --cue-file "$work"/virtual/*.cue 2>/dev/null | grep -q "CD-ROM with ISO 9660" \
  || fail "two signals: the cancelled disc has no readable cue sheet"
unchanged "two signals"

# Refusals name the cause, for the data and the video kinds alike, before
# anything is written.
refused() {  # expected text, writer, kind, further arguments
  local want=$1 writer=$2 kind=$3; shift 3
  rm -rf "$work/virtual"
  burn_args "$kind"
  if ONDRELLE_VIRTUAL_WRITERS="$writer" "$cli" burn "${args[@]}" "$@" > "$work/out.log" 2>&1; then
    cat "$work/out.log"; fail "$kind on $writer: not refused"
  fi
  grep -qF -- "$want" "$work/out.log" || { cat "$work/out.log"; fail "$kind on $writer: no \"$want\""; }
  grep -q "Burning started" "$work/out.log" && fail "$kind on $writer: refused after Burning started"
  if recorded; then fail "$kind on $writer: something was recorded"; fi
}
for kind in data vcd; do
  refused "The drive is not ready" "cd-r,fault=not-ready" $kind
  refused "This drive cannot simulate a burn" "cd-r,test-write=0" $kind --test
  refused "The disc in the drive is closed" "cd-r,sessions=1" $kind
done
unchanged "refusals"

echo "ok"
