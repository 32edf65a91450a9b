#pragma once

#include "journal/JournalFile.h"
#include "journal/JournalProblem.h"
#include "journal/JournalTypes.h"
#include "journal/JournalWriter.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>

namespace tonvik {

// The recorder of the training journal, for the window's GUI thread.
//
// The window opens it once at start (Open; DefaultJournalPath() for the
// user's own), shows the returned problem when it is Worth() a message, and
// then calls BeginExercise at Start, RecordAnswer for every evaluated answer
// and EndExercise when the exercise ends.
//
// Each call hands its record to a writer thread and returns at once (a few
// microseconds): the writer commits every answer in a transaction of its own
// and waits for the disk (WAL, synchronous FULL), which here takes about 3 ms
// and at worst 25 ms, too long to hold the GUI thread on every Enter. The
// writer starts on a record the moment it is handed over, so an answer is
// on the disk long before the next callsign has been keyed: a crash or a
// power cut loses at most the answer being given.
//
// No call throws or blocks on the disk, except Close (and the destructor),
// which writes what is still queued. Without a journal, or after a write
// failed, every call does nothing and returns false. A failed write closes
// the journal for the rest of the run; TakeWriteProblem hands its problem out
// once, and the notifier tells the window that there is one.
//
// Two windows may record into one file at once: each write waits up to the
// busy timeout for the other's transaction.
class Journal {
public:
    Journal() = default;
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Opens or begins the journal at path. On a fault it stays closed.
    JournalProblem Open(const std::filesystem::path& path,
                        std::chrono::milliseconds busyTimeout = DefaultBusyTimeout);
    // Writes what is queued, then closes.
    void Close();
    // Open, and no write has failed.
    bool IsOpen() const;
    const std::filesystem::path& Path() const { return FilePath; }

    // Begins an exercise; one begun before and not ended stays as it is (it
    // reads as stopped).
    bool BeginExercise(const ExerciseStart& start);
    // An answer of the exercise begun last; false outside an exercise.
    bool RecordAnswer(const AnswerRecord& answer);
    // Ends the exercise begun last; later answers are not taken.
    bool EndExercise(const ExerciseEnd& end);
    // A lesson's score, in the lesson begun last; false outside an exercise.
    bool RecordLessonResult(const LessonResultRecord& result);
    // An answer of the recognition run begun last; false outside an exercise.
    bool RecordRecognitionAnswer(const RecognitionAnswerRecord& answer);

    // Waits until everything handed over is on the disk; false when the
    // journal is closed or a write failed.
    bool Flush();
    // The problem of the write that closed the journal, once.
    std::optional<JournalProblem> TakeWriteProblem();
    // Called once, on the writer thread, when a write has failed: the window
    // posts itself a call to TakeWriteProblem (a queued call). Set it before Open.
    void SetProblemNotifier(std::function<void()> notify) { Notify = std::move(notify); }
    // The journal's row id of the exercise last begun, once it is written; 0 before.
    long long CurrentExercise() const { return Exercise; }

private:
    using Record = std::variant<ExerciseStart, AnswerRecord, ExerciseEnd, LessonResultRecord,
                                RecognitionAnswerRecord>;

    bool Hand(Record record);
    void Run();
    bool Write(const Record& record);

    JournalWriter Writer;
    std::filesystem::path FilePath;
    std::thread Worker;
    std::function<void()> Notify;
    std::atomic<long long> Exercise{0};
    bool InExercise = false; // the GUI thread's view: begun and not ended

    mutable std::mutex Lock; // guards what follows
    std::condition_variable Wake;
    std::condition_variable Drained;
    std::deque<Record> Queue;
    bool Writing = false;
    bool Stopping = false;
    bool Failed = false;
    std::optional<JournalProblem> Problem;
};

} // namespace tonvik
