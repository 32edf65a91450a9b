#include "cli/PlayTextRenderer.h"

namespace tonvik {

PlayTextRenderer::PlayTextRenderer(const std::string& playText, const KeyerSettings& settings,
                                   int volumeFactor, int farnsworthWpm)
    : Text(playText), Settings(settings) {
    if (farnsworthWpm > 0)
        Spacing.emplace(settings.DotSamples, farnsworthWpm);
    Voice.BuildSineTable(volumeFactor);
    Voice.SetWordStart(true);
}

bool PlayTextRenderer::StartNextCharacter() {
    if (Position >= Text.size())
        return false;
    const auto ch = static_cast<unsigned char>(Text[Position++]);
    Current =
        Spacing ? PlanFarnsworthChar(Voice, *Spacing, ch, Settings) : Voice.PlanChar(ch, Settings);
    LastEndedWord = ch <= 32;
    return true;
}

int64_t PlayTextRenderer::NextWithinCharacter(int16_t* out, int64_t capacity) {
    while (Current.Finished()) {
        if (!StartNextCharacter())
            return 0;
    }
    return Voice.RenderInto(Current, out, capacity);
}

int64_t PlayTextRenderer::Next(int16_t* out, int64_t capacity) {
    int64_t written = 0;
    while (written < capacity) {
        const int64_t n = NextWithinCharacter(out + written, capacity - written);
        if (n == 0)
            break;
        written += n;
    }
    return written;
}

bool PlayTextRenderer::AtWordBoundary() const {
    return Current.Finished() && LastEndedWord;
}

std::string PlayTextRenderer::NextWord() const {
    const std::size_t end = Text.find(' ', Position);
    return Text.substr(Position, end == std::string::npos ? std::string::npos : end - Position);
}

bool PlayTextRenderer::Finished() const {
    return Current.Finished() && Position >= Text.size();
}

int64_t PlayTextRenderer::TotalSamples(const std::string& playText, const KeyerSettings& settings,
                                       int farnsworthWpm) {
    if (farnsworthWpm > 0)
        return FarnsworthTotalSamples(playText, settings, farnsworthWpm);
    Keyer planner;
    planner.SetWordStart(true);
    int64_t total = 0;
    for (unsigned char ch : playText)
        total += planner.PlanChar(ch, settings).TotalSamples();
    return total;
}

} // namespace tonvik
