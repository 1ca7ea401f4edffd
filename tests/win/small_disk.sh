#!/usr/bin/env bash
# The small disk of the disk-faults test: `small_disk.sh mount DIR BIN` mounts a 32 MB RAM disk at
# DIR (room for a desktop-sized wallpaper and its replacement) with a program folder whose
# Brannomere.exe and rawdecoder.dll are links to those in BIN, which would not fit;
# `small_disk.sh unmount DIR` takes it away. Without root (or without tmpfs) nothing is mounted
# and the test skips: it looks for the marker file.
set -uo pipefail
action=$1 dir=$2
case "$action" in
  mount)
    bin=$3
    mkdir -p "$dir"
    mountpoint -q "$dir" && umount "$dir"
    if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=32m,mode=0777 tmpfs "$dir" 2>/dev/null; then
      echo "small disk: no RAM disk could be mounted at $dir (not root?); the disk-faults test will skip"
      exit 0
    fi
    mkdir -p "$dir/program"
    ln -s "$bin/Brannomere.exe" "$dir/program/Brannomere.exe"
    ln -s "$bin/rawdecoder.dll" "$dir/program/rawdecoder.dll"
    touch "$dir/.small-disk"
    echo "small disk: 32 MB at $dir"
    ;;
  unmount)
    if mountpoint -q "$dir"; then umount "$dir" || umount -l "$dir"; fi
    ;;
  *)
    echo "usage: small_disk.sh mount DIR BIN | unmount DIR" >&2
    exit 2
    ;;
esac
exit 0
