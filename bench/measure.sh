#!/usr/bin/env bash
# Whole-process cost of reading a large data file: the built korvenal on a
# control file whose single entry names a generated data file with no row at
# the entry's temperature (so every row is read), timed with /usr/bin/time -v
# (wall time, peak resident memory), beside `wc -l` on the same file.
#
#   bench/measure.sh [BUILD_DIR]        (default: build/bench)
#
# Environment: SIZES (megabytes, default "2 20 200 2000"), RUNS (timed runs
# per size, default 5; the figures are medians), WORK_DIR (where the files go,
# default a fresh directory under ${TMPDIR:-/tmp}). The generated files are
# removed at the end, also after an interruption.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build/bench}
korvenal=$build_dir/korvenal
generator=$build_dir/bench/make_big_data
sizes=${SIZES:-2 20 200 2000}
runs=${RUNS:-5}

for tool in "$korvenal" "$generator"; do
  if [[ ! -x $tool ]]; then
    echo "measure.sh: $tool is missing; build with: cmake --workflow --preset bench" >&2
    exit 2
  fi
done

if [[ ! -x /usr/bin/time ]]; then
  echo "measure.sh: /usr/bin/time is missing; installing the time package" >&2
  sudo=$([[ $(id -u) -eq 0 ]] || echo sudo)
  $sudo apt-get install -y time >/dev/null || { $sudo apt-get update >/dev/null && $sudo apt-get install -y time >/dev/null; }
fi

if [[ -n ${WORK_DIR:-} ]]; then
  work=$WORK_DIR
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/korvenal-measure.XXXXXX")
fi
# Removes what the script made: the whole directory when it made it.
cleanup() {
  if [[ -n ${WORK_DIR:-} ]]; then
    rm -f "$work"/campaign_*.csv "$work"/{time,k,w}.txt "$work"/KORVENAL.{inp,dat}
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The control file: mass 0 (taken from the data file), six fields, the rising
# branch, one entry at 400 K, where the campaign has no row.
write_control() {
  printf '0\r\n6 1\r\n0.5 1 2 3 4 5\r\n400\r\n%s\r\n' "$1" >"$work/KORVENAL.inp"
}

# Runs "$@" under /usr/bin/time -v in $work; prints "seconds kilobytes", the
# wall time measured around the process (to the microsecond) and the peak
# resident set size reported by time -v.
timed() {
  local start end
  start=$(date +%s%N)
  (cd "$work" && /usr/bin/time -v -o "$work/time.txt" "$@" </dev/null >/dev/null)
  end=$(date +%s%N)
  local kilobytes
  kilobytes=$(sed -n 's/^\tMaximum resident set size (kbytes): //p' "$work/time.txt")
  echo "$(( (end - start) / 1000 ))" "$kilobytes" | awk '{ printf "%.6f %d\n", $1 / 1e6, $2 }'
}

# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Medians of $runs timed runs of korvenal and of wc -l on the data file named
# $1: "korvenal-seconds korvenal-KiB wc-seconds".
measure_file() {
  write_control "$1"
  # One run to bring the file into the page cache and check that the run
  # ends normally; its figures are not kept.
  (cd "$work" && "$korvenal" </dev/null >/dev/null) || { echo "measure.sh: korvenal failed" >&2; exit 1; }
  : >"$work/k.txt"
  : >"$work/w.txt"
  for ((run = 0; run < runs; run++)); do
    timed "$korvenal" >>"$work/k.txt"
    timed wc -l "$1" >>"$work/w.txt"
  done
  echo "$(cut -d' ' -f1 "$work/k.txt" | median) $(cut -d' ' -f2 "$work/k.txt" | median)" \
    "$(cut -d' ' -f1 "$work/w.txt" | median)"
}

echo "korvenal: $korvenal"
echo "work directory: $work; $runs timed runs per size, medians"
# The cost of starting the process and reading the control file and the
# header: the same run on a data file that holds the header alone.
"$generator" "$work/campaign_header.csv" 0.000001 >/dev/null
read -r base_seconds base_kib base_wc < <(measure_file campaign_header.csv)
rm -f "$work/campaign_header.csv"
printf 'start-up (header-only data file): korvenal %.4f s, %d KiB peak; wc -l %.4f s\n' \
  "$base_seconds" "$base_kib" "$base_wc"
printf '%7s %11s %9s %11s %11s %9s %9s %9s %9s %9s\n' "MB" "bytes" "lines" "korvenal s" \
  "above s-u" "MB/s" "ns/byte" "peak KiB" "wc -l s" "wc MB/s"
for size in $sizes; do
  file=campaign_${size}MB.csv
  "$generator" "$work/$file" "$size" >/dev/null
  bytes=$(stat -c %s "$work/$file")
  lines=$(wc -l <"$work/$file")
  read -r k_seconds k_kib w_seconds < <(measure_file "$file")
  awk -v mb="$size" -v b="$bytes" -v l="$lines" -v ks="$k_seconds" -v kk="$k_kib" -v ws="$w_seconds" \
    -v base="$base_seconds" 'BEGIN {
      above = ks - base
      rate = above > 0 ? b / 1e6 / above : 0
      printf "%7s %11d %9d %11.4f %11.4f %9.1f %9.3f %9d %9.4f %9.1f\n",
             mb, b, l, ks, above, rate, above * 1e9 / b, kk, ws, b / 1e6 / ws }'
  rm -f "$work/$file"
done
