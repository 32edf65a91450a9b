#!/usr/bin/env bash
# Starts or stops a private PulseAudio server for sound tests and measurements:
# a null sink "morse" at 8000 Hz mono 16-bit, whose monitor records exactly
# what was played (no shared memory, no rewinds).
#   bash scripts/pulse_server.sh start DIR   server in DIR (its XDG_RUNTIME_DIR)
#   bash scripts/pulse_server.sh stop DIR
# Clients reach it with XDG_RUNTIME_DIR=DIR, or PULSE_SERVER=unix:DIR/pulse/native.
set -euo pipefail
action="$1"
dir="$2"
export XDG_RUNTIME_DIR="$dir"
case "$action" in
start)
    mkdir -p "$dir"
    chmod 700 "$dir"
    pulseaudio --daemonize=yes -n --exit-idle-time=-1 --disallow-exit --disable-shm=yes \
        --use-pid-file=yes --log-target=file:"$dir/pulse.log" \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=morse rate=8000 channels=1 format=s16le norewinds=1" \
        2>/dev/null
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && exit 0
        sleep 0.1
    done
    echo "pulse_server.sh: the server in $dir does not answer" >&2
    exit 1
    ;;
stop)
    pid=$(cat "$dir/pulse/pid" 2>/dev/null || true)
    pulseaudio --kill 2>/dev/null || true
    # --kill only asks: wait until that server process has gone, so that its
    # folder can be removed and a new server started there.
    for _ in $(seq 50); do
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || exit 0
        sleep 0.1
    done
    echo "pulse_server.sh: the server in $dir does not stop" >&2
    exit 1
    ;;
*)
    echo "usage: pulse_server.sh start|stop DIR" >&2
    exit 2
    ;;
esac
