#include "cli/KochExport.h"

#include "cli/AudioExport.h"
#include "cli/ExportCommand.h"
#include "course/CourseJournal.h"
#include "course/KochOrder.h"
#include "course/LessonDraw.h"
#include "journal/JournalPath.h"
#include "text/Cp1251.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tonvik {
namespace {

constexpr int GroupsPerLine = 10;

bool StartsWithMark(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[32] = {};
    const ssize_t got = ::read(fd, head, std::strlen(LessonTextMark));
    ::close(fd);
    return got == static_cast<ssize_t>(std::strlen(LessonTextMark)) &&
           std::memcmp(head, LessonTextMark, static_cast<size_t>(got)) == 0;
}

// The lesson's header and its groups, GroupsPerLine a line, in UTF-8.
std::string LessonFileText(const CliOptions& o, const std::string& groups, uint64_t seed) {
    const CourseKind course = o.Course == "cyrillic" ? CourseKind::Cyrillic : CourseKind::Latin;
    std::string text = std::string(LessonTextMark) + std::to_string(o.Koch) + " (" + o.Course +
                       "): " + Cp1251ToUtf8(LessonCharacters(course, o.Koch)) + ", " +
                       std::to_string(o.Wpm) + "/" + std::to_string(o.Farnsworth) + " wpm, seed " +
                       std::to_string(seed) + "\n";
    int inLine = 0;
    for (size_t at = 0; at + 5 <= groups.size(); at += 6) {
        text += (inLine == 0 ? "" : " ") + Cp1251ToUtf8(groups.substr(at, 5));
        if (++inLine == GroupsPerLine) {
            text += "\n";
            inLine = 0;
        }
    }
    if (inLine != 0)
        text += "\n";
    return text;
}

// What the user's journal shows missed, read without changing it. No journal
// is no history; a journal that cannot be read is said in one line and the
// lesson drawn without it.
std::map<unsigned char, CharacterRecord> JournalHistory(std::ostream& err) {
    const std::filesystem::path path = DefaultJournalPath();
    JournalReader reader;
    const JournalProblem problem = reader.Open(path);
    if (!problem.Ok()) {
        err << "tonvik: " << DescribeProblem(problem)
            << "; the lesson is drawn without the journal\n";
        return {};
    }
    if (reader.Missing())
        return {};
    auto history = DrawHistory(reader);
    if (reader.Failed()) {
        err << "tonvik: journal " << path.string() << ": " << reader.FailureText()
            << "; the lesson is drawn without the journal\n";
        return {};
    }
    return history;
}

} // namespace

std::string LessonTextPath(const std::string& audioPath) {
    const size_t slash = audioPath.rfind('/');
    const size_t dot = audioPath.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? audioPath.substr(0, dot) : audioPath) + ".txt";
}

std::string LessonTextRefusal(const std::string& path, const std::string& audioPath) {
    if (path == audioPath)
        return "the lesson's text would take the name of the audio " + audioPath +
               ": give -o a name with an audio extension";
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? "" : path + ": " + std::strerror(errno);
    if (!S_ISREG(st.st_mode))
        return path + " is not a regular file: the lesson's text is not written over it";
    if (!StartsWithMark(path))
        return path + " exists and is not a lesson text of tonvik: it is not overwritten "
                      "(move it, or give -o another name)";
    return "";
}

std::string WriteLessonText(const std::string& path, const std::string& text) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return "cannot write the lesson's text beside " + path + ": " + std::strerror(errno);
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    const int savedErrno = errno;
    // mkstemp makes the file for its owner alone; a lesson text is as readable
    // as any file the user makes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool ok = written == text.size() && ::fchmod(fd, 0666 & ~mask) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(ok ? errno : savedErrno);
        ::unlink(temporary.c_str());
        return "cannot write the lesson's text " + path + ": " + reason;
    }
    return "";
}

int RunKochExport(const CliOptions& options, std::ostream& err) {
    if (const int status = CheckExportOutput(options, err); status != 0)
        return status;
    const std::string textPath = LessonTextPath(options.OutputFile);
    if (const std::string refusal = LessonTextRefusal(textPath, options.OutputFile);
        !refusal.empty()) {
        err << "tonvik: " << refusal << "\n";
        return 1;
    }
    const CourseKind course =
        options.Course == "cyrillic" ? CourseKind::Cyrillic : CourseKind::Latin;
    const uint64_t seed = options.Seed ? *options.Seed : std::random_device{}();
    const std::string characters = LessonCharacters(course, options.Koch);
    LessonDraw draw(characters, DrawWeights(characters, JournalHistory(err)), seed);
    const std::string groups = draw.Groups(GroupsForMinutes(options.Minutes, options.Farnsworth));
    if (const std::string error = WriteLessonText(textPath, LessonFileText(options, groups, seed));
        !error.empty()) {
        err << "tonvik: " << error << "\n";
        return 1;
    }
    ExportJob job;
    job.PlayText = groups;
    job.Settings = CommandKeyerSettings(options);
    job.FarnsworthWpm = options.Farnsworth;
    const int status = ExportKeyedText(job, options, err);
    if (status != 0)
        ::unlink(textPath.c_str()); // no half of a lesson is left behind
    return status;
}

} // namespace tonvik
