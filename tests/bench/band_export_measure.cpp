// Export through the band: how many times faster than real time a text is
// keyed into a WAV file with every condition on at its heaviest, against the
// same export with the band clean. Prints one line per case.
#include "cli/AudioExport.h"
#include "cli/PlayTextRenderer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace tonvik;

double Measure(const char* name, const BandConditions& conditions, const std::string& text) {
    ExportJob job;
    job.PlayText = text;
    job.Settings.DotSamples = 9600 / 30;
    job.Settings.ToneFreq = 800;
    job.Settings.ActivePage = CallsignPage;
    job.OutputPath = (std::filesystem::temp_directory_path() / "tonvik-band-measure.wav").string();
    job.Conditions = conditions;
    job.Seed = 1;
    job.Callsigns = {"UA3ABC", "DL1XYZ", "OK1AB", "RV9CX", "SP7QRM", "G4FON", "JA1ZZZ"};
    const auto start = std::chrono::steady_clock::now();
    const ExportResult result = ExportAudio(job);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::filesystem::remove(job.OutputPath);
    const double audio =
        static_cast<double>(PlayTextRenderer::TotalSamples(text, job.Settings)) / SampleRate;
    const double ratio = audio / seconds;
    std::printf("%-28s %s  %.0f s of audio in %.3f s: %.0fx real time\n", name,
                result.Ok ? "ok    " : "FAILED", audio, seconds, ratio);
    return ratio;
}

} // namespace

int main() {
    std::string text;
    while (text.size() < 20000) // about 40 minutes at 30 wpm
        text += "UA3ABC RV9CX DL1XYZ OK1AB SP7QRM ";
    Measure("clean", BandConditions{}, text);
    Measure("contest", PresetConditions(BandPreset::Contest), text);
    BandConditions all;
    all.Noise = true;
    all.SnrDb = 0;
    all.BandwidthHz = 3000;
    all.QsbHz = 2;
    all.FlutterHz = 30;
    all.Qrn = 3;
    all.Qrm = 5;
    all.CallersPercent = 100;
    const double ratio = Measure("every condition at its most", all, text);
    std::printf("goal: at least 500x real time with every condition on: %s\n",
                ratio >= 500 ? "met" : "NOT met");
    return 0;
}
