#include "course/CourseJournal.h"

namespace tonvik {
namespace {

std::string OneCharacter(char c) {
    return c == 0 ? std::string() : std::string(1, c);
}

} // namespace

std::string_view CourseName(CourseKind course) {
    return course == CourseKind::Cyrillic ? "cyrillic" : "latin";
}

std::optional<CourseKind> CourseFromName(std::string_view name) {
    if (name == "latin")
        return CourseKind::Latin;
    if (name == "cyrillic")
        return CourseKind::Cyrillic;
    return std::nullopt;
}

LessonResultRecord LessonResultOf(const LessonSession& session, JournalTime checked) {
    const LessonSettings& settings = session.Settings();
    const CopyScore& score = session.Score();
    LessonResultRecord result;
    result.Course = std::string(CourseName(settings.Course));
    result.Lesson = settings.Lesson;
    result.Minutes = settings.Minutes;
    result.EffectiveWpm = settings.EffectiveWpm;
    result.CharactersSent = score.Sent;
    result.CharactersRight = score.Right;
    result.ScorePercent = score.Percent();
    result.Passed = PassesLesson(score);
    result.SentText = session.SentText();
    result.Copy = session.CopyText();
    result.Checked = checked;
    for (const AlignedPair& pair : score.Pairs) {
        if (pair.What != AlignedPair::Kind::Missed)
            ++result.CharactersCopied;
        if (pair.What == AlignedPair::Kind::Extra)
            continue;
        // A right character is counted as sent, whatever its case in the copy.
        const char copied =
            pair.What == AlignedPair::Kind::Right ? pair.Sent : Cp1251Upper(pair.Copied);
        result.Characters.push_back({OneCharacter(pair.Sent), OneCharacter(copied)});
    }
    return result;
}

RecognitionAnswerRecord RecognitionAnswerOf(const RecognitionAnswer& answer, int number,
                                            JournalTime answered) {
    RecognitionAnswerRecord record;
    record.Number = number;
    record.Character = OneCharacter(answer.Sent);
    record.Pressed = OneCharacter(answer.Pressed);
    record.Right = answer.Right();
    record.ReactionMs = answer.ReactionMs;
    record.Answered = answered;
    return record;
}

std::map<unsigned char, CharacterRecord> DrawHistory(const JournalReader& reader) {
    std::map<unsigned char, CharacterRecord> history;
    const CharacterFilter every{CharacterSource::All, ConditionsFilter::All};
    for (const CharacterStat& stat :
         CharacterAccuracy(reader, StatsPeriod::AllTime, JournalTime{}, every))
        if (stat.Character.size() == 1)
            history[static_cast<unsigned char>(stat.Character[0])] = {stat.Sent, stat.Wrong};
    return history;
}

int LessonReached(const CourseStanding& standing, CourseKind course) {
    return ClampLesson(course, standing.Reached);
}

} // namespace tonvik
