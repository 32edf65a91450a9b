#!/usr/bin/env bash
# Measures tonvik export against ebook2cw and prints the figures:
#  - the same 16 KB text at 25 wpm to MP3 at 8 kHz, both programs (median of 3);
#  - WAV export speed in times real time;
#  - peak resident memory exporting a 3 MB text to FLAC.
# Needs a built tree (bash scripts/test.sh) and installs ebook2cw if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
tonvik="$PWD/build/bin/tonvik"
[ -x "$tonvik" ] || { echo "build first: bash scripts/test.sh" >&2; exit 1; }
command -v ebook2cw >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ebook2cw time >/dev/null
[ -x /usr/bin/time ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Deterministic English-like text of a given size in bytes.
make_text() {
    python3 - "$1" "$2" <<'PY'
import random, sys
size, path = int(sys.argv[1]), sys.argv[2]
rng = random.Random(25)
words = "the of and to in is that it was for on are as with his they at be this from have or by one had not but what all were when we there can an your which their said if do will each about how up out them then she many some so these would other into has more her two like him see time could no make than first been its who now people my made over did down only way find use may water long little very after words called just where most know".split()
out, n = [], 0
while n < size:
    line = " ".join(rng.choice(words) for _ in range(12)).capitalize() + ".\n"
    out.append(line)
    n += len(line)
open(path, "w").write("".join(out)[:size])
PY
}

seconds() { python3 -c 'import sys,time; print(time.time())'; }
median3() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

make_text 16384 "$work/16k.txt"
t=(); e=()
for i in 1 2 3; do
    s=$(seconds); "$tonvik" export -q --wpm 25 "$work/16k.txt" -o "$work/t.mp3"; f=$(seconds)
    t+=("$(python3 -c "print($f-$s)")")
    s=$(seconds); (cd "$work" && ebook2cw -w 25 -s 8000 -o eb 16k.txt >/dev/null 2>&1); f=$(seconds)
    e+=("$(python3 -c "print($f-$s)")")
done
tt=$(median3 "${t[@]}"); te=$(median3 "${e[@]}")
printf '16 KB text, 25 wpm, MP3 8 kHz: tonvik %.3f s, ebook2cw %.3f s: tonvik %.1fx faster\n' \
    "$tt" "$te" "$(python3 -c "print($te/$tt)")"

make_text 300000 "$work/300k.txt"
s=$(seconds); "$tonvik" export -q --wpm 20 "$work/300k.txt" -o "$work/w.wav"; f=$(seconds)
audio=$(python3 -c "import os; print((os.path.getsize('$work/w.wav')-44)/16000)")
printf 'WAV export, 300 KB text at 20 wpm: %.0f s of audio in %.2f s: %.0fx real time\n' \
    "$audio" "$(python3 -c "print($f-$s)")" "$(python3 -c "print($audio/($f-$s))")"
rm -f "$work/w.wav"

make_text 3000000 "$work/3m.txt"
/usr/bin/time -v "$tonvik" export -q --wpm 20 "$work/3m.txt" -o "$work/big.flac" 2>"$work/time.txt"
rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/time.txt")
printf 'FLAC export of a 3 MB text at 20 wpm: peak resident memory %.1f MB, %s wall\n' \
    "$(python3 -c "print($rss/1024)")" "$wall"
