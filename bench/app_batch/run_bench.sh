#!/usr/bin/env bash
# Whole batch runs of tinta_batch, in one go on this machine:
#   - 48 photo-like 1024 x 768 PNG files to TGA with 色反転 at --jobs 1 and
#     --jobs 2, beside ImageMagick's `mogrify -negate` writing TGA;
#   - 24 lossless, Huffman-coded 1024 x 768 ERI files to PNG at --jobs 1 and 2;
#   - peak memory of the PNG run at --jobs 2 against the program's base;
#   - the same PNG files split in halves, run by two --jobs 1 processes at
#     once: what this machine's two cores give when nothing is shared, the
#     ceiling for the --jobs 2 speed-up.
# Each run is made ROUNDS times (default 3), the kinds taking turns; the
# fastest wall time and the highest peak RSS of each kind are kept, since
# this machine's timings drift with its load.
# Usage: bench/app_batch/run_bench.sh [BUILD_FOLDER [ROUNDS]]   (default build/ 3)
# Needs the benchmark build (tinta_batch, tinta_bench_pictures) and, for the
# comparison, ImageMagick (apt-get install imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-3}
cmake --build "$build" -j2 --target tinta_batch tinta_bench_pictures invert >/dev/null
work=$(mktemp -d /tmp/tinta_batch_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/bench/app_batch/tinta_bench_pictures" png "$work/png" 48
"$build/bench/app_batch/tinta_bench_pictures" eri "$work/eri" 24
mkdir -p "$work/empty" "$work/half1" "$work/half2"
half=1
for f in "$work"/png/*.png; do
  ln "$f" "$work/half$half/"
  half=$((3 - half))
done

# run NAME COUNT COMMAND...: wall seconds, CPU seconds, peak RSS and page
# faults of one run, from GNU time; keeps the kind's fastest wall time and
# highest peak RSS so far.
run() {
  local name=$1 count=$2
  shift 2
  rm -rf "$work/out" "$work/out2" && mkdir -p "$work/out" "$work/out2"
  /usr/bin/time -f "%e %U %S %M %R" -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt" ||
    { cat "$work/err.txt" >&2; exit 1; }
  read -r wall user sys rss faults <"$work/time.txt"
  printf '%-22s %6.2f s  %6.1f pictures/s  cpu %5.2f s  max RSS %6.1f MiB  %7d faults (%d per picture)\n' \
    "$name" "$wall" "$(echo "$count / $wall" | bc -l)" "$(echo "$user + $sys" | bc -l)" \
    "$(echo "$rss / 1024" | bc -l)" "$faults" "$((faults / (count > 0 ? count : 1)))"
  if [ ! -f "$work/$name.wall" ] || [ "$(echo "$wall < $(cat "$work/$name.wall")" | bc)" = 1 ]; then
    echo "$wall" >"$work/$name.wall"
  fi
  if [ ! -f "$work/$name.rss" ] || [ "$rss" -gt "$(cat "$work/$name.rss")" ]; then
    echo "$rss" >"$work/$name.rss"
  fi
  if [ ! -f "$work/$name.least-rss" ] || [ "$rss" -lt "$(cat "$work/$name.least-rss")" ]; then
    echo "$rss" >"$work/$name.least-rss"
  fi
}

cd "$build"  # tinta_batch finds ./tinta/ here
batch=(./tinta_batch --filter 色反転 --quiet --output "$work/out")
for round in $(seq "$rounds"); do
  echo "round $round of $rounds"
  run base 0 "${batch[@]}" --input "$work/empty" --mask '*.png' --format tga
  run png-tga-jobs1 48 "${batch[@]}" --input "$work/png" --mask '*.png' --format tga --jobs 1
  run png-tga-jobs2 48 "${batch[@]}" --input "$work/png" --mask '*.png' --format tga --jobs 2
  run png-tga-two-halves 48 sh -c "$(printf '%q ' "${batch[@]}") --input '$work/half1' --mask '*.png' --format tga --jobs 1 &
    $(printf '%q ' ./tinta_batch --filter 色反転 --quiet) --output '$work/out2' --input '$work/half2' --mask '*.png' --format tga --jobs 1; wait"
  if command -v mogrify >/dev/null; then
    run mogrify-negate-tga 48 sh -c "mogrify -path '$work/out' -format tga -negate '$work'/png/*.png"
  fi
  run eri-png-jobs1 24 "${batch[@]}" --input "$work/eri" --mask '*.eri' --format png --jobs 1
  run eri-png-jobs2 24 "${batch[@]}" --input "$work/eri" --mask '*.eri' --format png --jobs 2
done

echo "fastest of $rounds rounds; peak RSS the highest of them against the lowest base"
ratio() { echo "scale=2; $(cat "$work/$1.wall") / $(cat "$work/$2.wall")" | bc; }
echo "PNG->TGA --jobs 2 against --jobs 1: $(ratio png-tga-jobs1 png-tga-jobs2)x (target 1.8x)"
echo "PNG->TGA two --jobs 1 processes on halves against --jobs 1: $(ratio png-tga-jobs1 png-tga-two-halves)x (this machine's ceiling)"
[ -f "$work/mogrify-negate-tga.wall" ] &&
  echo "PNG->TGA --jobs 2 against mogrify:  $(ratio mogrify-negate-tga png-tga-jobs2)x (target 2x)"
echo "ERI->PNG --jobs 2 against --jobs 1: $(ratio eri-png-jobs1 eri-png-jobs2)x (target 1.8x)"
picture_kib=$((1024 * 768 * 4 / 1024))
echo "Peak RSS at --jobs 2: $(( $(cat "$work/png-tga-jobs2.rss") - $(cat "$work/base.least-rss") )) KiB above base" \
  "(target at most 6 pictures = $((6 * picture_kib)) KiB)"
