#include "air/Station.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tonvik {
namespace {

constexpr int BlockSamples = 256;

} // namespace

Station::Station(const StationVoice& voice, uint64_t seed) : Station(voice, seed, {}) {}

Station::Station(const StationVoice& voice, uint64_t seed, Script script)
    : NextMessage(std::move(script)) {
    Settings.LetterGap = 3;
    Settings.WordGap = 7;
    Settings.ActivePage = TextPage;
    Voice.BuildSineTable(8);
    SetVoice(voice);
    if (voice.FadingHz > 0)
        Fade.emplace(voice.FadingHz, seed);
}

void Station::SetVoice(const StationVoice& voice) {
    Settings.DotSamples = std::max<int32_t>(1, voice.DotSamples);
    Settings.ToneFreq = voice.PitchHz;
    Gain = voice.Level / 32767.0;
}

void Station::Restart(const StationVoice& voice) {
    SetVoice(voice);
    Waiting.clear();
    Keying = false;
    Delay = 0;
    Current = CharRendering();
}

void Station::Say(std::string text, int64_t delaySamples) {
    Waiting.push_back({std::move(text), std::max<int64_t>(0, delaySamples)});
}

bool Station::StartNextCharacter() {
    while (Position < Text.size()) {
        Current = Voice.PlanChar(static_cast<unsigned char>(Text[Position++]), Settings);
        if (Current.TotalSamples() > 0)
            return true;
    }
    Keying = false;
    return false;
}

void Station::Render(int16_t* out, int count) {
    int done = 0;
    while (done < count) {
        if (!Keying && Waiting.empty() && NextMessage)
            Waiting.push_back(NextMessage());
        if (!Keying && !Waiting.empty()) {
            Text = std::move(Waiting.front().Text);
            Delay = Waiting.front().Delay;
            Waiting.erase(Waiting.begin());
            Position = 0;
            Keying = true;
            Voice.SetWordStart(true);
            Current = CharRendering();
        }
        if (!Keying || Delay > 0) {
            const int64_t quiet = Keying ? std::min<int64_t>(Delay, count - done) : count - done;
            std::memset(out + done, 0, static_cast<std::size_t>(quiet) * sizeof(int16_t));
            done += static_cast<int>(quiet);
            if (Keying)
                Delay -= quiet;
            continue;
        }
        if (Current.Finished() && !StartNextCharacter())
            continue;
        done += static_cast<int>(Voice.RenderInto(Current, out + done, count - done));
    }
}

void Station::AddInto(float* mix, int count) {
    std::array<int16_t, BlockSamples> own{};
    for (int first = 0; first < count; first += BlockSamples) {
        const int n = std::min(BlockSamples, count - first);
        Render(own.data(), n);
        for (int i = 0; i < n; ++i) {
            const double fade = Fade ? Fade->Next() : 1.0;
            mix[first + i] += static_cast<float>(own[i] * Gain * fade);
        }
    }
}

} // namespace tonvik
