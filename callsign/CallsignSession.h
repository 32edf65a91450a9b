#pragma once

#include "callsign/Scoring.h"
#include "keying/PlayState.h"

#include <string>
#include <string_view>

namespace tonvik {

class Random;

// The figures of one callsign exercise and the steps that change them:
// the start, an answer, a replay and the move to the next callsign. Shared
// by the trainer window and the command-line player.
class CallsignSession {
public:
    // Start of an exercise: callsign 1, full value, nothing scored yet.
    void Begin();

    // Scores an answer to the callsign in sentText (as keyed, with its
    // trailing space) and applies it to the figures. Nothing changes when
    // sentText is empty: there is no callsign to measure.
    AnswerOutcome Answer(std::string_view sentText, std::string_view typed, int speedPosition,
                         bool speedFixed, bool toneFixed);

    // F6: the current callsign again from its first character, at half value.
    void Replay(PlayState& state);
    // The next callsign starts where keying stands now, at full value.
    void NextCall(PlayState& state);

    // The tone of a new callsign: from 50 Hz below to 49 Hz above the pitch
    // set by the track bar (in hundreds of hertz).
    static long double VariedTone(int pitchPosition, Random& random);

    int CallNumber() const { return Number; }
    long double ReplayFactor() const { return Factor; }
    int ErrorCount() const { return Errors; }
    int CallWpm() const { return LastWpm; }
    double CallPoints() const { return LastPoints; }
    double TotalPoints() const { return Total; }
    int MaxWpm() const { return Max; }
    // What the total points label shows: "0" until it is first updated.
    const std::string& ShownTotal() const { return ShownTotalText; }

private:
    int Number = 0;
    long double Factor = 1.0L;
    int Errors = 0;
    int LastWpm = 0;
    double LastPoints = 0.0;
    double Total = 0.0;
    int Max = 0;
    std::string ShownTotalText = "0";
};

} // namespace tonvik
