#!/usr/bin/env bash
# The real program next to what a user would otherwise leave open: the program
# looping 20 stored radar images at 100 ms a frame against Chromium showing the
# same 20 frames as one animated GIF at 100 ms a frame; then the program idle on
# the national map, the program waiting between the images of an auto-refresh
# process, and its launch to the window shown (bench/program_start.sh).
#
# CPU is the share of one core over the span, summed over each side's whole
# process tree (QtWebEngineProcess children, Chromium's many processes): the
# tree's utime+stime+cutime+cstime at the end minus at the start, so children
# that exit during the span and are reaped by the tree are counted too. Memory is
# the tree's RSS and PSS at the end of the span. The X server's own CPU over the
# span is shown apart. Runs under its own Xvfb with a fresh home folder; the
# radar simulator is the program's feed (--feed), so nothing reaches the Internet,
# and it is counted with the program's tree: the figures are the program's with
# its feed, whose own share is shown too. The
# frames are real simulator frames fetched with curl. The program is driven with
# xdotool (reload the current set and Run; a site click on the map and Yes).
#
#   bench/side_by_side.sh [--span S] [--shots DIR] [program]
#       --span S     seconds each measurement lasts (default 60; env SBS_SPAN_SECONDS)
#       --shots DIR  keeps the screenshots there (default a new /tmp/side_by_side.* folder)
#   SBS_START_RUNS   launches for the start time (default 5)
#
# Uses the release build (build/release), building the program and the tools it
# needs when they are missing. Installs chromium, imagemagick, xdotool, xvfb,
# xauth, x11-utils and curl when missing (apt-get, as root or with sudo). Every
# process it started (Xvfb, simulator, program, Chromium) is ended at exit, on
# Ctrl-C or TERM too. The exit status reports failures to measure only; the goal
# (the loop, feed included, at most a fifth of Chromium's CPU) is printed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

span="${SBS_SPAN_SECONDS:-60}"
shots=""
program=""
while [ $# -gt 0 ]; do
    case "$1" in
    --span) span="$2"; shift 2 ;;
    --shots) shots="$2"; shift 2 ;;
    -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) program="$1"; shift ;;
    esac
done
release="$root/build/release"
program="${program:-$release/bin/nubivista}"
tools="$release/tools"
start_runs="${SBS_START_RUNS:-5}"

missing=()
for p in chromium imagemagick xdotool xvfb xauth x11-utils curl; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

needed=(nubivista nubivista-feed make-sample-set make-default-settings)
for t in "$program" "$(dirname "$program")/nubivista-feed" "$tools/make-sample-set" "$tools/make-default-settings"; do
    if [ ! -x "$t" ]; then
        echo "Building the release build (${needed[*]}) in $release"
        (cd "$root" && scripts/install-deps && { [ -f "$release/build.ninja" ] || cmake --preset release; } &&
            cmake --build --preset release -j2 --target "${needed[@]}")
        break
    fi
done
[ -x "$program" ] || { echo "side_by_side: no program at $program" >&2; exit 1; }

[ -n "$shots" ] || shots="$(mktemp -d /tmp/side_by_side.XXXXXX)"
mkdir -p "$shots"
work="$(mktemp -d /tmp/side_by_side_work.XXXXXX)"
# Nothing of the real home is read or written: both sides get a fresh one.
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME XDG_CONFIG_DIRS XDG_DATA_DIRS
export HOME="$work/home" XDG_RUNTIME_DIR="$work/home/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

clk_tck=$(getconf CLK_TCK)
page_kb=$(($(getconf PAGESIZE) / 1024))

# One line per process: pid ppid starttime cputicks rss_kb ownticks, cputicks
# being utime+stime+cutime+cstime (the reaped children's time is in the
# parent's), ownticks utime+stime.
proc_table() {
    local f line rest
    for f in /proc/[0-9]*/stat; do
        read -r line 2>/dev/null <"$f" || continue
        rest="${line##*) }"
        # shellcheck disable=SC2086 # the fields after the command name
        set -f -- $rest
        echo "${line%% *} $2 ${20} $((${12} + ${13} + ${14} + ${15})) $((${22} * page_kb))" \
            "$((${12} + ${13}))"
    done
    set +f
}

# At exit, even on Ctrl-C or TERM: every process this script started, that is
# each descendant of it, and whatever holds the work folder in its command line
# (Chromium's crash handler leaves the tree). Each is known by id and start
# time, so a reused id is left alone.
cleanup() {
    trap - INT TERM HUP
    local left _
    proc_table >"$work/at-exit.txt" 2>/dev/null || true
    grep -laF -- "$work/" /proc/[0-9]*/cmdline 2>/dev/null | sed 's|^/proc/||; s|/cmdline$||' \
        >"$work/holders.txt" || true
    awk -v me="$$" 'NR == FNR { hold[$1] = 1; next }
        { ppid[$1] = $2; st[$1] = $3 }
        END {
            inside[me] = 1
            for (p in hold) if (p in st) inside[p] = 1
            do {
                grown = 0
                for (p in ppid) if (!(p in inside) && (ppid[p] in inside)) { inside[p] = 1; grown = 1 }
            } while (grown)
            for (p in inside) if (p != me) print p, st[p]
        }' "$work/holders.txt" "$work/at-exit.txt" >"$work/ours.txt"
    left=$(ours_alive)
    if [ -n "$left" ]; then
        # shellcheck disable=SC2086
        kill -TERM $left 2>/dev/null || true
        for _ in $(seq 1 30); do
            left=$(ours_alive)
            [ -z "$left" ] && break
            sleep 0.1
        done
        # shellcheck disable=SC2086
        [ -z "$left" ] || kill -KILL $left 2>/dev/null || true
    fi
    rm -rf "$work"
}
# The ids in ours.txt whose process still runs with the same start time.
ours_alive() {
    local pid st now
    while read -r pid st; do
        read -r now 2>/dev/null <"/proc/$pid/stat" || continue
        now="${now##*) }"
        [ "$(echo "$now" | cut -d' ' -f20)" = "$st" ] && echo "$pid"
    done <"$work/ours.txt"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Sleeps so that a signal is handled at once (a foreground sleep holds the trap back).
pause() {
    sleep "$1" &
    wait $!
}

fail() {
    echo "side_by_side: $*" >&2
    exit 1
}
now_ms() { date +%s%3N; }

# ---- process trees ------------------------------------------------------------

# The processes of one side: root and its descendants, plus (with a match)
# every process whose command line holds the text, with its descendants, for
# helpers that leave the tree (Chromium's crash handler). Prints proc_table lines.
tree_snapshot() {
    local roots="$1" match="${2:-}" f
    if [ -n "$match" ]; then
        while read -r f; do
            f="${f#/proc/}"
            roots+=" ${f%/cmdline}"
        done < <(grep -laF -- "$match" /proc/[0-9]*/cmdline 2>/dev/null || true)
    fi
    proc_table | awk -v roots="$roots" '
        { ppid[$1] = $2; line[$1] = $0 }
        END {
            n = split(roots, r, " ")
            for (i = 1; i <= n; i++) if (r[i] in line) inside[r[i]] = 1
            do {
                grown = 0
                for (p in ppid) if (!(p in inside) && (ppid[p] in inside)) { inside[p] = 1; grown = 1 }
            } while (grown)
            for (p in inside) print line[p]
        }'
}

pss_kb_of() {
    local sum=0 p v
    for p in "$@"; do
        v=$(awk '/^Pss:/ {print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || true)
        sum=$((sum + ${v:-0}))
    done
    echo "$sum"
}

# The X server, on the first free display.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "side_by_side: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(cat "$work/display")"
export DISPLAY
unset WAYLAND_DISPLAY XAUTHORITY
xvfb_ticks() {
    proc_table | awk -v p="$xvfb_pid" '$1 == p { print $4 - 0; found = 1 } END { if (!found) print 0 }'
}

# measure LABEL ROOT [MATCH] [FEED]: waits the span, then keeps the side's CPU
# share, memory and process counts under LABEL; the feed's process (and its
# tree) is counted with the side, and its own share kept apart.
declare -A cpu_pct main_pct rss_mib pss_mib procs x_pct requests feed_pct feed_pss
measure() {
    local label="$1" root_pid="$2" match="${3:-}" feed="${4:-}" t0 t1 x0 x1
    tree_snapshot "$root_pid $feed" "$match" >"$work/start.txt"
    x0=$(xvfb_ticks)
    local r0
    r0=$(sim_requests)
    t0=$(now_ms)
    pause "$span"
    tree_snapshot "$root_pid $feed" "$match" >"$work/end.txt"
    x1=$(xvfb_ticks)
    requests[$label]=$(($(sim_requests) - r0))
    t1=$(now_ms)
    kill -0 "$root_pid" 2>/dev/null || fail "$label: the process ended during the span"
    local ticks rss pss own
    own=$(($(awk -v p="$root_pid" '$1 == p {print $6}' "$work/end.txt") -
        $(awk -v p="$root_pid" '$1 == p {print $6}' "$work/start.txt")))
    main_pct[$label]=$(awk -v t="$own" -v hz="$clk_tck" -v ms=$((t1 - t0)) \
        'BEGIN {printf "%.2f", 100 * t / hz / (ms / 1000)}')
    ticks=$(($(awk '{s += $4} END {print s + 0}' "$work/end.txt") -
        $(awk '{s += $4} END {print s + 0}' "$work/start.txt")))
    rss=$(awk '{s += $5} END {print s + 0}' "$work/end.txt")
    # shellcheck disable=SC2046
    pss=$(pss_kb_of $(awk '{print $1}' "$work/end.txt"))
    cpu_pct[$label]=$(awk -v t="$ticks" -v hz="$clk_tck" -v ms=$((t1 - t0)) \
        'BEGIN {printf "%.2f", 100 * t / hz / (ms / 1000)}')
    x_pct[$label]=$(awk -v t=$((x1 - x0)) -v hz="$clk_tck" -v ms=$((t1 - t0)) \
        'BEGIN {printf "%.2f", 100 * t / hz / (ms / 1000)}')
    if [ -n "$feed" ]; then
        local feed_ticks
        feed_ticks=$(($(awk -v p="$feed" '$1 == p {print $4}' "$work/end.txt") -
            $(awk -v p="$feed" '$1 == p {print $4}' "$work/start.txt")))
        feed_pct[$label]=$(awk -v t="$feed_ticks" -v hz="$clk_tck" -v ms=$((t1 - t0)) \
            'BEGIN {printf "%.2f", 100 * t / hz / (ms / 1000)}')
        feed_pss[$label]=$(awk -v k="$(pss_kb_of "$feed")" 'BEGIN {printf "%.0f", k / 1024}')
    else
        feed_pct[$label]="-"
        feed_pss[$label]="-"
    fi
    rss_mib[$label]=$(awk -v k="$rss" 'BEGIN {printf "%.0f", k / 1024}')
    pss_mib[$label]=$(awk -v k="$pss" 'BEGIN {printf "%.0f", k / 1024}')
    local n0 n1 gone
    n0=$(wc -l <"$work/start.txt")
    n1=$(wc -l <"$work/end.txt")
    gone=$(awk 'NR == FNR {seen[$1 " " $3] = 1; next} !(($1 " " $3) in seen)' \
        "$work/end.txt" "$work/start.txt" | wc -l)
    procs[$label]="$n0>$n1 ($gone gone)"
    echo "  $label: ${cpu_pct[$label]} % CPU (${main_pct[$label]} % its first process)," \
        "RSS ${rss_mib[$label]} MiB, PSS ${pss_mib[$label]} MiB, processes ${procs[$label]}," \
        "${requests[$label]} requests to the simulator"
}

# Ends a side: TERM to its root, then whatever of its tree is left, by id
# (and start time, so that a reused id is left alone).
end_side() {
    local root_pid="$1" match="${2:-}" before
    before=$(tree_snapshot "$root_pid" "$match" | awk '{print $1, $3}')
    kill -TERM "$root_pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
        kill -0 "$root_pid" 2>/dev/null || break
        sleep 0.1
    done
    wait "$root_pid" 2>/dev/null || true
    sleep 1
    proc_table | awk 'NR == FNR {ours[$1 " " $2] = 1; next} ($1 " " $3) in ours {print $1}' \
        <(echo "$before") - | while read -r p; do kill -KILL "$p" 2>/dev/null || true; done
}

# ---- the screen ------------------------------------------------------------------

shot() { import -window root "$shots/$1.png"; }

# Pixels that differ between two screenshots within WxH+X+Y.
changed_pixels() {
    convert "$shots/$1.png" -crop "$3" +repage "$work/a.png"
    convert "$shots/$2.png" -crop "$3" +repage "$work/b.png"
    compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | awk '{printf "%d", $1}' || true
}

# Two screenshots a quarter second apart must differ within the area.
check_moving() {
    local what="$1" area="$2" n
    shot "$what-a"
    sleep 0.25
    shot "$what-b"
    n=$(changed_pixels "$what-a" "$what-b" "$area")
    echo "  $what: $n pixels changed in 0.25 s ($shots/$what-a.png, $what-b.png)"
    [ "${n:-0}" -gt 500 ] || fail "$what: the picture does not move"
}

# Prints the id of the first visible window whose name matches, waiting up to 30 s.
wait_window() {
    local w
    for _ in $(seq 1 300); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}
wait_window_gone() {
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# Moves the pointer to a point of the program's window and clicks (real pointer
# events: the window takes no synthetic ones).
win_x=0 win_y=0
click_at() {
    xdotool mousemove $((win_x + $1)) $((win_y + $2)) click 1
}

# The pointer out of both windows, so that no hover or tooltip redraws during a span.
park_pointer() { xdotool mousemove 1279 899; }

# The program's controls, relative to its main window as first laid out.
readonly menu_button="801 10" run_button="17 25"
readonly map_image="17 177"          # the national map image's top left, page not scrolled
readonly picture_area="600x550+9+83" # the shown radar image

# A message window's question answered Yes: the focus starts on No.
answer_yes() {
    wait_window '^ *Message *$' >/dev/null || fail "$1: no message window came"
    xdotool key shift+Tab
    sleep 0.2
    xdotool key space
    wait_window_gone '^ *Message *$' || fail "$1: the message window stayed"
}

# ---- the radar simulator -----------------------------------------------------------

start_sim() { # log file, further arguments; sets sim_pid and sim_port
    "$(dirname "$program")/nubivista-feed" --source sim --admin --port 0 "${@:2}" >"$work/sim.out" 2>"$1" &
    sim_pid=$!
    sim_port=""
    for _ in $(seq 1 100); do
        sim_port="$(sed -n 's|^nubivista-feed listening on http://127\.0\.0\.1:\([0-9]*\)/$|\1|p' "$work/sim.out")"
        [ -n "$sim_port" ] && return 0
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    fail "nubivista-feed did not start"
}

echo "Span ${span} s per measurement; screenshots in $shots; load average $(cut -d' ' -f1-3 /proc/loadavg)"

# The 20 frames: kmkx base reflectivity from a simulator whose clock stands an
# hour back, its loop list of ten, ten frames on, and its loop list again.
start_sim "$work/frames-sim.log" --speed 0 --start-time "$(date -u -d '-60 min' +%Y-%m-%dT%H:%M:%SZ)"
frames="$work/frames"
mkdir -p "$frames"
n=0
for round in 1 2; do
    [ "$round" -eq 2 ] && curl -sf "http://127.0.0.1:$sim_port/_sim/advance?frames=10" >/dev/null
    while read -r path; do
        n=$((n + 1))
        curl -sf -R -x "http://127.0.0.1:$sim_port" -o "$frames/$(printf %02d $n).gif" \
            "http://weather.noaa.gov/radar/$path" || fail "cannot fetch $path"
    done < <(curl -sf -x "http://127.0.0.1:$sim_port" \
        "http://weather.noaa.gov/radar/loopdata/DS.p19r0/kmkx.txt")
done
[ "$n" -eq 20 ] || fail "got $n frames, not 20"
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
convert -delay 10 -loop 0 "$frames"/*.gif "$work/loop.gif"
cat >"$work/loop.html" <<'EOF'
<!DOCTYPE html>
<html><head><title>Radar loop</title></head>
<body style="margin:0"><img src="loop.gif" alt="radar loop"></body></html>
EOF
echo "20 frames of kmkx fetched; loop.gif $(($(stat -c %s "$work/loop.gif") / 1024)) KiB"

# The simulator the program runs against, at the real time.
start_sim "$work/sim.log" --log
sim_requests() { wc -l <"$work/sim.log"; }
proxy="http://127.0.0.1:$sim_port/"
export http_proxy="$proxy" HTTP_PROXY="$proxy"
export no_proxy="localhost,127.0.0.1,::1" NO_PROXY="localhost,127.0.0.1,::1"

# ---- 1a. Chromium showing the animated GIF --------------------------------------------

echo "Chromium, the 20 frames as one animated GIF:"
chromium_dir="$work/chromium"
# shellcheck disable=SC2054 # one flag holds a comma
chromium_args=(--user-data-dir="$chromium_dir" --no-first-run --no-default-browser-check
    --window-position=0,0 --window-size=827,780)
[ "$(id -u)" -eq 0 ] && chromium_args=(--no-sandbox "${chromium_args[@]}")
chromium "${chromium_args[@]}" "file://$work/loop.html" >"$work/chromium.log" 2>&1 &
chromium_pid=$!
cwin=$(wait_window 'Radar loop') || fail "Chromium showed no window"
park_pointer
pause 10
eval "$(xdotool getwindowgeometry --shell "$cwin")"
check_moving chromium "${WIDTH}x${HEIGHT}+${X}+${Y}"
measure chromium "$chromium_pid" "$work/"
check_moving chromium-end "${WIDTH}x${HEIGHT}+${X}+${Y}"
end_side "$chromium_pid" "$work/"

# ---- the program -------------------------------------------------------------------------

program_pid=""
launch_program() { # home folder
    mkdir -p "$1/run" && chmod 700 "$1/run"
    HOME="$1" XDG_RUNTIME_DIR="$1/run" "$program" --feed "$proxy" >"$1/program.log" 2>&1 &
    program_pid=$!
    local w
    w=$(wait_window '^Nubivista$') || fail "the program showed no window"
    eval "$(xdotool getwindowgeometry --shell "$w")"
    win_x=$X win_y=$Y
    park_pointer
    # The national map comes through the simulator.
    pause 6
}
maps_served() { grep -c 'national.html' "$work/sim.log" || true; }

# ---- 1b. the program looping the same frames ----------------------------------------------

echo "The program looping the 20 frames:"
home_loop="$work/loop-home"
user_dir="$home_loop/.local/share/Application Data/Nubivista"
mkdir -p "$user_dir"
"$tools/make-sample-set" --out "$user_dir/Loop Images" "$frames"/*.gif
"$tools/make-default-settings" --loop-delay 100 "$user_dir/Nubivista.ini"
launch_program "$home_loop"
# Menu > Reload Last Current Image Set, Yes; then Run.
# shellcheck disable=SC2086
click_at $menu_button
sleep 0.5
xdotool key Down Return
answer_yes "reload"
sleep 2
# shellcheck disable=SC2086
click_at $run_button
park_pointer
sleep 1
read -r pw ph px py <<<"$(echo "$picture_area" | tr 'x+' '  ')"
loop_area="${pw}x${ph}+$((win_x + px))+$((win_y + py))"
check_moving loop "$loop_area"
measure loop "$program_pid" "" "$sim_pid"
check_moving loop-end "$loop_area"
end_side "$program_pid"

# ---- 2. the program idle on the national map -----------------------------------------------

echo "The program idle on the national map:"
maps_before=$(maps_served)
launch_program "$work/idle-home"
[ "$(maps_served)" -gt "$maps_before" ] || fail "idle: the national map was not fetched"
shot idle
measure idle "$program_pid" "" "$sim_pid"
end_side "$program_pid"

# ---- 3. the program waiting between images ---------------------------------------------------

echo "The program waiting between images (auto-refresh of kmkx):"
launch_program "$work/wait-home"
site=$(curl -sf -x "$proxy" http://weather.noaa.gov/radar/national.html |
    sed -n 's|.*coords="\([0-9]*\),\([0-9]*\),[0-9]*".*si\.kmkx\.shtml.*|\1 \2|p')
[ -n "$site" ] || fail "kmkx is not on the national map"
read -r sx sy mx my <<<"$site $map_image"
images_before=$(grep -c 'SI.kmkx/latest.gif' "$work/sim.log" || true)
click_at $((mx + sx)) $((my + sy))
answer_yes "start"
park_pointer
pause 8
shot waiting
[ "$(grep -c 'SI.kmkx/latest.gif' "$work/sim.log" || true)" -gt "$images_before" ] ||
    fail "waiting: the process fetched no kmkx image"
measure waiting "$program_pid" "" "$sim_pid"
shot waiting-end
end_side "$program_pid"

# ---- 4. launch to window shown ----------------------------------------------------------------

echo "Launch to window shown (bench/program_start.sh, $start_runs runs):"
# On this script's X server, its home folder inside the work folder; in the
# background, so that a signal reaches this script at once.
BENCH_INNER=1 TMPDIR="$work" bash "$root/bench/program_start.sh" "$program" "$start_runs" >"$work/start.out" 2>&1 &
wait $! || fail "program_start.sh failed: $(cat "$work/start.out")"
start_out=$(cat "$work/start.out")
echo "$start_out" | sed 's/^/  /'
start_median=$(echo "$start_out" | sed -n 's/.*median \([0-9]*\) ms.*/\1/p')
first_start=$(echo "$start_out" | sed -n 's/^first run.*: \([0-9]*\) ms$/\1/p')

# ---- the table ----------------------------------------------------------------------------------

echo
printf '%-40s %7s %7s %7s %8s %8s %8s %-14s %7s %5s\n' "side (span ${span} s)" "CPU %" \
    "main %" "feed %" "RSS MiB" "PSS MiB" "feed PSS" "processes" "Xvfb %" "req"
row() {
    printf '%-40s %7s %7s %7s %8s %8s %8s %-14s %7s %5s\n' "$2" "${cpu_pct[$1]}" \
        "${main_pct[$1]}" "${feed_pct[$1]}" "${rss_mib[$1]}" "${pss_mib[$1]}" "${feed_pss[$1]}" \
        "${procs[$1]}" "${x_pct[$1]}" "${requests[$1]}"
}
row chromium "Chromium, animated GIF 20 x 100 ms"
row loop "Nubivista looping 20 images x 100 ms"
row idle "Nubivista idle, national map"
row waiting "Nubivista waiting between images"
echo "Launch to window shown: median ${start_median:-?} ms (first run ${first_start:-?} ms)"
ratio=$(awk -v a="${cpu_pct[loop]}" -v b="${cpu_pct[chromium]}" \
    'BEGIN { if (b > 0) printf "%.2f", a / b; else print "inf" }')
if awk -v r="$ratio" 'BEGIN { exit !(r != "inf" && r <= 0.2) }'; then
    verdict="met"
else
    verdict="NOT met"
fi
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine adds noise)"
echo "CPU loop / Chromium: $ratio (goal at most 0.20, a fifth: $verdict)"
echo "(CPU is % of one core summed over the process tree, the program's feed included;"
echo " main % the first process alone (the program's own, Chromium's browser process);"
echo " feed % and feed PSS the feed alone; processes: at start > at end,"
echo " gone = ended during the span; Xvfb % is the X server's share in the same span;"
echo " req = requests the radar simulator answered in the span.)"
