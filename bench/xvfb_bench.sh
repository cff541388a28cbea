#!/bin/bash
# The real clock screen on Xvfb beside `xclock -update 1` on an identical server, at 1920x1080
# and 3840x2160, each size RUNS times: processor time of each program and of its X server from
# /proc/PID/task/*/schedstat over SECONDS, the program's peak memory, the time from exec to its
# first frame (bench/first_frame) and from a key press to its end, its wake-ups per second, and
# what bench/screen_watch saw on its screen over the whole run: globe updates, wander steps and
# the farthest the picture went from its centred place, in pixels. Prints one line per run and,
# per size, the medians and the all-in ratio to xclock. Measuring starts after WARMUP seconds:
# in its first minute the program draws each second hand position once, to lay it over the dial
# later.
#
# With --side-by-side the runs of a size go at the same time, each on its own pair of servers,
# so a size takes WARMUP + SECONDS however many runs there are. They then share the processors,
# the saver's runs with xclock's alike.
#
#   bench/xvfb_bench.sh [--side-by-side] <build dir> [seconds per run, default 120] [runs, default 3]
#                       [warmup, default 60]
#
# SIZES, when set, names the screen sizes to measure instead, e.g. SIZES=3840x2160.
set -eu
side_by_side=false
if [ "${1:-}" = --side-by-side ]; then
    side_by_side=true
    shift
fi
build=$1
seconds=${2:-120}
runs=${3:-3}
warmup=${4:-60}
sizes=${SIZES:-1920x1080 3840x2160}
program=$build/src/clocksaver.scr
first_frame=$build/bench/first_frame
screen_watch=$build/bench/screen_watch
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
# No desktop session here; the program must not wait for one.
unset DBUS_SESSION_BUS_ADDRESS

. "$(dirname "$0")/bench_common.sh"
# Context switches of all threads: every wake-up of a thread ends in one.
switches() {
    cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { sum += $2 } END { print sum }'
}
now_ms() { date +%s%3N; }

# Per run: the processes, and the figures taken before and after measuring.
declare -A saver saverX saverDisplay clock clockX watch firstMs before after

start_run() {
    local size=$1 run=$2
    read -r "saverX[$run]" "saverDisplay[$run]" < <(start_xvfb "$size")
    local clockDisplay
    read -r "clockX[$run]" clockDisplay < <(start_xvfb "$size")
    local folder=$work/run$run
    mkdir -p "$folder"
    cp "$program" "$folder/"
    read -r "saver[$run]" "firstMs[$run]" < <(DISPLAY=${saverDisplay[$run]} "$first_frame" "$folder/clocksaver.scr" /S 2>/dev/null)
    DISPLAY=${saverDisplay[$run]} "$screen_watch" >"$folder/watched" &
    watch[$run]=$!
    DISPLAY=$clockDisplay xclock -update 1 >/dev/null 2>&1 &
    clock[$run]=$!
}

figures() {
    local run=$1
    echo "$(cpu_ns "${saver[$run]}") $(cpu_ns "${saverX[$run]}") $(cpu_ns "${clock[$run]}") $(cpu_ns "${clockX[$run]}") $(switches "${saver[$run]}")"
}

end_run() {
    local size=$1 run=$2
    local peak
    peak=$(peak_kib "${saver[$run]}")
    kill -TERM "${watch[$run]}"
    wait "${watch[$run]}" || true
    local start
    start=$(now_ms)
    DISPLAY=${saverDisplay[$run]} xdotool key a
    while [ -e /proc/"${saver[$run]}" ] && ! grep -q '^State:.*Z' /proc/"${saver[$run]}"/status 2>/dev/null; do sleep 0.001; done
    local keyMs=$(($(now_ms) - start))
    kill "${clock[$run]}" "${saverX[$run]}" "${clockX[$run]}" 2>/dev/null || true
    wait "${clock[$run]}" "${saverX[$run]}" "${clockX[$run]}" 2>/dev/null || true
    awk -v s="$size" -v r="$run" -v t="$seconds" -v peak="$peak" -v first="${firstMs[$run]}" -v key="$keyMs" \
        -v b="${before[$run]}" -v a="${after[$run]}" -v w="$(cat "$work/run$run/watched")" 'BEGIN {
            split(b, x); split(a, y); split(w, seen)
            for (i = 1; i <= 4; ++i) p[i] = (y[i] - x[i]) / (t * 1e9) * 100
            ratio = (p[1] + p[2]) / (p[3] + p[4])
            printf "%-10s %3d %9.3f %9.3f %9.3f %9.3f %7.2f %9.1f %8.1f %9d %8.1f %7d %6d %5.1f\n", s, r, p[1], p[2], p[3],
                   p[4], ratio, peak / 1024, first, key, (y[5] - x[5]) / t, seen[1], seen[2], seen[3]
        }' | tee -a "$results"
}

printf '%-10s %3s %9s %9s %9s %9s %7s %9s %8s %9s %8s %7s %6s %5s\n' screen run "saver %" "its X %" "xclock %" "its X %" ratio \
    "peak MiB" "first ms" "key ms" "wakes/s" globes steps "far"
results=$work/results
for size in $sizes; do
    if $side_by_side; then
        measure_side_by_side "$size"
    else
        for run in $(seq "$runs"); do
            start_run "$size" "$run"
            sleep "$warmup"
            before[$run]=$(figures "$run")
            sleep "$seconds"
            after[$run]=$(figures "$run")
            end_run "$size" "$run"
        done
    fi
done

echo
echo "medians over the runs (all-in: program + its X server; a ratio of at most 1.0 is no more than xclock)"
for size in $sizes; do
    printf '%-10s saver %s + %s %%, xclock %s + %s %%, ratio %s, peak %s MiB, first frame %s ms, key %s ms, %s wake-ups/s, %s globe updates, %s wander steps\n' \
        "$size" "$(median "$size" 3)" "$(median "$size" 4)" "$(median "$size" 5)" "$(median "$size" 6)" \
        "$(median "$size" 7)" "$(median "$size" 8)" "$(median "$size" 9)" "$(median "$size" 10)" "$(median "$size" 11)" \
        "$(median "$size" 12)" "$(median "$size" 13)"
done
