#pragma once

#include "callsign/CallsignList.h"

#include <string>

namespace tonvik {

class ResultsTable;
struct ResultRow;

// What the callsign trainer needs of the window: the answer and the
// settings it reads, and what it shows. Text is CP1251.
class CallsignView {
public:
    virtual ~CallsignView() = default;

    virtual std::string OwnCall() const = 0;
    virtual std::string AnswerText() const = 0;
    // The answer field's text exactly as typed, UTF-8, for the journal: it
    // keeps what CP1251 cannot hold. Empty where the view cannot tell more
    // than AnswerText.
    virtual std::string AnswerAsTyped() const { return {}; }
    virtual bool SpeedFixed() const = 0;
    virtual bool ToneFixed() const = 0;
    virtual int SpeedPosition() const = 0;
    virtual int PitchPosition() const = 0;

    // Moves the speed track bar; its own handler applies the speed.
    virtual void MoveSpeed(int wpm) = 0;
    virtual void ClearAnswer() = 0;
    // Holds the answer as it was when Enter was pressed, until it is
    // evaluated: the field takes no more typing meanwhile.
    virtual void HoldAnswer(bool held) = 0;
    virtual void FocusAnswer() = 0;
    virtual void FocusOwnCall() = 0;
    virtual void ShowCallNumber(int number) = 0;
    virtual void ShowPoints(const std::string& callPoints, const std::string& totalPoints) = 0;
    virtual void ClearErrors() = 0;
    // A wrong answer in the error list: line is the sent callsign with its
    // space (its first sentLength characters), the arrow and the answer.
    virtual void ShowError(const std::string& line, int sentLength) = 0;
    virtual void ShowResults(const ResultsTable& results) = 0;
    // The report of a selected result, a modal message.
    virtual void ShowReport(const ResultRow& result) = 0;
    // The callsign list could not be used; the exercise keys one space.
    virtual void ShowListProblem(CallsignListStatus status) = 0;
};

} // namespace tonvik
