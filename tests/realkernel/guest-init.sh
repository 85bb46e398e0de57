#!/bin/busybox sh
# The guest's first process: mount the kernel's file systems, load the
# modules make-guest.sh put in, run the session's script, power off.
/bin/busybox --install -s /bin
export PATH=/opt/bin:/bin
export LD_LIBRARY_PATH=/opt/lib
# A leak scan at every exit costs more than the whole command under TCG;
# the host suite looks for leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
while read -r module; do
  insmod "/lib/modules/$module" || echo "guest: insmod $module failed"
done </guest/modules
# The second serial port talks to the host: raw, so no echo comes back and
# no line ending is rewritten.
stty -F /dev/ttyS1 raw -echo
. /guest/lib.sh
cd /tmp
say "@@HELLO $(uname -r)"
(. /guest/script.sh)
say "@@DONE"
sync
poweroff -f
