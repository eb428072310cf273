#!/usr/bin/env bash
# Boots Debian's own kernel in QEMU with two emulated SJA1000 CAN controllers on one emulated bus
# (can0 and can1, both brought up at 250 kbit/s, plus a vcan0) and runs a script inside it:
#
#   run_guest.sh <work-dir> <guest-script> <file>...
#
# The files (our programs and libraries) are copied to /qbk/bin in the guest, with every shared
# library they need; <guest-script> runs there in /qbk/bin under the guest's busybox sh, and its
# exit status is this script's. QBK_GUEST_DATA may name more paths (files or folders) to copy
# into the guest at the same place, with the shared libraries of every program among them. The
# kernel package is fetched with apt-get download into
# <work-dir> once and unpacked there, never installed; the initramfs is assembled anew each run.
# Exit status 77 (a skip for CTest) when no QEMU can run here.
set -euo pipefail

work=$1
guest_script=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

skip() { echo "guest: $*; skipped" >&2; exit 77; }
command -v qemu-system-x86_64 >/dev/null || skip "no qemu-system-x86_64 here"
for tool in busybox cpio depmod modprobe; do
  command -v "$tool" >/dev/null || [ -x "/sbin/$tool" ] || { echo "guest: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
export PATH=$PATH:/sbin:/usr/sbin
mkdir -p "$work"

# The kernel: the version the archive's linux-image-amd64 stands for, kept between runs.
kernel_dir=$work/kernel
if ! ls "$kernel_dir"/boot/vmlinuz-* >/dev/null 2>&1; then
  package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ {print $2; exit}')
  [ -n "$package" ] || { echo "guest: the package archive offers no linux-image-amd64 (apt-get update first)" >&2; exit 1; }
  rm -rf "$work/download" "$kernel_dir"
  mkdir -p "$work/download"
  (cd "$work/download" && apt-get download -q "$package" >/dev/null 2>&1) ||
    { echo "guest: apt-get download $package failed" >&2; exit 1; }
  dpkg-deb -x "$work"/download/*.deb "$kernel_dir.new"
  version=$(ls "$kernel_dir.new/lib/modules")
  depmod -b "$kernel_dir.new" "$version"
  mv "$kernel_dir.new" "$kernel_dir"
  rm -rf "$work/download"
fi
vmlinuz=$(ls "$kernel_dir"/boot/vmlinuz-* | head -1)
version=$(ls "$kernel_dir/lib/modules")

# The initramfs: busybox, the CAN modules with what they depend on, ip and tc, our files.
root=$work/root
rm -rf "$root"
mkdir -p "$root"/{bin,sbin,proc,sys,dev,tmp,qbk/bin,lib/modules}
cp "$(command -v busybox)" "$root/bin/busybox"
for applet in sh mount mkdir cat cut echo sleep poweroff insmod ls rm cp; do ln -s busybox "$root/bin/$applet"; done
for module in can can-raw can-dev sja1000 kvaser_pci sch_tbf vcan; do
  modprobe -d "$kernel_dir" -S "$version" --show-depends "$module"
done | awk '$1 == "insmod" && !seen[$2]++ {print $2}' | while read -r ko; do
  cp "$ko" "$root/lib/modules/"
  basename "$ko" >>"$root/lib/modules/order"
done

# A file and every shared library it needs, at the paths the guest's loader looks in.
# (Files that are not programs have none.)
copy_libraries() {
  { ldd "$1" 2>/dev/null || true; } | { grep -o '/[^ ]*' || true; } | while read -r library; do
    case "$library" in "$root"/*) continue ;; esac
    [ -e "$root$library" ] || { mkdir -p "$root$(dirname "$library")"; cp -L "$library" "$root$library"; }
  done
}
for tool in ip tc; do
  path=$(command -v "$tool")
  cp "$path" "$root/sbin/$tool"
  copy_libraries "$path"
done
for file in "$@"; do
  cp "$file" "$root/qbk/bin/"
  copy_libraries "$file"
done
for path in ${QBK_GUEST_DATA:-}; do
  mkdir -p "$root$(dirname "$path")"
  cp -rL "$path" "$root$path"
  find "$path" -type f -perm -u+x -o -type f -name '*.so*' | while read -r file; do copy_libraries "$file"; done
done
cp "$guest_script" "$root/qbk/run.sh"
cp "$here/guest_init.sh" "$root/init"
chmod +x "$root/init"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initrd.gz"

# Hardware virtualisation only where a real one is there: on a paravirtual /dev/kvm the kernel
# hangs early.
#
# One guest processor: an emulated controller's receive FIFO holds four frames, and the frame a
# controller sends lands in the other's FIFO at once. On one processor the receiving
# controller's interrupt is taken right after the sending write, so no frame is ever lost on the
# emulated wire; on several, a processor the busy host does not run for two milliseconds loses
# frames, which no real bus of this speed does.
if [ -e /dev/kvm ] && { [ -d /sys/module/kvm_intel ] || [ -d /sys/module/kvm_amd ]; }; then
  accel=(-accel kvm -cpu host)
else
  accel=(-accel tcg -cpu max)
fi
console=$work/console.log
echo "guest: booting $(basename "$vmlinuz") (${accel[1]})"
status=0
timeout "${QBK_GUEST_TIMEOUT:-1200}" qemu-system-x86_64 "${accel[@]}" -smp 1 -m 3072 \
  -display none -monitor none -serial stdio -no-reboot \
  -kernel "$vmlinuz" -initrd "$work/initrd.gz" -append "console=ttyS0 ${QBK_GUEST_KERNEL_ARGS:-quiet} panic=-1" \
  -object can-bus,id=canbus0 -device kvaser_pci,canbus=canbus0 -device kvaser_pci,canbus=canbus0 \
  </dev/null | tr -d '\r' | tee "$console" || status=$?
result=$(sed -n 's/^qbk-guest: result \([0-9]*\)$/\1/p' "$console" | tail -1)
if [ -z "$result" ]; then
  echo "guest: the guest ended without a result (status $status); its console is in $console" >&2
  exit 1
fi
exit "$result"
