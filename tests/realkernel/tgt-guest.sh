# Guest script of the DVD+R session (busybox sh, guest-lib.sh's helpers):
# tgt's MMC drives with blank DVD+R discs on virtio-scsi, one per case, at
# 2:0:1:0 (data burn), 2:0:2:0 (DVD-Video burn), 2:0:3:0 (signal) and
# 2:0:4:0 (unplugged mid-burn).
# Only the drives of the partners: no virtual writers beside them.
export ONDRELLE_VIRTUAL_WRITERS=none
for t in 1 2 3 4; do
  wait_path "/sys/bus/scsi/devices/2:0:$t:0" 120 || say "no SCSI device 2:0:$t:0 after 120 s"
done
sleep 2
run scsi-devices ls /sys/bus/scsi/devices
run devices ondrelle-cli devices --transport aspi
run speeds ondrelle-cli speeds --device 2:0:1:0
run burn-data ondrelle-cli burn --kind data --device 2:0:1:0 --source /guest/source --mode tao
run burn-dvd ondrelle-cli burn --kind dvd --device 2:0:2:0 --source /guest/VIDEO_TS

# Long enough a burn to be caught in the middle: zeros made here, not carried in.
mkdir -p /tmp/large
dd if=/dev/zero of=/tmp/large/zeros.bin bs=1M count="${LARGE_MB:-160}" 2>/dev/null

run_bg burn-signalled ondrelle-cli burn --kind data --device 2:0:3:0 --source /tmp/large --mode tao
wait_output burn-signalled '^progress [1-9]' 600 || say "the signalled burn never started writing"
# While the first burn holds the drive a second one is refused.
run burn-while-busy ondrelle-cli burn --kind data --device 2:0:3:0 --source /guest/source --mode tao
[ -e /tmp/rc.burn-signalled ] && say "the signalled burn ended before its signal"
kill -INT "$(cat /tmp/pid.burn-signalled)"
finish burn-signalled 300

run_bg burn-unplugged ondrelle-cli burn --kind data --device 2:0:4:0 --source /tmp/large --mode tao
wait_output burn-unplugged '^progress [1-9]' 600 || say "the unplugged burn never started writing"
host unplug drive4
finish burn-unplugged 300
