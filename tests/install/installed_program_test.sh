#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and starts the installed
# program as a user would, through bin/nubivista, with a fresh home folder and
# every address outside the machine sent to a closed loopback port. Passes when
# the program finds its shipped material there (it seeds the user folders from
# it), starts its feed, stays up with its main window, and on SIGTERM closes
# that window, ends its feed and exits cleanly; and when "nubivista --demo"
# shows the simulator's national map.
#
#   installed_program_test.sh <build dir> [cmake]
set -euo pipefail
build="${1:?usage: installed_program_test.sh <build dir> [cmake]}"
cmake="${2:-cmake}"

work="$(mktemp -d)"
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    if [ -f "$work/program.log" ]; then
        echo "--- program output:" >&2
        tail -20 "$work/program.log" >&2
    fi
    exit 1
}

prefix="$work/prefix"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install"
}

app="$prefix/lib/nubivista"
[ "$(readlink "$prefix/bin/nubivista")" = "../lib/nubivista/nubivista" ] ||
    fail "bin/nubivista is not the relative link to ../lib/nubivista/nubivista"
for f in nubivista nubivista-feed us-boundaries.bin us-states.bin towns.bin Nubivista.ini NubivistaHelp.htm BeginNav.htm \
    "Sample Loop Images/CurrSetRec.sis"; do
    [ -e "$app/$f" ] || fail "not installed: lib/nubivista/$f"
done
share="$prefix/share"
id=org.nubivista.Nubivista
for f in "applications/$id.desktop" "metainfo/$id.metainfo.xml" \
    "icons/hicolor/scalable/apps/$id.svg" "icons/hicolor/48x48/apps/$id.png" \
    "icons/hicolor/128x128/apps/$id.png" "icons/hicolor/256x256/apps/$id.png"; do
    [ -s "$share/$f" ] || fail "not installed: share/$f"
done

# A fresh user: nothing of the real home, runtime or data folders is used.
home="$work/home"
mkdir -p "$home/run" && chmod 700 "$home/run"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_STATE_HOME DISPLAY WAYLAND_DISPLAY
export HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen
# Nothing listens on port 1: every radar page fails to load, and nothing leaves the machine.
export http_proxy=http://127.0.0.1:1/ HTTP_PROXY=http://127.0.0.1:1/
export https_proxy=http://127.0.0.1:1/ HTTPS_PROXY=http://127.0.0.1:1/
export no_proxy=localhost,127.0.0.1,::1 NO_PROXY=localhost,127.0.0.1,::1

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
else
    echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 || {
        cat "$work/appstream.log" >&2
        fail "metainfo"
    }
else
    echo "appstreamcli not installed: metainfo not validated"
fi

# The installed feed finds its boundary file beside it and says when it is ready.
"$app/nubivista-feed" --source sim --port 0 >"$work/feed.log" 2>&1 &
feed=$!
for _ in $(seq 1 100); do
    grep -q '^nubivista-feed listening on http://127\.0\.0\.1:[0-9]*/$' "$work/feed.log" && break
    kill -0 "$feed" 2>/dev/null || break
    sleep 0.1
done
kill "$feed" 2>/dev/null || true
grep -q '^nubivista-feed listening on' "$work/feed.log" || {
    cat "$work/feed.log" >&2
    fail "the installed feed did not start"
}

user="$home/.local/share/Application Data/Nubivista"
(cd "$work" && exec "$prefix/bin/nubivista") >"$work/program.log" 2>&1 &
pid=$!
for _ in $(seq 1 300); do
    [ -d "$user/Saved Image Sets" ] && [ -s "$user/Nubivista.ini" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended during start-up"
    sleep 0.1
done
[ -s "$user/Nubivista.ini" ] || fail "no user settings file after 30 s"

ready_line='^nubivista: feed ready at http://127\.0\.0\.1:[0-9]*/ (source live)$'
for _ in $(seq 1 300); do
    grep -q "$ready_line" "$work/program.log" && break
    sleep 0.1
done
grep -q "$ready_line" "$work/program.log" || fail "the program's feed did not say it was ready"
feed_pid="$(pgrep -P "$pid" -x nubivista-feed || true)"
[ -n "$feed_pid" ] || fail "no nubivista-feed process under the program"

# The signal handler that closes the main window is set once the window is
# shown; a program still up a few seconds later is in its event loop.
sleep 5
kill -0 "$pid" 2>/dev/null || fail "the program ended on its own"
cmp -s "$app/Nubivista.ini" "$user/Nubivista.ini" || fail "settings are not the shipped defaults"
for f in CurrSetRec.sis latest1.gif latest11.gif; do
    cmp -s "$app/Sample Loop Images/$f" "$user/Loop Images/$f" || fail "loop folder not seeded: $f"
done
touch -d 2000-01-01 "$user/Nubivista.ini"
touch -d 2000-01-02 "$work/marker"

kill -TERM "$pid"
status=0
timeout 30 tail --pid="$pid" -f /dev/null || fail "the program did not end within 30 s of SIGTERM"
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
# The main window writes the settings when it closes.
[ "$user/Nubivista.ini" -nt "$work/marker" ] || fail "settings not written on close"
kill -0 "$feed_pid" 2>/dev/null && fail "the feed outlived the program"

# The demo: the simulator's national map, through the program's own feed.
cache="$home/.cache/Nubivista/internet"
rm -rf "$cache"
(cd "$work" && exec "$prefix/bin/nubivista" --demo) >"$work/demo.log" 2>&1 &
pid=$!
for _ in $(seq 1 600); do
    grep -q '^nubivista: feed ready at .* (source sim)$' "$work/demo.log" &&
        grep -rqs 'weather.noaa.gov/radar/national.html' "$cache" && break
    kill -0 "$pid" 2>/dev/null || fail "the demo ended during start-up"
    sleep 0.1
done
grep -q '^nubivista: feed ready at .* (source sim)$' "$work/demo.log" || fail "the demo did not start the simulator"
grep -rqs 'weather.noaa.gov/radar/national.html' "$cache" || fail "the demo showed no national map in 60 s"
feed_pid="$(pgrep -P "$pid" -x nubivista-feed || true)"
kill -TERM "$pid"
timeout 30 tail --pid="$pid" -f /dev/null || fail "the demo did not end within 30 s of SIGTERM"
wait "$pid" || fail "the demo's exit status"
pid=""
[ -z "$feed_pid" ] || ! kill -0 "$feed_pid" 2>/dev/null || fail "the demo's feed outlived it"
if grep -Ei 'fatal|segmentation fault|aborted|core dumped|could not find|not found at' "$work/program.log"; then
    fail "the program reported an error"
fi
echo "installed program: shipped files found, its feed starts and ends with it, window up, clean exit, the demo shows the simulator's map"
