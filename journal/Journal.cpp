#include "journal/Journal.h"

#include <system_error>

namespace tonvik {

Journal::~Journal() {
    Close();
}

JournalProblem Journal::Open(const std::filesystem::path& path,
                             std::chrono::milliseconds busyTimeout) {
    Close();
    FilePath = path;
    Failed = false;
    Problem.reset();
    JournalProblem problem = Writer.Open(path, busyTimeout);
    if (!problem.Ok())
        return problem;
    try {
        Stopping = false;
        Worker = std::thread([this] { Run(); });
    } catch (const std::system_error& error) {
        Writer.Close();
        problem.Fault = JournalFault::CannotOpen;
        problem.Detail = std::string("no writer thread: ") + error.what();
    }
    return problem;
}

void Journal::Close() {
    if (Worker.joinable()) {
        {
            std::lock_guard<std::mutex> hold(Lock);
            Stopping = true;
        }
        Wake.notify_one();
        Worker.join();
    }
    Writer.Close();
    InExercise = false;
    Exercise = 0;
}

bool Journal::IsOpen() const {
    std::lock_guard<std::mutex> hold(Lock);
    return Worker.joinable() && !Failed;
}

bool Journal::Hand(Record record) {
    try {
        std::lock_guard<std::mutex> hold(Lock);
        if (!Worker.joinable() || Failed || Stopping)
            return false;
        Queue.push_back(std::move(record));
    } catch (...) { // out of memory: this record is lost, the training goes on
        return false;
    }
    Wake.notify_one();
    return true;
}

bool Journal::BeginExercise(const ExerciseStart& start) {
    InExercise = Hand(start);
    return InExercise;
}

bool Journal::RecordAnswer(const AnswerRecord& answer) {
    return InExercise && Hand(answer);
}

bool Journal::EndExercise(const ExerciseEnd& end) {
    if (!InExercise)
        return false;
    InExercise = false;
    return Hand(end);
}

bool Journal::RecordLessonResult(const LessonResultRecord& result) {
    return InExercise && Hand(result);
}

bool Journal::RecordRecognitionAnswer(const RecognitionAnswerRecord& answer) {
    return InExercise && Hand(answer);
}

bool Journal::Write(const Record& record) {
    if (const auto* start = std::get_if<ExerciseStart>(&record))
        return Writer.BeginExercise(*start);
    if (const auto* answer = std::get_if<AnswerRecord>(&record))
        return Writer.RecordAnswer(*answer);
    if (const auto* lesson = std::get_if<LessonResultRecord>(&record))
        return Writer.RecordLessonResult(*lesson);
    if (const auto* recognition = std::get_if<RecognitionAnswerRecord>(&record))
        return Writer.RecordRecognitionAnswer(*recognition);
    return Writer.EndExercise(std::get<ExerciseEnd>(record));
}

void Journal::Run() {
    std::unique_lock<std::mutex> hold(Lock);
    for (;;) {
        Wake.wait(hold, [this] { return Stopping || !Queue.empty(); });
        if (Queue.empty())
            return; // stopping, and everything is written
        const Record record = std::move(Queue.front());
        Queue.pop_front();
        Writing = true;
        hold.unlock();
        const bool written = Write(record);
        if (written && std::holds_alternative<ExerciseStart>(record))
            Exercise = Writer.CurrentExercise();
        hold.lock();
        const bool failedNow = !written && Writer.Problem() && !Failed;
        if (failedNow) {
            Failed = true;
            Problem = Writer.Problem();
            Queue.clear(); // nothing more can be written
        }
        // Told before a Flush waiting for this write returns, so that whoever
        // flushed finds the problem announced.
        if (failedNow && Notify) {
            hold.unlock();
            Notify();
            hold.lock();
        }
        Writing = false;
        Drained.notify_all();
    }
}

bool Journal::Flush() {
    std::unique_lock<std::mutex> hold(Lock);
    if (!Worker.joinable())
        return false;
    Drained.wait(hold, [this] { return Queue.empty() && !Writing; });
    return !Failed;
}

std::optional<JournalProblem> Journal::TakeWriteProblem() {
    std::lock_guard<std::mutex> hold(Lock);
    std::optional<JournalProblem> problem;
    problem.swap(Problem);
    return problem;
}

} // namespace tonvik
