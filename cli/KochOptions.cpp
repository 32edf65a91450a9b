#include "cli/KochOptions.h"

#include "course/KochOrder.h"

#include <algorithm>

namespace tonvik {

int MaxKochLesson() {
    return std::max(LessonCount(CourseKind::Latin), LessonCount(CourseKind::Cyrillic));
}

namespace {

bool Given(const CliOptions& options, const char* name) {
    return options.Given.count(name) != 0;
}

} // namespace

std::string CheckFarnsworth(CliOptions& options) {
    if (options.Farnsworth == 0)
        return "";
    if (options.Mode != "text")
        return "--farnsworth goes with --mode text";
    if (Given(options, "--letter-gap") || Given(options, "--word-gap"))
        return "--farnsworth sets the gaps itself: give it without --letter-gap and --word-gap";
    if (options.Farnsworth > options.Wpm)
        return "--farnsworth takes an effective speed up to --wpm (" + std::to_string(options.Wpm) +
               "), not " + std::to_string(options.Farnsworth);
    return "";
}

std::string CheckLessonOnlyOptions(const CliOptions& options) {
    for (const char* lessonOnly : {"--minutes", "--course"}) {
        if (options.Koch == 0 && Given(options, lessonOnly))
            return std::string(lessonOnly) + " goes with --koch";
    }
    return "";
}

std::string CheckKochLesson(CliOptions& options) {
    for (const char* text : {"--text", "--clean", "--max-word-length", "--encoding", "--mode"}) {
        if (Given(options, text))
            return std::string("--koch keys a lesson of its own: give it without ") + text;
    }
    if (!options.Operands.empty())
        return "--koch keys a lesson of its own: give it without an input file";
    const CourseKind course =
        options.Course == "cyrillic" ? CourseKind::Cyrillic : CourseKind::Latin;
    if (options.Koch > LessonCount(course))
        return "--koch takes a lesson from 1 to " + std::to_string(LessonCount(course)) +
               " of the " + options.Course + " course, not " + std::to_string(options.Koch);
    if (options.OutputFile == "-")
        return "--koch writes the lesson's text beside the audio: give -o a file name";
    if (!Given(options, "--wpm"))
        options.Wpm = 20;
    if (!Given(options, "--farnsworth"))
        options.Farnsworth = std::min(10, options.Wpm);
    return CheckFarnsworth(options);
}

} // namespace tonvik
