#include "course/LessonDraw.h"

#include <algorithm>

namespace tonvik {

std::vector<double> DrawWeights(const std::string& characters,
                                const std::map<unsigned char, CharacterRecord>& history) {
    std::vector<double> weights;
    weights.reserve(characters.size());
    for (size_t i = 0; i < characters.size(); ++i) {
        double weight = BaseWeight;
        if (i + 1 == characters.size())
            weight += NewestExtraWeight;
        const auto found = history.find(static_cast<unsigned char>(characters[i]));
        if (found != history.end() && found->second.Sent >= MinSentForMissRate) {
            const double missed =
                static_cast<double>(std::min(found->second.Missed, found->second.Sent));
            weight += MissExtraWeight * missed / static_cast<double>(found->second.Sent);
        }
        weights.push_back(weight);
    }
    return weights;
}

LessonDraw::LessonDraw(std::string characters, std::vector<double> weights, uint64_t seed)
    : Set(std::move(characters)), Engine(seed), Pick(weights.begin(), weights.end()) {}

unsigned char LessonDraw::Next() {
    if (Set.empty())
        return ' ';
    return static_cast<unsigned char>(Set[std::min(Pick(Engine), Set.size() - 1)]);
}

std::string LessonDraw::Groups(int count) {
    std::string text;
    for (int g = 0; g < count; ++g) {
        for (int i = 0; i < 5; ++i)
            text += static_cast<char>(Next());
        text += ' ';
    }
    return text;
}

int GroupsForMinutes(int minutes, int effectiveWpm) {
    return std::max(1, minutes * effectiveWpm);
}

} // namespace tonvik
