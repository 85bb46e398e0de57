#!/usr/bin/env bash
# Runs a program and passes only when it ends with status 0 and its output
# (standard output and error, lines joined by spaces) matches a pattern.
# With --virtual-dir the virtual writers record into a folder of this run's own.
# Usage: expect_output.sh [--virtual-dir] EXTENDED_REGEX PROGRAM [ARGUMENTS...]
set -euo pipefail
if [ "${1:-}" = "--virtual-dir" ]; then
  shift
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export ONDRELLE_VIRTUAL_DIR="$work/virtual"
fi
pattern=$1
shift
status=0
out=$("$@" 2>&1) || status=$?
printf '%s\n' "$out"
[ "$status" -eq 0 ] || { echo "FAIL: $* ended with status $status" >&2; exit 1; }
printf '%s' "$out" | tr '\n' ' ' | grep -Eq -- "$pattern" || { echo "FAIL: no match for $pattern" >&2; exit 1; }
