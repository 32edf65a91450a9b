// Export through the band: options over a preset, byte-identical files for
// the same seed, a clean band that leaves every sample as it was, and the
// refused values.
#include "cli/Cli.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace tonvik {
namespace {

class AirExport : public testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        std::istringstream in;
        err.str("");
        std::ostringstream out;
        return RunCommandLine(args, in, out, err);
    }
    // Exports the text with these options and gives the file's bytes.
    std::string Export(const std::string& name, std::vector<std::string> options,
                       const std::string& text = "UA3ABC RV9CX DL1XYZ OK1AB") {
        std::vector<std::string> args{"export", "--text", text, "-o", Temp.Path(name)};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(Run(args), 0) << err.str();
        std::ifstream file(Temp.Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    TempFolder Temp{"tonvik-air-export"};
    std::ostringstream err;
};

TEST_F(AirExport, ACleanBandOrAFilterAloneLeavesTheFileAsItWas) {
    const std::string plain = Export("plain.wav", {});
    EXPECT_EQ(Export("clean.wav", {"--conditions", "clean", "--seed", "3"}), plain);
    EXPECT_EQ(Export("filter.wav", {"--bandwidth", "200"}), plain);
    EXPECT_EQ(Export("zero.wav", {"--qrn", "0", "--qrm", "0", "--qsb", "0"}), plain);
}

TEST_F(AirExport, TheSameSeedAndOptionsGiveTheSameFileByteForByte) {
    const std::vector<std::string> contest{
        "--mode", "callsign", "--conditions", "contest", "--flutter", "--seed", "42"};
    const std::string first = Export("a.wav", contest);
    EXPECT_EQ(Export("b.wav", contest), first);
    EXPECT_NE(Export("plain.wav", {"--mode", "callsign"}), first);
    std::vector<std::string> other = contest;
    other.back() = "43";
    EXPECT_NE(Export("c.wav", other), first);
}

TEST_F(AirExport, ASingleOptionOverAPresetOverridesThatValue) {
    // contest with --qrm 0 is contest's other values one by one.
    const std::string overridden = Export(
        "a.wav", {"--mode", "callsign", "--conditions", "contest", "--qrm", "0", "--seed", "5"});
    const std::string spelledOut =
        Export("b.wav", {"--mode", "callsign", "--snr", "12", "--qsb", "0.2", "--qrn", "1",
                         "--callers", "30", "--seed", "5"});
    EXPECT_EQ(overridden, spelledOut);
    EXPECT_NE(Export("c.wav", {"--mode", "callsign", "--conditions", "contest", "--seed", "5"}),
              overridden);
}

TEST_F(AirExport, OutOfRangeValuesAreRefusedNamingTheOption) {
    struct Case {
        std::vector<std::string> Options;
        std::string Named;
    };
    const std::vector<Case> cases{
        {{"--conditions", "stormy"}, "--conditions"},
        {{"--snr", "41"}, "--snr"},
        {{"--snr", "-21"}, "--snr"},
        {{"--snr", "ten"}, "--snr"},
        {{"--bandwidth", "99"}, "--bandwidth"},
        {{"--bandwidth", "3001"}, "--bandwidth"},
        {{"--qsb", "3"}, "--qsb"},
        {{"--qsb", "0.01"}, "--qsb"},
        {{"--qrn", "4"}, "--qrn"},
        {{"--qrm", "6"}, "--qrm"},
        {{"--callers", "101"}, "--callers"},
        {{"--callers", "20"}, "--callers"},
        {{"--qrm", "1.5"}, "--qrm"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"export", "--text", "TEST", "-o", Temp.Path("x.wav")};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        EXPECT_EQ(Run(args), 2) << c.Options[0] << " " << c.Options[1];
        EXPECT_NE(err.str().find(c.Named), std::string::npos) << err.str();
        EXPECT_FALSE(std::filesystem::exists(Temp.Path("x.wav")));
    }
}

} // namespace
} // namespace tonvik
