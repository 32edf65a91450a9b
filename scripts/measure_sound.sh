#!/usr/bin/env bash
# Measures the sound paths through a real PulseAudio server on a loaded machine
# and prints one table row per soak: a text of SOAK_SECONDS (default 300) at
# 100 wpm played by `tonvik play`, recorded from the sink's monitor and
# compared with `tonvik export` of the same text (silence inserted, elements
# chopped, samples lost, the starvations the player counted itself); and
# Enter -> first tone of the next callsign at the server, through the window.
#
# The player runs without the right to raise its threads' priority, as an
# ordinary user without rtkit does (setpriv drops CAP_SYS_NICE when run as
# root), while two CPU hogs at normal priority keep both cores busy.
#
#   bash scripts/measure_sound.sh              the server stream with 400 ms (the default) 3 times,
#                                             then SDL periods of 192..1024 samples (24..128 ms) once
#   bash scripts/measure_sound.sh pulse:200 sdl:24 ...   chosen paths (ms of buffer or period)
#   RUNS=3 SOAK_SECONDS=60 bash scripts/measure_sound.sh pulse:200
# Needs a built tree (bash scripts/test.sh) and pulseaudio, pulseaudio-utils.
set -euo pipefail
cd "$(dirname "$0")/.."
bin="$PWD/build/bin"
for tool in tonvik recording_compare callsign_start_measure; do
    [ -x "$bin/$tool" ] || { echo "build first: bash scripts/test.sh" >&2; exit 1; }
done
soak=${SOAK_SECONDS:-300}
answers=${ANSWERS:-25}
work=$(mktemp -d)
server="$work/server"
hogs=()
cleanup() {
    for pid in "${hogs[@]}"; do kill "$pid" 2>/dev/null || true; done
    bash scripts/pulse_server.sh stop "$server"
    rm -rf "$work"
}
trap cleanup EXIT
bash scripts/pulse_server.sh start "$server"
export XDG_RUNTIME_DIR="$server"
unset PULSE_SERVER SDL_AUDIODRIVER TONVIK_LATENCY_MS

nopriv=()
[ "$(id -u)" -eq 0 ] && nopriv=(setpriv --inh-caps=-sys_nice --bounding-set=-sys_nice)

# About `soak` seconds of mixed text at 100 wpm (11 characters a second).
python3 - "$work/text.txt" "$soak" <<'PY'
import random, sys
rng = random.Random(314)
words = ["CQ", "DE", "UA3ABC", "599", "73", "TEST", "QTH", "PARIS", "ПРИВЕТ", "МИР", "ЭХО",
         "E", "T", "5NN", "RST", "?", "DL1XYZ", "R9FAB", "K"]
text, size = "", int(sys.argv[2]) * 11
while len(text) < size:
    text += rng.choice(words) + " "
open(sys.argv[1], "w", encoding="utf-8").write(text)
PY
"$bin/tonvik" export -q --wpm 100 "$work/text.txt" -o "$work/text.wav"

for _ in 1 2; do
    bash -c 'while :; do :; done' &
    hogs+=($!)
done

# The scheduling class and real-time priority of the player's threads, seen
# while it plays: TS and "-" mean none was raised.
priorities() {
    ps -L -o cls=,rtprio= -p "$1" 2>/dev/null | sort -u | tr -s ' ' | paste -sd, -
}

# One soak: PATH:MS -> a table row.
soak_row() {
    local kind=${1%%:*} ms=${1#*:} env=()
    case "$kind" in
    pulse) ;;
    sdl) env=(SDL_AUDIODRIVER=pulseaudio) ;;
    sdl-pipewire) env=(SDL_AUDIODRIVER=pipewire) ;;
    *) echo "unknown path $kind" >&2; return 1 ;;
    esac
    parec -d morse.monitor --format=s16le --rate=8000 --channels=1 --raw >"$work/rec.raw" &
    local rec=$!
    sleep 0.5
    local load
    load=$(cut -d' ' -f1-3 /proc/loadavg)
    env "${env[@]}" "${nopriv[@]}" "$bin/tonvik" play --wpm 100 --stats --latency-ms "$ms" \
        "$work/text.txt" 2>"$work/play.err" &
    local player=$!
    sleep 3
    local prio
    prio=$(priorities "$player")
    wait "$player" || true
    sleep 1
    kill "$rec"
    wait "$rec" 2>/dev/null || true
    local starved cmp enter
    starved=$(sed -n 's/^sound ran out while keying: \([0-9]*\) times$/\1/p' "$work/play.err")
    cmp=$("$bin/recording_compare" "$work/rec.raw" "$work/text.wav")
    enter=$(env "${env[@]}" TONVIK_LATENCY_MS="$ms" QT_QPA_PLATFORM=offscreen "${nopriv[@]}" \
        "$bin/callsign_start_measure" "$answers" clean 2>/dev/null |
        sed -n 's/.*median \(-\?[0-9]*\)  max \(-\?[0-9]*\) ms/\1 | \2/p')
    field() { sed -n "s/.*$1=\([0-9a-z]*\).*/\1/p" <<<"$cmp"; }
    local label="server stream, $ms ms buffer"
    [ "$kind" = pulse ] || label="$kind, period $((ms * 8)) samples ($ms ms)"
    printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$label" \
        "$(field inserted)" "$(field insertions)" "$(field chopped)" "$(field lost)" \
        "${starved:-?}" "${enter:-? | ?}" "$(field exact)" "$prio" "$load"
}

plan=("$@")
if [ ${#plan[@]} -eq 0 ]; then
    # The default first, three in a row; then SDL's periods of 192..1024 samples.
    plan=(pulse:400 pulse:400 pulse:400 sdl:24 sdl:32 sdl:48 sdl:64 sdl:128)
    pw-cli info 0 >/dev/null 2>&1 && plan+=(sdl-pipewire:24)
fi
echo "soak: ${soak} s at 100 wpm ($(wc -c <"$work/text.txt") bytes of text), two CPU hogs," \
    "player without CAP_SYS_NICE; Enter -> tone over $answers answers"
pw-cli info 0 >/dev/null 2>&1 || echo "(no PipeWire server here: SDL's PipeWire driver not measured)"
echo "| path, buffer or period | inserted samples | insertions | chopped elements | lost samples | starvations counted | Enter -> tone median ms | max ms | sample-exact | thread classes | load (1, 5, 15 min) |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
for entry in "${plan[@]}"; do
    for _ in $(seq "${RUNS:-1}"); do
        soak_row "$entry"
    done
done
