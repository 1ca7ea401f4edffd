#!/usr/bin/env python3
"""Makes the run command's sample folder: camera JPEGs that decode.

Debian's goexif samples carry real cameras' Exif blocks (maker notes included) but no picture.
Each sample's Exif block is put on a photograph from libjpeg-turbo's source package (its test
images), enlarged and tinted a little differently per file, so that the list's thumbnails, the
detail columns and the viewer all show something real.

Usage: make_sample_folder.py <out folder> <goexif samples folder> <libjpeg-turbo testimages folder>
"""
import os
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor


def exif_segment(data):
    """The APP1 Exif segment right after SOI, whole, or None."""
    if len(data) < 4 or data[0:2] != b"\xff\xd8":
        return None
    pos = 2
    while pos + 4 <= len(data) and data[pos] == 0xFF:
        marker = data[pos + 1]
        if marker in (0xD9, 0xDA):
            return None
        length = int.from_bytes(data[pos + 2:pos + 4], "big")
        end = pos + 2 + length
        if length < 2 or end > len(data):
            return None
        if marker == 0xE1 and data[pos + 4:pos + 10] == b"Exif\0\0":
            return data[pos:end]
        pos = end
    return None


def without_app_segments(jpeg):
    """SOI, then the picture's segments from its first non-APP segment on (JFIF's APP0 dropped)."""
    pos = 2
    while pos + 4 <= len(jpeg) and jpeg[pos] == 0xFF and 0xE0 <= jpeg[pos + 1] <= 0xEF:
        pos += 2 + int.from_bytes(jpeg[pos + 2:pos + 4], "big")
    return jpeg[pos:]


def main():
    out, samples, pictures = sys.argv[1:4]
    photos = sorted(os.path.join(pictures, n) for n in os.listdir(pictures)
                    if n in ("testorig.ppm", "nightshot_iso_100.bmp") or n.startswith("vgl_"))
    if not photos:
        sys.exit("make_sample_folder: no pictures in " + pictures)
    jobs = []
    for name in sorted(os.listdir(samples)):
        if not name.lower().endswith((".jpg", ".jpeg")):
            continue
        with open(os.path.join(samples, name), "rb") as f:
            exif = exif_segment(f.read())
        if exif is not None:
            jobs.append((name, exif))
    os.makedirs(out, exist_ok=True)

    def make(job):
        i, (name, exif) = job
        photo = photos[i % len(photos)]
        # Hue and a mirror vary the few pictures; 1600 wide is a size a viewer pane fits down.
        hue = 100 + (i * 37) % 60 - 30
        args = ["convert", photo, "-resize", "1600x1200", "-modulate", "100,105,%d" % hue]
        if (i // len(photos)) % 2:
            args.append("-flop")
        args += ["-quality", "88", "jpg:-"]
        jpeg = subprocess.run(args, check=True, stdout=subprocess.PIPE).stdout
        tmp = os.path.join(out, name + ".part")
        with open(tmp, "wb") as f:
            f.write(b"\xff\xd8" + exif + without_app_segments(jpeg))
        os.replace(tmp, os.path.join(out, name))

    with ThreadPoolExecutor(max_workers=os.cpu_count() or 4) as pool:
        list(pool.map(make, enumerate(jobs)))
    print("sample: %d camera JPEGs in %s" % (len(jobs), out))


if __name__ == "__main__":
    main()
