# Shared by the benchmark scripts: sourced, with $work set to a scratch folder.

# Starts Xvfb of the size given; prints "<pid> :<display>".
start_xvfb() {
    local fifo=$work/display.$RANDOM
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 100); do [ -s "$fifo" ] && break; sleep 0.05; done
    echo "$pid :$(cat "$fifo")"
}

# Nanoseconds on a processor, all threads of the process together.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { print sum }'; }
peak_kib() { awk '/VmHWM/ { print $2 }' /proc/"$1"/status; }

# The runs of one size at the same time: start_run, WARMUP, figures before, SECONDS, figures
# after, end_run, each the script's own.
measure_side_by_side() {
    for run in $(seq "$runs"); do start_run "$1" "$run"; done
    sleep "$warmup"
    for run in $(seq "$runs"); do before[$run]=$(figures "$run"); done
    sleep "$seconds"
    for run in $(seq "$runs"); do after[$run]=$(figures "$run"); done
    for run in $(seq "$runs"); do end_run "$1" "$run"; done
}

# The middle value of one column over a size's runs.
median() { grep "^$1 " "$results" | awk -v c="$2" '{ print $c }' | sort -g | sed -n "$(((runs + 1) / 2))p"; }
