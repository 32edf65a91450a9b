#pragma once

#include "cli/Options.h"

#include <iosfwd>
#include <string>

namespace tonvik {

// The first words of every lesson text tonvik writes: a file that starts with
// them is ours to replace; any other file of that name is left alone.
inline constexpr const char* LessonTextMark = "tonvik Koch lesson ";

// OUT's name with .txt in place of its extension ("lesson.mp3": "lesson.txt").
std::string LessonTextPath(const std::string& audioPath);

// Why the lesson's text cannot go to path ("" when it can): the audio's own
// name, something that is not a regular file, or a file that is not ours.
std::string LessonTextRefusal(const std::string& path, const std::string& audioPath);

// Puts text at path whole or not at all: a new file beside it, renamed over.
std::string WriteLessonText(const std::string& path, const std::string& text);

// export --koch: draws the lesson, writes its text beside the audio, then the audio.
int RunKochExport(const CliOptions& options, std::ostream& err);

} // namespace tonvik
