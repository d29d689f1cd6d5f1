#!/usr/bin/env bash
# The whole program, as a user starts it: time from launch to the main window
# mapped on an X display, and the resident memory once it is idle. Runs under
# its own Xvfb with a fresh home folder; the first launch seeds the user folder
# and is reported apart.
#
#   bench/program_start.sh [program] [runs]      (default build/release/bin/nubivista, 5)
#
# PROGRAM_ARGS are passed to the program: "--feed http://127.0.0.1:1/" times a
# launch that starts no feed of its own, against the default that starts one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
program="${1:-$root/build/release/bin/nubivista}"
runs="${2:-5}"

if [ -z "${BENCH_INNER:-}" ]; then
    exec env BENCH_INNER=1 PROGRAM_ARGS="${PROGRAM_ARGS:-}" xvfb-run -a -s "-screen 0 1280x900x24 -noreset" "$0" "$program" "$runs"
fi

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

now_ms() { date +%s%3N; }

launch_once() {
    local start pid shown
    start=$(now_ms)
    # shellcheck disable=SC2086 # the arguments are words
    "$program" ${PROGRAM_ARGS:-} >"$home/program.log" 2>&1 &
    pid=$!
    until xwininfo -name Nubivista >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "the program ended before showing its window:" >&2
            tail -5 "$home/program.log" >&2
            exit 1
        fi
        sleep 0.005
    done
    shown=$(now_ms)
    echo "$((shown - start))"
    if [ "${2:-}" = rss ]; then
        sleep 5
        echo "idle resident memory: $(awk '/VmRSS/ {print $2, $3}' /proc/$pid/status)" >&2
        local feed
        for feed in $(pgrep -P "$pid" -x nubivista-feed || true); do
            echo "its feed's resident memory: $(awk '/VmRSS/ {print $2, $3}' /proc/$feed/status)" >&2
        done
    fi
    kill -TERM "$pid"
    wait "$pid" || true
}

echo "first run (creates and seeds the user folder): $(launch_once) ms"
times=()
for i in $(seq 1 "$runs"); do
    if [ "$i" -eq 1 ]; then times+=("$(launch_once x rss)"); else times+=("$(launch_once)"); fi
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "later runs: ${times[*]} ms; median ${sorted[$((runs / 2))]} ms"
