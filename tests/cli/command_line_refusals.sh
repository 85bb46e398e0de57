#!/usr/bin/env bash
# A command line that could mean two things, or holds an option a command
# does not know, is refused with status 2 before any drive is opened or any
# file written: a doubled --device or --kind would otherwise send a burn to
# a drive, or make a disc, the user did not choose.
# Usage: command_line_refusals.sh path/to/ondrelle-cli
set -euo pipefail
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual"
export ONDRELLE_VIRTUAL_WRITERS='cd-r;dvd+r'
mkdir -p "$work/src"
echo "notes" > "$work/src/notes.txt"
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
# refused "expected text" args...: status 2, the text on stderr, nothing recorded.
refused() {
  local expected=$1; shift
  local status=0
  "$cli" "$@" > out.txt 2> err.txt || status=$?
  [ $status = 2 ] || { cat out.txt err.txt; fail "$*: status $status, not 2"; }
  grep -qF -- "$expected" err.txt || { cat err.txt; fail "$*: no \"$expected\""; }
  if ls "$work/virtual"/*.bin "$work/virtual"/*.iso >/dev/null 2>&1; then fail "$*: a disc was recorded"; fi
  if ls "$work"/*.iso >/dev/null 2>&1; then fail "$*: an image was written"; fi
}

# Doubled options of one value.
refused "--device is given more than once" burn --kind data --device CdRom16 --device CdRom17 --source src --mode tao
refused "--kind is given more than once" burn --kind data --kind vcd --device CdRom16 --source src --mode tao
refused "--mode is given more than once" burn --kind data --device CdRom16 --source src --mode tao --mode sao
refused "--speed is given more than once" burn --kind data --device CdRom16 --source src --mode tao --speed 4 --speed 48
refused "--label is given more than once" burn --kind data --device CdRom16 --source src --mode tao --label A --label B
refused "--device is given more than once" speeds --device CdRom16 --device CdRom17
refused "--transport is given more than once" devices --transport spti --transport aspi

# Options a command does not take.
refused 'unknown option "--bogus"' devices --bogus
refused 'unknown option "--verbose"' devices --all --verbose
refused 'unknown option "--speed"' speeds --device CdRom16 --speed 4
refused 'unknown option "extra"' speeds extra --device CdRom16

# An empty output name names no file.
refused "image needs --output FILE.iso" image --source src --output ""
refused "image --kind dvd needs --output FILE.iso" image --kind dvd --source src --output ""

# What stays accepted: --all may be given twice, the order of options is free.
"$cli" devices --all --all > out.txt || fail "devices --all --all"
grep -q CdRom16 out.txt || fail "devices --all --all lists no writer"
"$cli" speeds --device CdRom16 > out.txt || fail "speeds --device CdRom16"
grep -q "48.0x" out.txt || fail "speeds lists no 48x"
echo "command-line refusals: all checks passed"
