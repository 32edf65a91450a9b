#!/usr/bin/env bash
# Prints the measured figures of Tonvik in one run:
#  keyer speed (x real time) at 10/30/100 wpm; latency from opening the device to
#  the first sample handed to it; samples inserted or lost over 1000 characters
#  at 100 wpm through SDL's disk driver; resident memory of the running window;
#  CPU used by the idle window over 10 s; the journal's cost per answer and its
#  queries and commands on a year of history; the export figures; the band's
#  export speed, and Enter -> tone and the window's CPU under band conditions.
# Needs a built tree (bash scripts/test.sh); takes about five minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
bin="$PWD/build/bin"
[ -x "$bin/tonvik" ] || { echo "build first: bash scripts/test.sh" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true' EXIT

echo "== Keyer speed"
"$bin/keyer_bench" --benchmark_format=console 2>/dev/null |
    sed -n 's/^KeyMixedText\/\([0-9]*\).*x_real_time=\([0-9.]*[kM]*\).*/  \1 wpm: \2 x real time/p'

echo "== Sound device (dummy driver)"
SDL_AUDIODRIVER=dummy "$bin/sound_measure" 2>/dev/null | sed 's/^/  /'

echo "== 1000 characters at 100 wpm through SDL's disk driver"
python3 - "$work/text.txt" <<'PY'
import random, sys
rng = random.Random(1000)
words = ["CQ", "DE", "UA3ABC", "599", "73", "TEST", "QTH", "PARIS", "ПРИВЕТ", "МИР", "ЭХО", "?"]
text = ""
while len(text) < 1000:
    text += rng.choice(words) + " "
open(sys.argv[1], "w", encoding="utf-8").write(text[:1000])
PY
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/cap.raw" "$bin/tonvik" play --wpm 100 "$work/text.txt" 2>/dev/null
"$bin/tonvik" export -q --wpm 100 "$work/text.txt" -o "$work/text.wav"
python3 - "$work/cap.raw" "$work/text.wav" <<'PY'
import sys, struct, wave
cap = open(sys.argv[1], "rb").read()
played = struct.unpack("<%dh" % (len(cap) // 2), cap[: len(cap) // 2 * 2])
w = wave.open(sys.argv[2])
exported = struct.unpack("<%dh" % w.getnframes(), w.readframes(w.getnframes()))
first = lambda s: next(i for i, v in enumerate(s) if v)
lead = first(played) - first(exported)
body = played[lead : lead + len(exported)]
tail = played[lead + len(exported) :]
last_sound = max((i for i, v in enumerate(played) if v), default=0)
extra = last_sound + 1 - (lead + len(exported))
print("  exported %d samples; played identically: %s; samples lost %d, inserted %d"
      % (len(exported), body == exported, max(0, len(exported) - len(body)), max(0, extra)))
PY

echo "== The window (offscreen), idle"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$bin/tonvik" &
pid=$!
sleep 3
rss=$(sed -n 's/VmRSS:[[:space:]]*//p' /proc/$pid/status)
ticks() { awk '{print $14 + $15}' /proc/$pid/stat; }
t0=$(ticks); sleep 10; t1=$(ticks)
hz=$(getconf CLK_TCK)
echo "  resident memory: $rss"
python3 -c "print('  CPU while idle over 10 s: %.2f %%' % (100.0 * ($t1 - $t0) / $hz / 10))"
kill $pid; wait $pid 2>/dev/null || true

echo "== One line without spaces: the text window, the help window and Start on such a master.ped (offscreen)"
QT_QPA_PLATFORM=offscreen "$bin/long_line_measure" 1 2 8 10 2>/dev/null

echo "== The journal: recording an answer"
"$bin/journal_record_measure" "$work" | sed 's/^/  /'

echo "== The journal: 10,000 exercises x 30 answers"
"$bin/journal_history_measure" "$work/history.sqlite" | sed 's/^/  /'

echo "== The statistics window on that journal (offscreen)"
QT_QPA_PLATFORM=offscreen "$bin/stats_window_measure" --journal "$work/history.sqlite" --runs 9 2>/dev/null |
    sed 's/^/  /'

echo "== Export"
bash scripts/measure_export.sh | sed 's/^/  /'

echo "== Band conditions: export with every condition on"
"$bin/band_export_measure" 2>/dev/null | sed 's/^/  /'

echo "== Band conditions in the window, at a private sound server: Enter -> tone and CPU"
bash scripts/pulse_server.sh start "$work/pulse" >/dev/null
(
    export PULSE_SERVER="unix:$work/pulse/pulse/native"
    QT_QPA_PLATFORM=offscreen "$bin/callsign_start_measure" 20 2>/dev/null | sed 's/^/  /'
) || true
bash scripts/pulse_server.sh stop "$work/pulse" >/dev/null 2>&1 || true
