#!/usr/bin/env bash
# The sessions skip, never pass, where QEMU is missing or cannot start, and
# their checks skip with them: both ways, each in a scratch folder of its own.
#
#   harness-skips.sh ONDRELLE_CLI
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:?usage: harness-skips.sh ONDRELLE_CLI}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/realkernel-skips.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0

expect_skip() {  # NAME QEMU REASON_PATTERN
  local out status
  out=$(REALKERNEL_QEMU=$2 "$here/cdrom-session.sh" "$cli" "$scratch/$1" 2>&1)
  status=$?
  if [ "$status" != 77 ]; then
    echo "FAIL: $1: the session ended with $status, not 77: $out"
    failures=$((failures + 1))
  elif ! grep -Eq "^skip: $3" <<<"$out"; then
    echo "FAIL: $1: no reason matching /$3/ in: $out"
    failures=$((failures + 1))
  fi
  "$here/check.sh" "$scratch/$1" discovery >/dev/null
  status=$?
  [ "$status" = 77 ] || { echo "FAIL: $1: a check after the skipped session ended with $status"; failures=$((failures + 1)); }
}

expect_skip missing "$scratch/no-such-emulator" ".*no-such-emulator is not installed"
# An emulator that ends at once with an error, as QEMU does where it cannot run.
printf '#!/bin/sh\necho "cannot run here" >&2\nexit 1\n' >"$scratch/broken-emulator"
chmod +x "$scratch/broken-emulator"
expect_skip broken "$scratch/broken-emulator" "QEMU could not start the guest \\(status 1\\)"

[ "$failures" = 0 ] && echo ok
