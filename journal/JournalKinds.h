#pragma once

#include "journal/JournalTypes.h"

#include <optional>
#include <string_view>

namespace tonvik {

// The words the journal stores for the kinds of exercise and the ends
// ("callsign", "missed-calls-drill", ...; "completed", "stopped", ...).
std::string_view KindName(ExerciseKind kind);
std::optional<ExerciseKind> KindFromName(std::string_view name);

std::string_view ReasonName(EndReason reason);
// A stored end; no end at all (NULL, empty) is an exercise that was cut off,
// which reads as stopped.
EndReason ReasonFromName(std::string_view name);

// The kinds that key callsigns and record answers.
bool KeysCallsigns(ExerciseKind kind);

} // namespace tonvik
