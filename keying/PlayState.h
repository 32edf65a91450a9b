#pragma once

#include <string>

namespace tonvik {

// The state an exercise shares between the pump, exercise control and the
// callsign trainer. Text is CP1251; positions count from 1.
struct PlayState {
    std::string PlayText;
    int PlayPos = 0;
    int CallStartPos = 0;
    std::string SentText; // characters queued since it was last cleared
    bool StopRequested = false;
    bool AwaitingAnswer = false;
};

// The character at a 1-based position; code 0 outside the text.
inline unsigned char CharAt(const std::string& text, int position) {
    if (position < 1 || static_cast<size_t>(position) > text.size())
        return 0;
    return static_cast<unsigned char>(text[static_cast<size_t>(position) - 1]);
}

} // namespace tonvik
