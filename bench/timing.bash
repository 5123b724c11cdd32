# Timing helpers sourced by the whole-process benchmarks.
# COLD=1 drops the page cache before every run (root and a writable /proc/sys/vm/drop_caches);
# otherwise one warm-up run comes first. RUNS (default 5) runs are timed.
runs=${RUNS:-5}

if [[ ${COLD:-0} == 1 ]] && ! [[ -w /proc/sys/vm/drop_caches ]]; then
  echo "COLD=1 needs root and a writable /proc/sys/vm/drop_caches" >&2
  exit 1
fi

median() {
  printf '%s\n' "$@" | sort -g | sed -n "$(($# / 2 + 1))p"
}

# Prints the medians of wall time and of CPU time (user + system), in milliseconds, of $runs runs
# of the command with its output thrown away.
measure() {
  local walls=() cpus=() timing real user sys
  if [[ ${COLD:-0} != 1 ]]; then
    "$@" >/dev/null 2>&1 || true
  fi
  for ((run = 0; run < runs; run++)); do
    if [[ ${COLD:-0} == 1 ]]; then
      sync
      echo 3 >/proc/sys/vm/drop_caches
    fi
    timing=$({ TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1) || true
    read -r real user sys <<<"$timing"
    walls+=("$(awk -v r="$real" 'BEGIN { printf "%.1f", r * 1000 }')")
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.1f", (u + s) * 1000 }')")
  done
  echo "$(median "${walls[@]}") $(median "${cpus[@]}")"
}

# One line of a report: label, then wall and CPU medians.
report() {
  printf '%-24s wall %8.1f ms   cpu %8.1f ms\n' "$1" "$2" "$3"
}

# The ratio of two times, with the target it is held to.
ratio() {
  awk -v a="$2" -v b="$3" -v target="$4" -v label="$1" \
    'BEGIN { printf "%-24s %.2f (target <= %s)\n", label, a / b, target }'
}

if [[ ${COLD:-0} == 1 ]]; then
  echo "cold: the page cache is dropped before each of $runs runs"
else
  echo "warm: median of $runs runs after one warm-up"
fi
