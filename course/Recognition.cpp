#include "course/Recognition.h"

#include <algorithm>
#include <cctype>

namespace tonvik {

std::string RecognitionCharacters(CourseKind course, int lesson, RecognitionSet set) {
    const std::string& order = CourseOrder(course);
    std::string out;
    switch (set) {
    case RecognitionSet::Lesson:
        return LessonCharacters(course, lesson);
    case RecognitionSet::All:
        return order;
    case RecognitionSet::Digits:
        return "0123456789";
    case RecognitionSet::Letters:
        for (char c : order) {
            const auto u = static_cast<unsigned char>(c);
            if ((u >= 'A' && u <= 'Z') || u >= 0xC0)
                out += c;
        }
        return out;
    }
    return out;
}

RecognitionRun::RecognitionRun(std::string characters, uint64_t seed, int length)
    : Set(std::move(characters)), Engine(seed), Length(std::max(1, length)) {}

char RecognitionRun::Next() {
    if (Over() || Set.empty())
        return 0;
    ++Drawn;
    const auto due = std::find_if(Returning.begin(), Returning.end(),
                                  [&](const Due& d) { return d.At <= Drawn; });
    if (due != Returning.end()) {
        Current = due->Character;
        Returning.erase(due);
    } else {
        std::uniform_int_distribution<size_t> pick(0, Set.size() - 1);
        Current = Set[pick(Engine)];
    }
    return Current;
}

const RecognitionAnswer& RecognitionRun::Answer(char pressed, int64_t reactionMs) {
    const int64_t median = MedianReactionMs();
    Answers.push_back({Current, pressed, std::max<int64_t>(0, reactionMs)});
    const RecognitionAnswer& answer = Answers.back();
    const bool slow = median > 0 && answer.ReactionMs > median;
    if (!answer.Right() || slow)
        Returning.push_back({Current, Drawn + ComeBackAfter + 1});
    return answer;
}

int RecognitionRun::RightCount() const {
    return static_cast<int>(
        std::count_if(Answers.begin(), Answers.end(), [](const auto& a) { return a.Right(); }));
}

int64_t RecognitionRun::MedianReactionMs() const {
    std::vector<int64_t> times;
    for (const RecognitionAnswer& a : Answers)
        if (a.Right())
            times.push_back(a.ReactionMs);
    if (times.empty())
        return 0;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

} // namespace tonvik
