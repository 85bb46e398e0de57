# Guest script of the Rock Ridge session (sourced by the guest's init,
# busybox sh, with guest-lib.sh's helpers): the kernel's own file system
# driver mounts our image (sr0) and genisoimage's (sr1) and lists their trees.
. /guest/extra/tree-listing.sh
wait_path /dev/sr1 120 || say "no /dev/sr1 after 120 s"
mkdir -p /mnt/ours /mnt/theirs
run mount mount -t iso9660 -o ro /dev/sr0 /mnt/ours
run listing tree_listing /mnt/ours/tree
run relocation ls /mnt/ours
run mount-theirs mount -t iso9660 -o ro /dev/sr1 /mnt/theirs
run listing-theirs tree_listing /mnt/theirs/tree
umount /mnt/ours /mnt/theirs
