#!/bin/sh
# ffprobe reads the clip the deck saved: a video stream in the board's format at 10 frames a
# second and an 11,025 Hz 8-bit mono sound stream, at least a second of each.
ffprobe="$1"; clip="$2"
[ -f "$clip" ] || { echo "no saved clip $clip"; exit 1; }
out=$("$ffprobe" -v error -show_entries stream=codec_type,codec_tag_string,avg_frame_rate,sample_rate,channels,nb_frames,duration -of default=noprint_wrappers=1 "$clip") || { echo "ffprobe refused the clip"; exit 1; }
echo "$out"
echo "$out" | grep -q '^codec_tag_string=ty0n' || { echo "no ty0n video stream"; exit 1; }
echo "$out" | grep -q '^avg_frame_rate=10/1' || { echo "not 10 frames a second"; exit 1; }
echo "$out" | grep -q '^sample_rate=11025' || { echo "no 11,025 Hz sound"; exit 1; }
echo "$out" | grep -q '^channels=1' || { echo "not mono"; exit 1; }
frames=$(echo "$out" | sed -n 's/^nb_frames=//p' | head -1)
[ "${frames:-0}" -ge 10 ] || { echo "only ${frames:-0} video frames"; exit 1; }
echo "the saved clip reads back: $frames frames"
