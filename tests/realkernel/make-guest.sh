#!/usr/bin/env bash
# Builds the guest's initramfs: busybox, the kernel's own SCSI, CD-ROM, ATA
# and virtio modules (in dependency order), the programs given with every
# library they load, the guest's init and the script it runs.
#
#   make-guest.sh OUT.cpio GUEST_SCRIPT [--program PATH]... [--tree HOST_DIR GUEST_DIR]... [--module NAME]...
#
# Programs land under /opt/bin by their base name, with their libraries at
# the paths ldd names; a tree is copied whole (sources to burn, say).
# The kernel is the one the modules come from: print it with --kernel.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

kernel_image() {
  local k
  k=$(ls /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n1)
  [ -n "$k" ] || return 1
  echo "$k"
}

if [ "${1:-}" = "--kernel" ]; then
  kernel_image
  exit
fi

out=${1:?usage: make-guest.sh OUT.cpio GUEST_SCRIPT [--program PATH]... [--tree HOST_DIR GUEST_DIR]...}
script=${2:?usage: make-guest.sh OUT.cpio GUEST_SCRIPT ...}
shift 2

kernel=$(kernel_image) || { echo "make-guest: no kernel in /boot" >&2; exit 1; }
release=${kernel#/boot/vmlinuz-}
moddir=/lib/modules/$release

root=$(mktemp -d "${out}.root.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root"/{bin,dev,proc,sys,tmp,run,opt/bin,opt/lib,lib/modules} "$root/guest"

# busybox-static's binary is /bin/busybox; a dynamic one would need its libraries.
[ -x /bin/busybox ] || { echo "make-guest: busybox-static not installed" >&2; exit 1; }
cp /bin/busybox "$root/bin/busybox"

# Modules: each wanted one after everything it depends on (modules.dep
# lists the dependencies of a module, deepest last).
wanted=(scsi_mod sr_mod sg cdrom libata ata_piix virtio_pci virtio_scsi)
# A session may ask for more (--module NAME: a file system to mount, say).
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
  [ "${args[i]}" = --module ] && wanted+=("${args[i + 1]}")
done
declare -A placed=()
order=()
dep_line() { grep -E "(^|/)$1\.ko(\.[a-z]+)?:" "$moddir/modules.dep" | head -n1; }
place() {
  local name=$1 line path deps d
  [ -n "${placed[$name]:-}" ] && return
  line=$(dep_line "$name") || true
  if [ -z "$line" ]; then
    # Built into the kernel: nothing to load.
    grep -qE "/$name\.ko" "$moddir/modules.builtin" 2>/dev/null && { placed[$name]=1; return; }
    echo "make-guest: module $name not found in $moddir" >&2
    exit 1
  fi
  path=${line%%:*}
  deps=${line#*:}
  for d in $deps; do
    d=${d##*/}
    d=${d%%.ko*}
    place "$d"
  done
  placed[$name]=1
  order+=("$path")
}
for m in "${wanted[@]}"; do place "$m"; done
: >"$root/guest/modules"
for path in "${order[@]}"; do
  base=${path##*/}
  case "$base" in
    *.ko.xz) xz -dc "$moddir/$path" >"$root/lib/modules/${base%.xz}" ;;
    *.ko.zst) zstd -qdc "$moddir/$path" >"$root/lib/modules/${base%.zst}" ;;
    *.ko.gz) gzip -dc "$moddir/$path" >"$root/lib/modules/${base%.gz}" ;;
    *) cp "$moddir/$path" "$root/lib/modules/$base" ;;
  esac
  base=${base%.xz}
  base=${base%.zst}
  base=${base%.gz}
  echo "$base" >>"$root/guest/modules"
done

copy_with_parents() {  # a host file to the same path in the guest, links followed
  mkdir -p "$root$(dirname "$1")"
  cp -L "$1" "$root$1"
}

while [ $# -gt 0 ]; do
  case "$1" in
    --program)
      program=$2
      shift 2
      [ -x "$program" ] || { echo "make-guest: $program is not a program" >&2; exit 1; }
      cp -L "$program" "$root/opt/bin/$(basename "$program")"
      # ldd prints "name => path (addr)" and the loader as "path (addr)".
      while read -r lib; do
        [ -n "$lib" ] && [ -e "$lib" ] || continue
        copy_with_parents "$lib"
        # Also where the guest's library path finds it: a build folder under
        # /tmp is hidden by the guest's own /tmp.
        cp -L "$lib" "$root/opt/lib/"
      done < <(ldd "$program" | awk '/=>/ { print $3; next } /^\t\// { print $1 }')
      ;;
    --module)
      shift 2
      ;;
    --tree)
      mkdir -p "$root$3"
      cp -a "$2/." "$root$3/"
      shift 3
      ;;
    *)
      echo "make-guest: unknown argument $1" >&2
      exit 1
      ;;
  esac
done
# The guest holds every file in memory, twice while it unpacks: the
# debug information of a sanitized build would fill it (a DVD session's
# guest grew past 300 MB and its init died for want of memory).
find "$root" -type f \( -name '*.so*' -o -path "$root/opt/bin/*" \) -exec strip --strip-debug {} + 2>/dev/null || true
# The loader's own path when it is a link (/lib64 -> usr/lib64 on merged systems).
for loader in /lib64/ld-linux-x86-64.so.2; do
  [ -e "$loader" ] && copy_with_parents "$loader"
done

cp "$here/guest-init.sh" "$root/init"
cp "$here/guest-lib.sh" "$root/guest/lib.sh"
cp "$script" "$root/guest/script.sh"
chmod +x "$root/init"

(cd "$root" && find . -print0 | cpio --null -o -H newc --quiet) >"$out.tmp"
mv "$out.tmp" "$out"
