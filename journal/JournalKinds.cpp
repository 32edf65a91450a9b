#include "journal/JournalKinds.h"

#include <array>
#include <utility>

namespace tonvik {
namespace {

constexpr std::array<std::pair<ExerciseKind, std::string_view>, 7> Kinds{{
    {ExerciseKind::Callsign, "callsign"},
    {ExerciseKind::MissedCallsDrill, "missed-calls-drill"},
    {ExerciseKind::WeakCharactersDrill, "weak-characters-drill"},
    {ExerciseKind::Text, "text"},
    {ExerciseKind::PreliminaryTest, "test"},
    {ExerciseKind::KochLesson, "koch-lesson"},
    {ExerciseKind::Recognition, "recognition"},
}};

constexpr std::array<std::pair<EndReason, std::string_view>, 3> Reasons{{
    {EndReason::Completed, "completed"},
    {EndReason::Stopped, "stopped"},
    {EndReason::NoSoundDevice, "no-sound-device"},
}};

} // namespace

std::string_view KindName(ExerciseKind kind) {
    for (const auto& [value, name] : Kinds)
        if (value == kind)
            return name;
    return "callsign";
}

std::optional<ExerciseKind> KindFromName(std::string_view name) {
    for (const auto& [value, text] : Kinds)
        if (text == name)
            return value;
    return std::nullopt;
}

std::string_view ReasonName(EndReason reason) {
    for (const auto& [value, name] : Reasons)
        if (value == reason)
            return name;
    return "stopped";
}

EndReason ReasonFromName(std::string_view name) {
    for (const auto& [value, text] : Reasons)
        if (text == name)
            return value;
    return EndReason::Stopped;
}

bool KeysCallsigns(ExerciseKind kind) {
    return kind == ExerciseKind::Callsign || kind == ExerciseKind::MissedCallsDrill ||
           kind == ExerciseKind::WeakCharactersDrill;
}

} // namespace tonvik
