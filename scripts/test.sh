#!/usr/bin/env bash
# Builds Tonvik and runs the whole test suite.
#   bash scripts/test.sh         GCC build in build/
#   bash scripts/test.sh asan    clang with address and undefined-behaviour sanitizers in build-asan/
# The sound-server tests play through the PulseAudio server whose runtime
# folder TONVIK_TEST_PULSE names. Without it, a private server is started for
# the run (scripts/pulse_server.sh) and stopped when the script ends, however
# it ends. With ccache on PATH, the build uses it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
preset="${1:-default}"

if [ -z "${TONVIK_TEST_PULSE:-}" ]; then
    pulse_home=$(mktemp -d)
    pulse_runtime="$pulse_home/pulse"
    stop_server() {
        bash scripts/pulse_server.sh stop "$pulse_runtime"
        rm -rf "$pulse_home"
    }
    trap stop_server EXIT
    # Exit on a signal as well, so that the EXIT trap stops the server.
    trap 'exit 130' INT
    trap 'exit 143' TERM
    if ! bash scripts/pulse_server.sh start "$pulse_runtime"; then
        echo "scripts/test.sh: cannot start a private sound server (pulseaudio);" \
            "set TONVIK_TEST_PULSE to the runtime folder of a running one" >&2
        exit 1
    fi
    export TONVIK_TEST_PULSE="$pulse_runtime"
fi

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset "$preset" "${launcher[@]}" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
