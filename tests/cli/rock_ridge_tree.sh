# The tree the Rock Ridge checks write and read back (sourced by bash):
# what ISO 9660 alone cannot hold, deep folders, long paths and names,
# names equal but for case, links of every kind, hard links, set-ID and
# unreadable modes, dates before 1970 and after 2038.
#
#   make_rock_ridge_tree DIR [BYTES]   makes DIR; sets LONG_NAME to its long
#                                      name of BYTES (odd, default 255) bytes
make_rock_ridge_tree() {
  local src=$1 bytes=${2:-255} deep long c level
  deep="$src"
  for level in $(seq 1 12); do deep="$deep/level$level"; done
  mkdir -p "$deep" "$src/sub" "$src/sticky"
  echo bottom >"$deep/bottom.txt"
  long="$src"
  for c in a b c d e; do long="$long/$(printf "$c%.0s" $(seq 200))"; done
  mkdir -p "$long" && echo end >"$long/end.txt"
  LONG_NAME="$(printf '\xc3\xa9%.0s' $(seq $(((bytes - 1) / 2))))x" # two-byte characters and one more
  echo long-name >"$src/$LONG_NAME"
  echo mixed >"$src/Case.txt" && echo upper >"$src/CASE.txt" && echo lower >"$src/case.txt"
  echo target >"$src/sub/target.txt"
  ln -s sub/target.txt "$src/relative"
  ln -s /etc/hostname "$src/absolute"
  ln -s nowhere/at/all "$src/dangling"
  ln -s loop-b "$src/loop-a" && ln -s loop-a "$src/loop-b"
  echo hard >"$src/hard-1" && ln "$src/hard-1" "$src/hard-2"
  printf '#!/bin/sh\n' >"$src/setuid" && chmod 4755 "$src/setuid"
  echo secret >"$src/unreadable" && chmod 000 "$src/unreadable"
  chmod 1777 "$src/sticky"
  echo 1960 >"$src/old.txt" && touch -d '1960-01-01 00:00:00 UTC' "$src/old.txt"
  echo 2100 >"$src/future.txt" && touch -d '2100-01-01 00:00:00 UTC' "$src/future.txt"
}
