#!/bin/sh
# The guest's first and only process (busybox sh): mounts what programs need, loads the CAN
# modules, brings the controllers up, runs /qbk/run.sh and powers off. The last line it prints,
# "qbk-guest: result N", carries the script's exit status to the host.
export PATH=/bin:/sbin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
mkdir -p /dev/shm /tmp/run
mount -t tmpfs tmpfs /dev/shm

for module in $(cat /lib/modules/order); do
  insmod "/lib/modules/$module" || echo "qbk-guest: insmod $module failed"
done
for interface in can0 can1; do
  /sbin/ip link set "$interface" type can bitrate 250000 && /sbin/ip link set "$interface" up ||
    echo "qbk-guest: $interface did not come up"
done
/sbin/ip link add dev vcan0 type vcan && /sbin/ip link set vcan0 up


export HOME=/tmp TMPDIR=/tmp XDG_RUNTIME_DIR=/tmp/run LD_LIBRARY_PATH=/qbk/bin QT_QPA_PLATFORM=offscreen
echo "qbk-guest: ready after $(cut -d' ' -f1 /proc/uptime) s"
cd /qbk/bin
sh /qbk/run.sh
result=$?
echo "qbk-guest: result $result"
poweroff -f
