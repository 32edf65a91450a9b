#pragma once

#include "keying/HeldWaveOut.h"

#include <memory>
#include <optional>
#include <string>

namespace tonvik {

// How much sound the device keeps queued ahead, in milliseconds: the choice of
// a user with Bluetooth or a slow machine (tonvik play --latency-ms, or the
// environment variable below for the window). 0 is the device's default.
inline constexpr int MinLatencyMs = 20;
inline constexpr int MaxLatencyMs = 1000;
inline constexpr const char* LatencyVariable = "TONVIK_LATENCY_MS";

// The latency the environment asks for: 0 when the variable is unset or
// empty; nothing, with `error` set to one line, when it is not a whole number
// of milliseconds within the range.
std::optional<int> LatencyFromEnvironment(std::string& error);

// The sound output of the window and of tonvik play: a stream of the sound
// server when one answers (its buffer is `latencyMs`, 400 ms by default),
// otherwise SDL's audio with a period of `latencyMs` (24 ms by default). Set
// SDL_AUDIODRIVER to choose one of SDL's drivers instead of the server.
std::unique_ptr<HeldWaveOut> CreateSoundOutput(int latencyMs);

} // namespace tonvik
