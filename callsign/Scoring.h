#pragma once

#include <string>
#include <string_view>

namespace tonvik {

inline constexpr int MinCallWpm = 10; // the speed track bar's range
inline constexpr int MaxCallWpm = 100;

// Mismatched positions of the callsign: positions 1..L of sentText, where
// L = sentText length - 1 (its trailing space is not compared), against the
// same positions of answerText, the typed answer followed by one space.
// A position past the end of answerText is a mismatch. 0 when L < 1.
int CountErrors(std::string_view sentText, std::string_view answerText);

// (R / L)^4 * L * replayFactor * callWpm^2 with R = L - errorCount, computed
// in extended precision and stored as a double; 0 when length < 1, where
// there is nothing to measure.
double CallPoints(int length, int errorCount, long double replayFactor, int callWpm);

// The points a callsign earns: callPoints / 10 to the nearest integer, halves
// to even.
double RoundPoints(double callPoints);

// A label's text for a point value: general format with 15 significant
// digits, so integral values print without a decimal separator
// ("540", "0"), and large ones in exponent form ("1E15").
std::string FormatPoints(double value);

// What the answer field's Enter works on.
struct AnswerInput {
    std::string_view SentText;  // the callsign as keyed, with its trailing space
    std::string_view InputText; // the typed answer
    int SpeedPosition = 0;      // the speed track bar's position, wpm
    bool SpeedFixed = false;    // "Фиксировать скорость" checked
    bool ToneFixed = false;     // "Фиксировать тон" checked
    long double ReplayFactor = 1.0L;
    int MaxWpm = 0;
    double TotalPoints = 0.0;
};

// Everything the window applies after Enter. When Evaluated is false nothing
// was keyed yet to measure against (empty SentText): the Enter is ignored and
// no field below applies.
struct AnswerOutcome {
    bool Evaluated = false;
    bool Right = false;
    int ErrorCount = 0;
    int CallWpm = 0;             // the speed the callsign was keyed at
    int SpeedPosition = 0;       // the track bar's new position (10..100)
    int MaxWpm = 0;              // changes only after a right answer
    double CallPoints = 0.0;     // unrounded
    double Points = 0.0;         // rounded, added to the total
    double TotalPoints = 0.0;    // grows in every case
    bool UpdateLabels = false;   // only while neither fix box is checked
    std::string PointText;       // for the callsign's points label, when UpdateLabels
    std::string TotalText;       // for the total points label, when UpdateLabels
    std::string ErrorLine;       // for a wrong answer: SentText + " --> " + InputText
    int ErrorLineSentLength = 0; // its first part, SentText, is coloured apart
};

// Checks the answer, moves the speed and scores, in the order Enter does.
AnswerOutcome EvaluateAnswer(const AnswerInput& input);

} // namespace tonvik
