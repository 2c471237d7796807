#!/usr/bin/env bash
# Times the tool against tar extracting the identical tree, in one run, alternating the two;
# and vexagg update of the full archive from that tree against the tool's unpack of it.
#   bench/run-bench.sh [PAIRS]     (default 9 pairs after one warm-up of each)
# VEX_BENCH_TOOL=/path/to/Marlovexine times another build of the tool (with its own
# TivPalette.bmp and vexagg beside it). VEX_BENCH_BEFORE=/path/to/Marlovexine adds a second
# build to the same alternation (tool, before, tar, in a rotating order), so that a change is
# measured against the version before it in one run, on the same archives.
# For each archive (full: every known name once, about 60 MB; again: the full archive unpacked
# into a folder that already holds its files, which both replace; big: 50 members of 4 MB;
# one: one member of 1 GiB; VEX_BENCH_MODES="big one" picks some), it first checks that the tool's output equals the expected tree
# byte for byte, then prints the median time of each, the median of the per-pair ratios
# tool / tar, and the tool's peak resident memory.
set -euo pipefail
cd "$(dirname "$0")/.."

pairs=${1:-9}
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target Marlovexine vexagg default_palette \
  make_bench_archive >/dev/null
tool=${VEX_BENCH_TOOL:-$PWD/$build/bin/Marlovexine}
before=${VEX_BENCH_BEFORE:-}
contenders="tool tar"
[ -n "$before" ] && contenders="tool before tar"
vexagg=$(dirname "$tool")/vexagg
work=$PWD/$build/run
mkdir -p "$work"
rm -rf "$work"/out-tool-* "$work"/out-before-* "$work"/out-tar-* "$work"/unpack-* "$work/check" "$work/mem"

now() { date +%s%N; }
elapsed_ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b - a) / 1e6 }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# vexagg update of archive $1 from the tree $2 that the tool unpacks it into, against that
# unpack, alternating, after checking that the update gives the archive back byte for byte.
# Each update writes a new archive (removed after its pair, outside the timing); each unpack a
# new folder, kept until the end as the comparison with tar keeps its folders.
bench_update() {
  local agg=$1 tree=$2 update_ms unpack_ms peak
  # update's summary line on standard error is not timed output: it goes with the rest.
  "$vexagg" update "$agg" "$tree" "$work/updated.agg" >/dev/null 2>&1
  if ! cmp -s "$agg" "$work/updated.agg"; then
    echo "FAIL: vexagg update does not give the archive back" >&2
    exit 1
  fi
  /usr/bin/time -f %M -o "$work/peak" "$vexagg" update "$agg" "$tree" "$work/updated.agg" >/dev/null 2>&1
  peak=$(cat "$work/peak")
  local update_times=() unpack_times=() ratios=()
  for i in $(seq 0 "$pairs"); do
    for which in $( ((i % 2)) && echo "unpack update" || echo "update unpack"); do
      sync
      t0=$(now)
      if [ "$which" = update ]; then
        "$vexagg" update "$agg" "$tree" "$work/updated-$i.agg" >/dev/null 2>&1
      else
        "$tool" "$agg" "$work/unpack-$i" >/dev/null
      fi
      t1=$(now)
      printf -v "${which}_ms" '%s' "$(elapsed_ms "$t0" "$t1")"
    done
    rm -f "$work/updated-$i.agg"
    [ "$i" -eq 0 ] && continue # the warm-up pair
    update_times+=("$update_ms") unpack_times+=("$unpack_ms")
    ratios+=("$(awk -v a="$update_ms" -v b="$unpack_ms" 'BEGIN { printf "%.3f", a / b }')")
  done
  echo "update ms: ${update_times[*]}"
  echo "unpack ms: ${unpack_times[*]}"
  printf 'update: median update %s ms, median unpack %s ms, median ratio update/unpack %s, update peak RSS %s KiB\n' \
    "$(printf '%s\n' "${update_times[@]}" | median)" "$(printf '%s\n' "${unpack_times[@]}" | median)" \
    "$(printf '%s\n' "${ratios[@]}" | median)" "$peak"
}

generator=$build/bench/make_bench_archive
for mode in ${VEX_BENCH_MODES:-full again big one}; do
  source=$mode
  [ "$mode" = again ] && source=full
  agg=$work/$source.agg tree=$work/$source-tree tarball=$work/$source.tar
  # Generated once and kept: deleting and rewriting the trees each time would leave the file
  # system slow to create files for a while (see below).
  if [ ! -f "$tarball" ] || [ "$generator" -nt "$tarball" ]; then
    "$generator" "$source" "$agg" "$tree"
    tar -cf "$tarball" -C "$tree" .
  fi
  echo "== $mode: $(stat -c %s "$agg") bytes, $(ls "$tree" | wc -l) files"

  [ "$mode" = again ] && cp -r "$tree" "$work/check"
  "$tool" "$agg" "$work/check" >/dev/null
  if ! diff -r "$work/check" "$tree" >/dev/null; then
    echo "FAIL: the tool's output differs from the expected tree" >&2
    exit 1
  fi
  peak=$( { /usr/bin/time -f %M "$tool" "$agg" "$work/mem" >/dev/null; } 2>&1 )
  [ "$mode" = full ] && bench_update "$agg" "$tree"

  # Every run writes into a folder of its own. The full archive's folders are removed only
  # after the last pair: ext4 makes a file slow to create for a while after many files near it
  # were deleted, so deleting between runs would time the file system's recovery, not the
  # tools. The large members' folders (50 files, 400 MB a pair) are removed after each pair,
  # or the page cache would grow into memory the machine has yet to hand out, which is slow.
  # Before each command the disk is settled (sync, outside the timing), and the order of the
  # two alternates, so neither pays for the other's writes.
  tool_times=() before_times=() tar_times=() ratios=() before_ratios=()
  for i in $(seq 0 "$pairs"); do
    mkdir "$work/out-tar-$i"
    if [ "$mode" = again ]; then # all replace every file of a full folder
      cp -r "$tree/." "$work/out-tar-$i"
      cp -r "$tree" "$work/out-tool-$i"
      [ -n "$before" ] && cp -r "$tree" "$work/out-before-$i"
    fi
    # Each round starts with the next contender, so none always pays for another's writes.
    set -- $contenders
    order=()
    for _ in $contenders; do
      order+=("${@:$((i % $# + 1)):1}")
      set -- "${@:2}" "$1"
    done
    for which in "${order[@]}"; do
      sync
      t0=$(now)
      case $which in
      tool) "$tool" "$agg" "$work/out-tool-$i" >/dev/null ;;
      before) "$before" "$agg" "$work/out-before-$i" >/dev/null ;;
      tar) tar -xf "$tarball" -C "$work/out-tar-$i" ;;
      esac
      t1=$(now)
      printf -v "${which}_ms" '%s' "$(elapsed_ms "$t0" "$t1")"
    done
    case $mode in big | one) rm -rf "$work/out-tool-$i" "$work/out-before-$i" "$work/out-tar-$i" ;; esac
    [ "$i" -eq 0 ] && continue  # the warm-up round
    tool_times+=("$tool_ms") tar_times+=("$tar_ms")
    ratios+=("$(awk -v a="$tool_ms" -v b="$tar_ms" 'BEGIN { printf "%.3f", a / b }')")
    if [ -n "$before" ]; then
      before_times+=("$before_ms")
      before_ratios+=("$(awk -v a="$tool_ms" -v b="$before_ms" 'BEGIN { printf "%.3f", a / b }')")
    fi
  done
  rm -rf "$work"/out-tool-* "$work"/out-before-* "$work"/out-tar-* "$work"/unpack-* \
    "$work/check" "$work/mem" "$work/updated.agg"
  echo "tool ms: ${tool_times[*]}"
  [ -n "$before" ] && echo "before ms: ${before_times[*]}"
  echo "tar  ms: ${tar_times[*]}"
  printf '%s: median tool %s ms, median tar %s ms, median ratio tool/tar %s, tool peak RSS %s KiB\n' \
    "$mode" "$(printf '%s\n' "${tool_times[@]}" | median)" "$(printf '%s\n' "${tar_times[@]}" | median)" \
    "$(printf '%s\n' "${ratios[@]}" | median)" "$peak"
  if [ -n "$before" ]; then
    printf '%s: median before %s ms, median ratio tool/before %s\n' "$mode" \
      "$(printf '%s\n' "${before_times[@]}" | median)" "$(printf '%s\n' "${before_ratios[@]}" | median)"
  fi
done
