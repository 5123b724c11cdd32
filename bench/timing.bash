# Timing helpers sourced by the whole-process benchmarks.
# COLD=1 drops the page cache before every run (root and a writable /proc/sys/vm/drop_caches);
# otherwise one warm-up run of each command comes first. RUNS (default 7) rounds are timed.
runs=${RUNS:-7}

if [[ ${COLD:-0} == 1 ]] && ! [[ -w /proc/sys/vm/drop_caches ]]; then
  echo "COLD=1 needs root and a writable /proc/sys/vm/drop_caches" >&2
  exit 1
fi

median() {
  printf '%s\n' "$@" | sort -g | sed -n "$(($# / 2 + 1))p"
}

# Wall and CPU (user + system) milliseconds of one run of the command, output thrown away.
time_once() {
  local timing real user sys
  if [[ ${COLD:-0} == 1 ]]; then
    sync
    echo 3 >/proc/sys/vm/drop_caches
  fi
  timing=$({ TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1) || true
  read -r real user sys <<<"$timing"
  awk -v r="$real" -v u="$user" -v s="$sys" 'BEGIN { printf "%.1f %.1f\n", r * 1000, (u + s) * 1000 }'
}

# Times the commands held in the arrays named, one run of each in turn per round, so that a
# machine that slows down for a while slows every command alike. Sets WALL[name] and CPU[name] to
# the medians, in milliseconds.
declare -A WALL CPU
measure_rounds() {
  local name run wall cpu
  local -A walls cpus
  if [[ ${COLD:-0} != 1 ]]; then
    for name; do
      local -n warm=$name
      "${warm[@]}" >/dev/null 2>&1 || true
    done
  fi
  for ((run = 0; run < runs; run++)); do
    for name; do
      local -n command=$name
      read -r wall cpu < <(time_once "${command[@]}")
      walls[$name]+="$wall "
      cpus[$name]+="$cpu "
    done
  done
  for name; do
    # shellcheck disable=SC2086 # the lists are space-separated numbers
    WALL[$name]=$(median ${walls[$name]})
    # shellcheck disable=SC2086
    CPU[$name]=$(median ${cpus[$name]})
  done
}

# One line of a report: label, then the wall and CPU medians of the command named.
report() {
  printf '%-24s wall %8.1f ms   cpu %8.1f ms\n' "$1" "${WALL[$2]}" "${CPU[$2]}"
}

# The wall and CPU ratios of two commands named, with the target they are held to.
ratio() {
  awk -v a="${WALL[$2]}" -v b="${WALL[$3]}" -v c="${CPU[$2]}" -v d="${CPU[$3]}" -v target="$4" -v label="$1" \
    'BEGIN { printf "%-24s wall %.2f   cpu %.2f   (target <= %s)\n", label, a / b, c / d, target }'
}

if [[ ${COLD:-0} == 1 ]]; then
  echo "cold: the page cache is dropped before each of $runs rounds"
else
  echo "warm: median of $runs rounds after one warm-up, the commands taking turns"
fi
