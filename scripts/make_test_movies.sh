#!/usr/bin/env bash
# Writes the small movies the tests play, as cameras write them: MJPEG in AVI, H.264 in MOV and
# MP4, 320 x 240 test pattern with a tone. Arguments: the output folder.
set -euo pipefail
out="$1"
mkdir -p "$out"
command -v ffmpeg >/dev/null || { echo "make_test_movies: ffmpeg is missing" >&2; exit 1; }
make() {  # name, seconds, size, codec arguments...
  local name="$1" seconds="$2" size="$3"; shift 3
  [ -s "$out/$name" ] && return 0
  ffmpeg -loglevel error -y -f lavfi -i "testsrc=size=$size:rate=15:duration=$seconds" \
    -f lavfi -i "sine=frequency=440:duration=$seconds" -shortest "$@" "$out/$name.part" && mv "$out/$name.part" "$out/$name"
}
make clip.avi 7 320x240 -c:v mjpeg -q:v 5 -pix_fmt yuvj420p -c:a pcm_s16le -f avi
make clip.mov 4 320x240 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mov
make clip.mp4 3 176x144 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4
# Its index in front of the data, as players that stream want it: cut short, it is a header alone.
make front.mov 2 160x120 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -movflags faststart -f mov
