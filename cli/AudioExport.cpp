#include "cli/AudioExport.h"

#include "air/Band.h"
#include "cli/Interrupt.h"
#include "cli/PlayTextRenderer.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tonvik {
namespace {

constexpr int64_t ChunkSamples = 1 << 16;

class Exporter {
public:
    Exporter(const ExportJob& job, const std::function<void(const ExportProgress&)>& onProgress)
        : Job(job), OnProgress(onProgress),
          Renderer(job.PlayText, job.Settings, job.VolumeFactor, job.FarnsworthWpm),
          Chunk(std::make_unique<int16_t[]>(ChunkSamples)) {
        if (job.Conditions.AnyOn())
            Air = std::make_unique<Band>(job.Conditions, BandOf(job));
    }

    ExportResult Run();

private:
    bool OpenPart();
    bool ClosePart();
    void RemoveWritten();
    bool Splitting() const { return Job.SplitSamples > 0; }
    bool PartFull() const { return Splitting() && PartSamples >= Job.SplitSamples; }
    bool Failed(const std::string& error);
    void Report();
    void Plan();
    bool WriteChunk();
    int64_t RenderChunk();
    static BandSetup BandOf(const ExportJob& job);

    const ExportJob& Job;
    const std::function<void(const ExportProgress&)>& OnProgress;
    PlayTextRenderer Renderer;
    std::unique_ptr<int16_t[]> Chunk;
    std::unique_ptr<Band> Air; // none when every condition is off
    std::unique_ptr<AudioFileWriter> Writer;
    ExportResult Result;
    AudioFormat Format = AudioFormat::Wav;
    int64_t PartSamples = 0;
    int64_t WrittenSamples = 0;
    int64_t TotalSamples = 0;
    int PartDigits = 3;
    bool Broken = false; // a write failed or the export was interrupted
};

ExportResult Exporter::Run() {
    Plan();
    if (!OpenPart())
        return Result;
    while (WriteChunk()) {
    }
    if (!Broken && ClosePart())
        Result.Ok = true;
    return Result;
}

void Exporter::Plan() {
    {
        const EndAtOnceOnInterrupt nothingWrittenYet; // a long text takes seconds
        TotalSamples =
            PlayTextRenderer::TotalSamples(Job.PlayText, Job.Settings, Job.FarnsworthWpm);
    }
    // Every part but the last is at least SplitSamples long: this bounds their
    // number, and all get as many digits, so that their names sort in order.
    if (Splitting())
        PartDigits = std::max<int>(3, std::to_string(TotalSamples / Job.SplitSamples + 1).size());
    Format = Job.Format;
    if (Format == AudioFormat::Wav && !Splitting() &&
        static_cast<uint64_t>(TotalSamples) * 2 > Job.Rf64ThresholdBytes) {
        Format = AudioFormat::Rf64;
        Result.UsedRf64 = true;
    }
}

// One chunk of samples into the part being written; false when the text is
// used up or writing stopped (with the reason in Result).
bool Exporter::WriteChunk() {
    if (Job.Interrupted != nullptr && Job.Interrupted->load())
        return Failed("interrupted");
    // Parts are cut only between characters, after a word gap.
    if (PartFull() && Renderer.AtWordBoundary() && !Renderer.Finished()) {
        if (!ClosePart() || !OpenPart())
            return false;
    }
    const int64_t n = RenderChunk();
    if (n == 0)
        return false;
    if (!Writer->Write(Chunk.get(), n))
        return Failed(Writer->Error());
    PartSamples += n;
    WrittenSamples += n;
    Report();
    return true;
}

// The next samples as the receiver hears them. A second caller answers with
// our callsign, so then each callsign's start is found character by character.
int64_t Exporter::RenderChunk() {
    const bool callers = Air && Air->Settings().CallersPercent > 0;
    if (callers && Renderer.AtWordBoundary() && !Renderer.Finished())
        Air->CallsignStarts(Renderer.NextWord());
    const int64_t n = Splitting() || callers
                          ? Renderer.NextWithinCharacter(Chunk.get(), ChunkSamples)
                          : Renderer.Next(Chunk.get(), ChunkSamples);
    if (Air)
        Air->Process(Chunk.get(), Chunk.get(), n);
    return n;
}

BandSetup Exporter::BandOf(const ExportJob& job) {
    BandSetup setup;
    setup.PitchHz = static_cast<double>(job.Settings.ToneFreq);
    setup.DotSamples = job.Settings.DotSamples;
    setup.VolumeFactor = job.VolumeFactor;
    setup.Seed = job.Seed;
    setup.Callsigns = job.Callsigns;
    return setup;
}

bool Exporter::OpenPart() {
    const int part = static_cast<int>(Result.Files.size()) + 1;
    const std::string path =
        Splitting() ? PartPath(Job.OutputPath, part, PartDigits) : Job.OutputPath;
    const OutputTarget target = ResolveOutput(path, Job.Input);
    if (!target.Error.empty()) {
        Result.BadUsage = target.BadUsage;
        return Failed(target.Error);
    }
    if (Splitting() && target.Type != OutputTarget::Kind::File) {
        Result.BadUsage = true;
        return Failed("--split-minutes writes files, and " + path + " is not one");
    }
    Writer = std::make_unique<AudioFileWriter>();
    if (!Writer->Open(target, Format, TotalSamples, Job.Interrupted))
        return Failed(Writer->Error());
    PartSamples = 0;
    return true;
}

bool Exporter::ClosePart() {
    if (!Writer->Commit())
        return Failed(Writer->Error());
    if (Writer->Target().Type == OutputTarget::Kind::File)
        Result.Files.push_back(Writer->Target().Path);
    return true;
}

// Reports the error, or the interruption that caused it, and leaves nothing.
bool Exporter::Failed(const std::string& error) {
    Broken = true;
    Result.Error = error;
    if (Job.Interrupted != nullptr && Job.Interrupted->load()) {
        Result.WasInterrupted = true;
        Result.Error = "interrupted";
    }
    RemoveWritten();
    return false;
}

void Exporter::RemoveWritten() {
    if (Writer)
        Writer->Abandon();
    for (const auto& file : Result.Files)
        std::remove(file.c_str());
    Result.Files.clear();
}

void Exporter::Report() {
    if (!OnProgress)
        return;
    ExportProgress p;
    const size_t length = Renderer.TextLength();
    p.TextShare = length == 0 ? 1.0 : static_cast<double>(Renderer.CharactersStarted()) / length;
    p.AudioSeconds = static_cast<double>(WrittenSamples) / SampleRate;
    p.TotalAudioSeconds = static_cast<double>(TotalSamples) / SampleRate;
    OnProgress(p);
}

} // namespace

ExportResult ExportAudio(const ExportJob& job,
                         const std::function<void(const ExportProgress&)>& onProgress) {
    Exporter exporter(job, onProgress);
    return exporter.Run();
}

std::string PartPath(const std::string& path, int part, int digits) {
    char number[32];
    std::snprintf(number, sizeof number, "-%0*d", digits, part);
    const auto dot = ExtensionDot(path);
    if (dot == std::string::npos)
        return path + number;
    return path.substr(0, dot) + number + path.substr(dot);
}

} // namespace tonvik
