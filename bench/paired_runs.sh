# Sourced by the benchmarks: runs two commands in pairs, in alternating
# order, and prints the median time and peak memory of each side and the
# median of the per-pair ratios. Each command must leave its output synced,
# so neither side is timed with dirty pages still to write.
#
#   paired LABEL_A LABEL_B RUNS CLEAN_CMD -- CMD_A... -- CMD_B...
# CLEAN_CMD runs untimed before every run (removing the previous output).

[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (apt-get install time)"; exit 1; }

median() {  # numbers on stdin
  sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs one side once; appends "seconds kib" to $work/samples.LABEL.
run_once() {  # label, clean command, then the command
  local label=$1 clean=$2
  shift 2
  eval "$clean"
  /usr/bin/time -f "%e %M" -o "$work/time.$label" "$@" >"$work/log.$label" 2>&1 ||
    { echo "$label failed:"; cat "$work/log.$label"; exit 1; }
  cat "$work/time.$label" >> "$work/samples.$label"
}

paired() {
  local a=$1 b=$2 runs=$3 clean=$4
  shift 4
  [ "$1" = "--" ] || { echo "paired: expected --"; exit 1; }
  shift
  local cmd_a=() cmd_b=()
  while [ "$1" != "--" ]; do cmd_a+=("$1"); shift; done
  shift
  cmd_b=("$@")
  rm -f "$work/samples.$a" "$work/samples.$b"
  # One untimed round warms the page cache for both sides alike.
  run_once "$a" "$clean" "${cmd_a[@]}"
  run_once "$b" "$clean" "${cmd_b[@]}"
  rm -f "$work/samples.$a" "$work/samples.$b"
  for ((i = 0; i < runs; i++)); do
    if ((i % 2)); then
      run_once "$b" "$clean" "${cmd_b[@]}"
      run_once "$a" "$clean" "${cmd_a[@]}"
    else
      run_once "$a" "$clean" "${cmd_a[@]}"
      run_once "$b" "$clean" "${cmd_b[@]}"
    fi
  done
  eval "$clean"
  local ta tb ma mb ratio
  ta=$(cut -d' ' -f1 "$work/samples.$a" | median)
  tb=$(cut -d' ' -f1 "$work/samples.$b" | median)
  ma=$(cut -d' ' -f2 "$work/samples.$a" | median)
  mb=$(cut -d' ' -f2 "$work/samples.$b" | median)
  ratio=$(paste -d' ' "$work/samples.$a" "$work/samples.$b" | awk '{ print ($3 > 0 ? $1 / $3 : 0) }' | median)
  printf '%-22s median %7.2f s  %8.1f MiB peak   (%d runs)\n' "$a" "$ta" "$(echo "$ma / 1024" | bc -l)" "$runs"
  printf '%-22s median %7.2f s  %8.1f MiB peak\n' "$b" "$tb" "$(echo "$mb / 1024" | bc -l)"
  printf '%-22s %.2f (median of the paired ratios %s / %s)\n' "ratio" "$ratio" "$a" "$b"
  last_ratio=$ratio
}
