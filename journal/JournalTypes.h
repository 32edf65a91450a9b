#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tonvik {

// The plain values the training journal records and returns. Callsigns,
// answers and the own callsign are CP1251 bytes, as the trainer holds them;
// the journal keeps them as UTF-8 text, so any SQLite tool reads the file.

using JournalClock = std::chrono::system_clock;
using JournalTime = JournalClock::time_point; // UTC; kept to the millisecond

enum class ExerciseKind {
    Callsign,            // the callsign exercise of the callsign page
    MissedCallsDrill,    // a callsign exercise made of the user's missed callsigns
    WeakCharactersDrill, // one drawn with weight on the characters the user misses
    Text,                // a text or radiogram exercise
    PreliminaryTest,     // the run of V before an exercise
    KochLesson,          // a lesson of the course: groups keyed, then the copy scored
    Recognition,         // a run of single characters answered by one key each
};

// How an exercise ended. An exercise whose end was never recorded (the program
// was killed, the power went) reads as Stopped.
enum class EndReason {
    Completed,     // all 30 callsigns answered, or the text keyed to its end
    Stopped,       // Stop or Esc, or the window closed
    NoSoundDevice, // the device could not be opened
};

// What Start begins an exercise with.
struct ExerciseStart {
    ExerciseKind Kind = ExerciseKind::Callsign;
    JournalTime Started;
    std::string OwnCall; // CP1251; empty for text exercises and the test
    int Wpm = 30;        // the speed track bar, words per minute
    int PitchHz = 800;   // the pitch track bar times 100
    int Volume = 5;      // the volume factor 0..8, 8 loudest (8 minus the track bar)
    bool SpeedFixed = false;
    bool ToneFixed = false;
    int LetterGap = 3; // dots
    int WordGap = 7;   // dots
    // Callsign exercises: the list the callsigns were drawn from (UTF-8 path)
    // and the SHA-256 of its bytes in lower-case hex (FileSha256); empty otherwise.
    std::string ListPath;
    std::string ListSha256;
    // The band it was heard through, as DescribeConditions gives it.
    std::string Conditions = "clean";
};

// One evaluated answer of a callsign exercise or drill.
struct AnswerRecord {
    int Number = 0;    // the callsign's number in the exercise, from 1
    std::string Sent;  // CP1251, the callsign as keyed without its trailing space
    std::string Typed; // CP1251, the answer as typed, as far as CP1251 holds it
    // UTF-8, the answer exactly as typed, with what CP1251 cannot hold; when
    // empty, Typed is what was typed. This is what the journal keeps.
    std::string TypedUtf8;
    bool Right = false;    // Sent and Typed are the same
    int Errors = 0;        // mismatched positions, as the scoring counts them
    int Wpm = 0;           // the speed the callsign was keyed at
    int ToneHz = 0;        // its tone
    int Replays = 0;       // F6 presses before the answer; the replay factor is 0.5^Replays
    int Points = 0;        // the points it earned, rounded, as added to the total
    double CallPoints = 0; // the unrounded figure before the division by 10 (5400 for 540)
    int64_t ResponseMs =
        0; // from the end of its keying to the Enter; 0 when Enter came during keying
    JournalTime Answered; // when Enter was pressed
};

struct ExerciseEnd {
    JournalTime Ended;
    EndReason Reason = EndReason::Stopped;
    double TotalPoints = 0;      // callsign kinds: the total as the window holds it
    int MaxWpm = 0;              // callsign kinds: the highest speed reached
    int64_t CharactersKeyed = 0; // text exercises and the test: characters played
};

// A sent character of a lesson against what the copy has in its place, as
// the alignment pairs them; Copied is empty where the copy dropped it. Both CP1251.
struct CopiedCharacter {
    std::string Sent;
    std::string Copied;
};

// The score of a Koch lesson, recorded once its copy is checked.
struct LessonResultRecord {
    std::string Course; // "latin" or "cyrillic"
    int Lesson = 1;
    int Minutes = 2;
    int EffectiveWpm = 10;    // the Farnsworth speed; the character speed is the exercise's
    int CharactersSent = 0;   // spaces left out
    int CharactersCopied = 0; // in the copy, spaces left out
    int CharactersRight = 0;
    double ScorePercent = 0;
    bool Passed = false;  // it opened the next lesson
    std::string SentText; // CP1251, as keyed
    std::string Copy;     // CP1251, as typed
    // Every sent character with its copy; they feed the per-character counts.
    std::vector<CopiedCharacter> Characters;
    JournalTime Checked;
};

// One answer of a recognition run.
struct RecognitionAnswerRecord {
    int Number = 0;        // from 1
    std::string Character; // CP1251, the character keyed
    std::string Pressed;   // CP1251, the character of the key pressed
    bool Right = false;
    int64_t ReactionMs = 0; // from the end of its sound to the key
    JournalTime Answered;
};

} // namespace tonvik
