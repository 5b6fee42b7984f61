#!/usr/bin/env bash
# Whole batch runs of tinta_batch, in one go on this machine:
#   - 48 photo-like 1024 x 768 PNG files to TGA with 色反転 at --jobs 1 and
#     --jobs 2, beside ImageMagick's `mogrify -negate` writing TGA;
#   - 24 lossless, Huffman-coded 1024 x 768 ERI files to PNG at --jobs 1 and 2;
#   - peak memory of the PNG run at --jobs 2 against the program's base.
# Usage: bench/app_batch/run_bench.sh [BUILD_FOLDER]   (default build/)
# Needs the benchmark build (tinta_batch, tinta_bench_pictures) and, for the
# comparison, ImageMagick (apt-get install imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cmake --build "$build" -j2 --target tinta_batch tinta_bench_pictures invert >/dev/null
work=$(mktemp -d /tmp/tinta_batch_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/bench/app_batch/tinta_bench_pictures" png "$work/png" 48
"$build/bench/app_batch/tinta_bench_pictures" eri "$work/eri" 24
mkdir -p "$work/empty"

# run NAME COUNT COMMAND...: wall seconds, CPU seconds, peak RSS and page
# faults of one run, from GNU time.
run() {
  local name=$1 count=$2
  shift 2
  rm -rf "$work/out" && mkdir -p "$work/out"
  /usr/bin/time -f "%e %U %S %M %R" -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt" ||
    { cat "$work/err.txt" >&2; exit 1; }
  read -r wall user sys rss faults <"$work/time.txt"
  printf '%-22s %6.2f s  %6.1f pictures/s  cpu %5.2f s  max RSS %6.1f MiB  %7d faults (%d per picture)\n' \
    "$name" "$wall" "$(echo "$count / $wall" | bc -l)" "$(echo "$user + $sys" | bc -l)" \
    "$(echo "$rss / 1024" | bc -l)" "$faults" "$((faults / (count > 0 ? count : 1)))"
  echo "$wall" >"$work/$name.wall"
  echo "$rss" >"$work/$name.rss"
}

cd "$build"  # tinta_batch finds ./tinta/ here
batch=(./tinta_batch --filter 色反転 --quiet --output "$work/out")
run base 0 "${batch[@]}" --input "$work/empty" --mask '*.png' --format tga
run png-tga-jobs1 48 "${batch[@]}" --input "$work/png" --mask '*.png' --format tga --jobs 1
run png-tga-jobs2 48 "${batch[@]}" --input "$work/png" --mask '*.png' --format tga --jobs 2
if command -v mogrify >/dev/null; then
  run mogrify-negate-tga 48 sh -c "mogrify -path '$work/out' -format tga -negate '$work'/png/*.png"
fi
run eri-png-jobs1 24 "${batch[@]}" --input "$work/eri" --mask '*.eri' --format png --jobs 1
run eri-png-jobs2 24 "${batch[@]}" --input "$work/eri" --mask '*.eri' --format png --jobs 2

ratio() { echo "scale=2; $(cat "$work/$1.wall") / $(cat "$work/$2.wall")" | bc; }
echo "PNG->TGA --jobs 2 against --jobs 1: $(ratio png-tga-jobs1 png-tga-jobs2)x (target 1.8x)"
[ -f "$work/mogrify-negate-tga.wall" ] &&
  echo "PNG->TGA --jobs 2 against mogrify:  $(ratio mogrify-negate-tga png-tga-jobs2)x (target 2x)"
echo "ERI->PNG --jobs 2 against --jobs 1: $(ratio eri-png-jobs1 eri-png-jobs2)x (target 1.8x)"
picture_kib=$((1024 * 768 * 4 / 1024))
echo "Peak RSS at --jobs 2: $(( $(cat "$work/png-tga-jobs2.rss") - $(cat "$work/base.rss") )) KiB above base" \
  "(target at most 6 pictures = $((6 * picture_kib)) KiB)"
