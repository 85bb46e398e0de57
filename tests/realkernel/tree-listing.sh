# One line per folder, file and link under a folder, for comparing a tree
# with what a reader makes of it (sourced by bash on the host and by the
# guest's busybox sh): path, raw mode, owners, link count, size and
# modification time, and a link's target or a file's checksum. Folders'
# sizes are the file system's business and are left out.
#
#   tree_listing DIR
tree_listing() (
  cd "$1" || exit 1
  find . | LC_ALL=C sort | while IFS= read -r path; do
    [ "$path" = . ] && continue
    # shellcheck disable=SC2046
    set -- $(stat -c '%f %u %g %h %s %Y' "$path")
    if [ -L "$path" ]; then
      echo "$path $1 $2 $3 $4 - $6 -> $(readlink "$path")"
    elif [ -d "$path" ]; then
      echo "$path $1 $2 $3 $4 - $6"
    else
      echo "$path $1 $2 $3 $4 $5 $6 $(md5sum <"$path" | cut -d' ' -f1)"
    fi
  done
)
