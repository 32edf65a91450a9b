#pragma once

#include "course/KochOrder.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tonvik {

enum class RecognitionSet { Lesson, Letters, Digits, All };

// The characters of a recognition run: the lesson's, the course's letters,
// the digits, or the whole course.
std::string RecognitionCharacters(CourseKind course, int lesson, RecognitionSet set);

inline constexpr int RecognitionRunLength = 100;
// A character answered wrongly or slowly is keyed again after this many others.
inline constexpr int ComeBackAfter = 3;

struct RecognitionAnswer {
    char Sent = 0;
    char Pressed = 0;
    int64_t ReactionMs = 0;
    bool Right() const { return Sent == Pressed; }
};

// One run of instant recognition: single characters drawn at random, those
// answered wrongly or slower than the median of the run's right answers so
// far brought back sooner, until the run's length is answered.
class RecognitionRun {
public:
    RecognitionRun(std::string characters, uint64_t seed, int length = RecognitionRunLength);

    // The next character to key; 0 once the run is over.
    char Next();
    // The answer to the character last given by Next.
    const RecognitionAnswer& Answer(char pressed, int64_t reactionMs);

    bool Over() const { return static_cast<int>(Answers.size()) >= Length; }
    const std::vector<RecognitionAnswer>& Answered() const { return Answers; }
    int RightCount() const;
    // The median reaction of the right answers; 0 before there is one.
    int64_t MedianReactionMs() const;

private:
    struct Due {
        char Character;
        int At; // the draw it comes back at
    };
    std::string Set;
    std::mt19937_64 Engine;
    int Length;
    int Drawn = 0;
    char Current = 0;
    std::vector<Due> Returning;
    std::vector<RecognitionAnswer> Answers;
};

} // namespace tonvik
