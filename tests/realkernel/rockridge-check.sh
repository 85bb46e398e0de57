#!/usr/bin/env bash
# The check of the Rock Ridge session (rockridge-session.sh): the guest's
# kernel mounted our image and lists the tree as the source has it, and as
# it lists genisoimage's image of the same tree.
#
#   rockridge-check.sh SESSION_DIR
# Exit 0 when it holds, 1 when it does not, 77 when the session was skipped here.
set -uo pipefail
session=${1:?usage: rockridge-check.sh SESSION_DIR}
results=$session/results
if [ -e "$session/skipped" ]; then
  cat "$session/skipped"
  exit 77
fi
[ -e "$session/complete" ] || { echo "the session in $session did not complete"; cat "$session/failed" 2>/dev/null; exit 1; }
for step in mount listing relocation mount-theirs listing-theirs; do
  rc=$(cat "$results/$step.rc" 2>/dev/null || echo missing)
  [ "$rc" = 0 ] || { echo "FAIL: $step ended with $rc"; cat "$results/$step.out" 2>/dev/null; exit 1; }
done
failures=0
# The kernel shows the relocation folder at the root like any folder; the tree under /tree holds no trace of it.
grep -qx rr_moved "$results/relocation.out" || { echo "FAIL: no relocation folder at the root"; failures=1; }
# This kernel's isofs keeps times in 32 bits: one after 2038 comes back 2^32 seconds early, whoever wrote it.
awk '{ if ($7 > 2147483647) $7 -= 4294967296; print }' "$session/source.list" >"$session/source-as-read.list"
if ! diff "$session/source-as-read.list" "$results/listing.out"; then
  echo "FAIL: the guest's kernel lists the tree otherwise than its source (<: source, >: our image)"
  failures=1
fi
# genisoimage counts 2100 as a leap year and records 1 January 2100 a day late; the rest must read alike.
if ! diff <(grep -v '^./future.txt ' "$results/listing-theirs.out") <(grep -v '^./future.txt ' "$results/listing.out"); then
  echo "FAIL: the guest's kernel lists our image otherwise than genisoimage's (<: genisoimage, >: ours)"
  failures=1
fi
[ "$failures" = 0 ] || exit 1
echo "ok: $(wc -l <"$session/source.list") names alike"
