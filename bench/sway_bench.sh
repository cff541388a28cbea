#!/bin/bash
# The real clock screen under a headless sway (pixman renderer, one output) beside the same
# program on Xvfb at the same size, at the same time, at 1920x1080 and 3840x2160, each size RUNS
# times side by side: processor time of each program and of its compositor or X server from
# /proc/PID/task/*/schedstat over SECONDS after WARMUP, each program's peak memory, and the time
# from exec to its first full frame: on X what bench/first_frame measures, on Wayland the
# WAYLAND_DEBUG=client time of the first commit that attaches a buffer of at least half the
# screen with all of it damaged, in a start of its own before the measured one. Prints one line
# per run and, per size, the medians and the ratios of Wayland to X, with the part of the
# program's time on sway that Qt's Wayland event threads take. Runs as root: sway and its
# client run as nobody, as sway refuses root.
#
#   bench/sway_bench.sh <build dir> [seconds per run, default 600] [runs, default 3] [warmup, default 60]
#
# SIZES, when set, names the screen sizes to measure instead, e.g. SIZES=3840x2160.
set -eu
build=$1
seconds=${2:-600}
runs=${3:-3}
warmup=${4:-60}
sizes=${SIZES:-1920x1080 3840x2160}
here=$(dirname "$0")
work=$(mktemp -d)
chmod 755 "$work"
trap 'kill $(jobs -p) 2>/dev/null || true; [ -n "${KEEP:-}" ] && cp -r "$work" "$KEEP"; rm -rf "$work"' EXIT
unset DBUS_SESSION_BUS_ADDRESS
. "$here/bench_common.sh"

# Starts a headless sway of the size given in folder $2, as nobody; prints "<pid> <socket>".
start_sway() {
    local folder=$2
    mkdir -p "$folder/runtime" "$folder/home"
    chmod 700 "$folder/runtime"
    chown nobody "$folder/runtime" "$folder/home"
    printf 'output HEADLESS-1 resolution %s position 0 0\ndefault_border none\n' "$1" >"$folder/config"
    chmod 644 "$folder/config"
    env -i PATH=/usr/bin:/bin HOME="$folder/home" XDG_RUNTIME_DIR="$folder/runtime" WLR_BACKENDS=headless \
        WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman setpriv --reuid=65534 --regid=65534 --clear-groups \
        sway -d -c "$folder/config" >/dev/null 2>"$folder/sway.log" &
    local pid=$!
    for _ in $(seq 200); do ls "$folder"/runtime/wayland-? >/dev/null 2>&1 && break; sleep 0.05; done
    echo "$pid $(basename "$(ls "$folder"/runtime/wayland-?)")"
}

# Milliseconds from exec ($2, microseconds since 1970) to the first full frame in the log ($1).
# The log's times are the microseconds since 1970 modulo 2^32, in milliseconds.
wayland_first_frame() {
    awk -v exec_us="$2" -v area="$3" '
        function number(text) { gsub(/[^0-9-]/, "", text); return text + 0 }
        /create_buffer\(new id wl_buffer@/ {
            split($0, f, /[(,)]/); id = f[2]; sub(/.*@/, "", id); w[id] = number(f[4]); h[id] = number(f[5])
        }
        / -> wl_surface@[0-9]+\.attach\(wl_buffer@/ {
            s = $0; sub(/.*wl_surface@/, "", s); sub(/\..*/, "", s); b = $0; sub(/.*wl_buffer@/, "", b); sub(/,.*/, "", b)
            attached[s] = b
        }
        / -> wl_surface@[0-9]+\.damage(_buffer)?\(/ {
            s = $0; sub(/.*wl_surface@/, "", s); sub(/\..*/, "", s); split($0, f, /[(,)]/)
            b = attached[s]
            if (b != "" && number(f[2]) <= 0 && number(f[3]) <= 0 && number(f[2]) + number(f[4]) >= w[b] \
                && number(f[3]) + number(f[5]) >= h[b]) whole[s] = 1
        }
        / -> wl_surface@[0-9]+\.commit\(\)/ {
            s = $0; sub(/.*wl_surface@/, "", s); sub(/\..*/, "", s); b = attached[s]
            if (b != "" && whole[s] && w[b] * h[b] * 2 >= area) {
                t = $0; sub(/^\[ */, "", t); sub(/\].*/, "", t)
                start = (exec_us % 4294967296) / 1000; ms = t - start; if (ms < 0) ms += 4294967.296
                printf "%.0f\n", ms; exit
            }
            attached[s] = ""; whole[s] = 0
        }' "$1"
}

declare -A prog progX swayPid swayProg firstX firstW before after

start_run() {
    local size=$1 run=$2
    local folder=$work/run$run
    mkdir -p "$folder/x" "$folder/wayland"
    cp "$build/src/clocksaver.scr" "$folder/x/"
    cp "$build/src/clocksaver.scr" "$folder/wayland/"
    chmod 777 "$folder/wayland"
    local display
    read -r "progX[$run]" display < <(start_xvfb "$size")
    read -r "prog[$run]" "firstX[$run]" < <(DISPLAY=$display "$build/bench/first_frame" "$folder/x/clocksaver.scr" /S 2>/dev/null)
    local socket
    read -r "swayPid[$run]" socket < <(start_sway "$size" "$folder/sway")
    local exec_us
    exec_us=$(date +%s%6N)
    start_wayland_program "$folder" "$socket" WAYLAND_DEBUG=client 2>"$folder/wayland.log"
    sleep 5
    firstW[$run]=$(wayland_first_frame "$folder/wayland.log" "$exec_us" "$(echo "$size" | awk -Fx '{ print $1 * $2 }')")
    # Its protocol log costs the program more than its ticks: the copy measured runs without it.
    kill -TERM "${swayProg[$run]}"
    wait "${swayProg[$run]}" 2>/dev/null || true
    start_wayland_program "$folder" "$socket"
}

# Starts the program on sway's socket $2 as nobody, with any further VAR=value given.
start_wayland_program() {
    local folder=$1 socket=$2
    env -i PATH=/usr/bin:/bin HOME="$folder/sway/home" XDG_RUNTIME_DIR="$folder/sway/runtime" WAYLAND_DISPLAY="$socket" \
        "${@:3}" setpriv --reuid=65534 --regid=65534 --clear-groups "$folder/wayland/clocksaver.scr" /S &
    swayProg[$run]=$!
}

# Nanoseconds of the threads in which Qt's Wayland plugin reads the connection: they wake for
# every event the compositor sends, whichever queue it is for.
event_threads_ns() {
    local task total=0
    for task in /proc/"$1"/task/*; do
        [ "$(cat "$task/comm" 2>/dev/null)" = WaylandEventThr ] && total=$((total + $(cut -d' ' -f1 "$task/schedstat")))
    done
    echo "$total"
}

figures() {
    local run=$1
    echo "$(cpu_ns "${prog[$run]}") $(cpu_ns "${progX[$run]}") $(cpu_ns "${swayProg[$run]}") $(cpu_ns "${swayPid[$run]}")" \
        "$(event_threads_ns "${swayProg[$run]}")"
}

end_run() {
    local size=$1 run=$2
    local folder=$work/run$run
    local peakX peakW timeouts
    peakX=$(peak_kib "${prog[$run]}")
    peakW=$(peak_kib "${swayProg[$run]}")
    timeouts=$(grep -c 'timed out' "$folder/sway/sway.log" || true)
    kill -TERM "${prog[$run]}" "${swayProg[$run]}" 2>/dev/null || true
    sleep 1
    kill "${progX[$run]}" "${swayPid[$run]}" 2>/dev/null || true
    wait "${progX[$run]}" "${swayPid[$run]}" "${swayProg[$run]}" 2>/dev/null || true
    awk -v s="$size" -v r="$run" -v t="$seconds" -v px="$peakX" -v pw="$peakW" -v fx="${firstX[$run]}" \
        -v fw="${firstW[$run]:--1}" -v to="$timeouts" -v b="${before[$run]}" -v a="${after[$run]}" 'BEGIN {
            split(b, x); split(a, y)
            for (i = 1; i <= 5; ++i) p[i] = (y[i] - x[i]) / (t * 1e9) * 100
            printf "%-10s %3d %9.4f %9.4f %9.4f %9.4f %7.2f %8.1f %8.1f %8d %8d %8d %9.4f\n", s, r, p[1], p[2], p[3], p[4],
                   (p[1] > 0 ? p[3] / p[1] : 0), px / 1024, pw / 1024, fx, fw, to, p[5]
        }' | tee -a "$results"
}

printf '%-10s %3s %9s %9s %9s %9s %7s %8s %8s %8s %8s %8s %9s\n' screen run "X prog %" "Xvfb %" "Wl prog %" "sway %" \
    "Wl/X" "X MiB" "Wl MiB" "X 1st ms" "Wl 1st" "timeouts" "Qt thr %"
results=$work/results
for size in $sizes; do measure_side_by_side "$size"; done

echo
echo "medians over the runs (CPU in % of one core; Wl/X: the program's own CPU on sway over on Xvfb;"
echo "Qt thr: the part of the program's CPU on sway spent in Qt's Wayland event threads)"
for size in $sizes; do
    printf '%-10s X: program %s %%, Xvfb %s %%, peak %s MiB, first frame %s ms | Wayland: program %s %%, sway %s %%, peak %s MiB, first full frame %s ms, configure timeouts %s, Qt thr %s %% | Wl/X %s\n' \
        "$size" "$(median "$size" 3)" "$(median "$size" 4)" "$(median "$size" 8)" "$(median "$size" 10)" \
        "$(median "$size" 5)" "$(median "$size" 6)" "$(median "$size" 9)" "$(median "$size" 11)" "$(median "$size" 12)" \
        "$(median "$size" 13)" "$(median "$size" 7)"
done
