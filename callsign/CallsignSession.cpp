#include "callsign/CallsignSession.h"

#include "base/Random.h"

namespace tonvik {

void CallsignSession::Begin() {
    Number = 1;
    Factor = 1.0L;
    Errors = 0;
    Total = 0.0;
    Max = 0;
    ShownTotalText.assign(1, '0'); // the label's "0"; GCC 12 misreads assigning a literal
}

AnswerOutcome CallsignSession::Answer(std::string_view sentText, std::string_view typed,
                                      int speedPosition, bool speedFixed, bool toneFixed) {
    AnswerInput input;
    input.SentText = sentText;
    input.InputText = typed;
    input.SpeedPosition = speedPosition;
    input.SpeedFixed = speedFixed;
    input.ToneFixed = toneFixed;
    input.ReplayFactor = Factor;
    input.MaxWpm = Max;
    input.TotalPoints = Total;
    const AnswerOutcome outcome = EvaluateAnswer(input);
    if (!outcome.Evaluated)
        return outcome;
    Errors = outcome.ErrorCount;
    LastWpm = outcome.CallWpm;
    Max = outcome.MaxWpm;
    LastPoints = outcome.CallPoints;
    Total = outcome.TotalPoints;
    if (outcome.UpdateLabels)
        ShownTotalText = outcome.TotalText;
    return outcome;
}

void CallsignSession::Replay(PlayState& state) {
    state.PlayPos = state.CallStartPos;
    Factor /= 2;
    state.SentText.clear();
}

void CallsignSession::NextCall(PlayState& state) {
    state.SentText.clear();
    ++Number;
    state.CallStartPos = state.PlayPos;
    Factor = 1.0L;
}

long double CallsignSession::VariedTone(int pitchPosition, Random& random) {
    return static_cast<long double>(random.Below(100) + pitchPosition * 100 - 50);
}

} // namespace tonvik
