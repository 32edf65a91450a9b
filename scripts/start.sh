#!/usr/bin/env bash
# Builds Tonvik and starts the trainer window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target tonvik
exec ./build/bin/tonvik "$@"
