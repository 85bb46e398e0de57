#!/usr/bin/env bash
# The Rock Ridge session: ondrelle-cli writes an image of a tree ISO 9660
# alone cannot hold (tests/cli/rock_ridge_tree.sh) with the sources' owners
# and modes, genisoimage -J -R one of the same tree; QEMU's two CD/DVD-ROM
# drives hold them, and the guest's kernel mounts each and lists its tree
# (tree-listing.sh). The source's listing lies beside the guest's for
# rockridge-check.sh. Exit 77 when this machine cannot run QEMU.
#
#   rockridge-session.sh ONDRELLE_CLI SESSION_DIR
set -euo pipefail
REALKERNEL_DIR=$(cd "$(dirname "$0")" && pwd)
. "$REALKERNEL_DIR/harness.sh"
. "$REALKERNEL_DIR/tree-listing.sh"
. "$REALKERNEL_DIR/../cli/rock_ridge_tree.sh"

cli=${1:?usage: rockridge-session.sh ONDRELLE_CLI SESSION_DIR}
session_dir "${2:?usage: rockridge-session.sh ONDRELLE_CLI SESSION_DIR}"
require_guest_tools
command -v genisoimage >/dev/null || fail_session "genisoimage is not installed"

# The kernel's isofs gives up a name at 254 bytes: the longest it reads whole is 253.
make_rock_ridge_tree "$SESSION/source/tree" 253
tree_listing "$SESSION/source/tree" >"$SESSION/source.list"
ONDRELLE_VIRTUAL_WRITERS=none "$cli" image --keep-owners --source "$SESSION/source/tree" \
  --output "$SESSION/tree.iso" --label TREE >"$SESSION/image.log" 2>&1 ||
  fail_session "ondrelle-cli image failed: $(cat "$SESSION/image.log")"
genisoimage -quiet -J -R -V TREE -o "$SESSION/theirs.iso" "$SESSION/source" 2>"$SESSION/genisoimage.log" ||
  fail_session "genisoimage failed: $(cat "$SESSION/genisoimage.log")"

mkdir -p "$SESSION/extra"
cp "$REALKERNEL_DIR/tree-listing.sh" "$SESSION/extra/"
"$REALKERNEL_DIR/make-guest.sh" "$SESSION/guest.cpio" "$REALKERNEL_DIR/rockridge-guest.sh" \
  --module isofs --tree "$SESSION/extra" /guest/extra

on_host_event() {
  fail_session "unknown request from the guest: $*"
}

run_with_two_discs "$SESSION/guest.cpio" "$SESSION/tree.iso" "$SESSION/theirs.iso"
