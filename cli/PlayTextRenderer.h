#pragma once

#include "course/Farnsworth.h"
#include "keying/Keyer.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tonvik {

// Renders a whole play text as one stream of samples, a chunk at a time, so
// that any length can be written with a fixed amount of memory. The samples are
// exactly those of KeyChar over the text in order, starting after a word gap;
// with a Farnsworth speed, the same characters with Farnsworth gaps.
class PlayTextRenderer {
public:
    PlayTextRenderer(const std::string& playText, const KeyerSettings& settings, int volumeFactor,
                     int farnsworthWpm = 0);

    // Writes up to capacity samples; 0 once the text is used up.
    int64_t Next(int16_t* out, int64_t capacity);
    // Like Next, but stops at the end of the current character.
    int64_t NextWithinCharacter(int16_t* out, int64_t capacity);

    // True between characters when the last one ended with a word gap (a space
    // in callsign mode): a place where the audio may be cut into parts.
    bool AtWordBoundary() const;
    bool Finished() const;
    // The word the next character starts or belongs to (a callsign in callsign mode).
    std::string NextWord() const;
    size_t CharactersStarted() const { return Position; }
    size_t TextLength() const { return Text.size(); }

    // Samples the whole text renders to, computed without rendering.
    static int64_t TotalSamples(const std::string& playText, const KeyerSettings& settings,
                                int farnsworthWpm = 0);

private:
    bool StartNextCharacter();

    std::string Text;
    KeyerSettings Settings;
    Keyer Voice;
    std::optional<FarnsworthSpacing> Spacing;
    CharRendering Current;
    size_t Position = 0; // characters started
    bool LastEndedWord = true;
};

} // namespace tonvik
