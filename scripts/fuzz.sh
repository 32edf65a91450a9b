#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
#   bash scripts/fuzz.sh [SECONDS]     default 30 seconds a target
# A crash stops the run and leaves its input as crash-* in the working
# directory: keep it under tests/fuzz/regressions/<target>/ so it is replayed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
seconds="${1:-30}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
for target in fuzz_text_clean fuzz_text_decode fuzz_callsign_list fuzz_callsign_import fuzz_cli_options \
              fuzz_journal_text; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    seeds=()
    [ -d "tests/fuzz/regressions/$target" ] && seeds+=("tests/fuzz/regressions/$target")
    echo "== $target: ${seconds} s"
    log="build-fuzz/$target.log"
    status=0
    "build-fuzz/bin/$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
        "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
    grep -E '^Done|ERROR|SUMMARY' "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -40 "$log"
        exit "$status"
    fi
done
