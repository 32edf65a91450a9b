#pragma once

#include "callsign/Scoring.h"

#include <cstdint>
#include <string>

namespace tonvik {

// One evaluated answer, as the training journal keeps it. Text is CP1251.
struct AnsweredCall {
    int Number = 0;    // the callsign's number in the exercise, from 1
    std::string Sent;  // as keyed, without its trailing space
    std::string Typed; // as typed, as far as CP1251 holds it: what was scored
    // The answer exactly as typed, UTF-8 (what CP1251 cannot hold kept); empty
    // when the view did not give it, and then Typed stands for it.
    std::string TypedUtf8;
    AnswerOutcome Outcome;
    int ToneHz = 0;         // the tone it was keyed at
    int Replays = 0;        // F6 presses before the answer
    int64_t ResponseMs = 0; // from the end of its keying to the Enter; 0 for an Enter during it
};

// Told of every evaluated answer. It only observes.
class AnswerObserver {
public:
    virtual ~AnswerObserver() = default;
    virtual void AnswerEvaluated(const AnsweredCall& answer) = 0;
};

} // namespace tonvik
