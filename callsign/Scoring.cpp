#include "callsign/Scoring.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tonvik {

int CountErrors(std::string_view sentText, std::string_view answerText) {
    int errors = 0;
    for (std::size_t k = 0; k + 1 < sentText.size(); ++k) {
        if (k >= answerText.size() || sentText[k] != answerText[k])
            ++errors;
    }
    return errors;
}

double CallPoints(int length, int errorCount, long double replayFactor, int callWpm) {
    if (length < 1)
        return 0.0;
    long double share = static_cast<long double>(length - errorCount) / length;
    long double squared = share * share;
    long double wpm = callWpm;
    return static_cast<double>(squared * squared * length * replayFactor * wpm * wpm);
}

double RoundPoints(double callPoints) {
    // The default rounding mode rounds halves to even.
    return static_cast<double>(std::nearbyintl(static_cast<long double>(callPoints) / 10.0L));
}

std::string FormatPoints(double value) {
    char text[64];
    auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    if (error != std::errc())
        return "0";
    // Exponent form is written "1E15" and "1.5E-7": capital E, no plus sign,
    // no leading zeros.
    std::string result(text, end);
    std::size_t e = result.find('e');
    if (e == std::string::npos)
        return result;
    std::string exponent = result.substr(e + 1);
    bool negative = !exponent.empty() && exponent[0] == '-';
    exponent.erase(0, exponent.find_first_not_of("+-"));
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    return result.substr(0, e) + (negative ? "E-" : "E") + exponent;
}

AnswerOutcome EvaluateAnswer(const AnswerInput& input) {
    AnswerOutcome out;
    if (input.SentText.empty())
        return out;
    out.Evaluated = true;
    out.CallWpm = input.SpeedPosition;
    out.SpeedPosition = input.SpeedPosition;
    out.MaxWpm = input.MaxWpm;

    std::string answer(input.InputText);
    answer += ' ';
    out.Right = input.SentText == answer;
    if (!out.Right) {
        out.ErrorCount = CountErrors(input.SentText, answer);
        out.ErrorLine = std::string(input.SentText) + " --> " + std::string(input.InputText);
        out.ErrorLineSentLength = static_cast<int>(input.SentText.size());
        if (!input.SpeedFixed)
            out.SpeedPosition = std::clamp(input.SpeedPosition - 1, MinCallWpm, MaxCallWpm);
    } else {
        if (!input.SpeedFixed && input.ReplayFactor == 1.0L)
            out.SpeedPosition = std::clamp(input.SpeedPosition + 2, MinCallWpm, MaxCallWpm);
        out.MaxWpm = std::max(out.MaxWpm, out.SpeedPosition);
    }

    int length = static_cast<int>(input.SentText.size()) - 1;
    out.CallPoints = CallPoints(length, out.ErrorCount, input.ReplayFactor, out.CallWpm);
    out.Points = RoundPoints(out.CallPoints);
    out.TotalPoints = input.TotalPoints + out.Points;
    out.UpdateLabels = !input.SpeedFixed && !input.ToneFixed;
    if (out.UpdateLabels) {
        out.PointText = FormatPoints(out.Points);
        out.TotalText = FormatPoints(out.TotalPoints);
    }
    return out;
}

} // namespace tonvik
