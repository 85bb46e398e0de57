# Guest script of the CD-ROM session (sourced by the guest's init, busybox
# sh, with guest-lib.sh's helpers): QEMU's IDE CD/DVD-ROM drives, sr0 with
# a data disc, sr1 empty, both on the second ATA channel.
# Only the drives of the partners: no virtual writers beside them.
export ONDRELLE_VIRTUAL_WRITERS=none
wait_path /dev/sr1 120 || say "no /dev/sr1 after 120 s"
run scsi-devices ls /sys/bus/scsi/devices
run devices-by-name ondrelle-cli devices --all
run devices-by-address ondrelle-cli devices --all --transport aspi
run devices-writers ondrelle-cli devices
run speeds ondrelle-cli speeds --device CdRom0
run burn-cdrom ondrelle-cli burn --kind data --device CdRom0 --source /guest/source --mode tao
run burn-cdrom-by-address ondrelle-cli burn --kind data --device 1:0:0:0 --source /guest/source --mode tao
run burn-no-disc ondrelle-cli burn --kind data --device CdRom1 --source /guest/source --mode tao
run speeds-no-disc ondrelle-cli speeds --device CdRom1

# The tray opens under the program's feet, and a new disc comes in.
host eject disc0
run after-eject ondrelle-cli devices --all
host change disc0 other
run after-reload ondrelle-cli devices --all

# A disc arrives between the scan and the burn: the burn judges the disc
# in the drive now, not the one the scan saw.
run scan-before-change ondrelle-cli devices --all
host change disc1 data
run burn-after-change ondrelle-cli burn --kind data --device CdRom1 --source /guest/source --mode tao
