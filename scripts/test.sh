#!/usr/bin/env bash
# Builds Tonvik and runs the whole test suite.
#   bash scripts/test.sh         ordinary build in build/
#   bash scripts/test.sh asan    address and undefined-behaviour sanitizers in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
preset="${1:-default}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
