// The presets as the help and the manual page give them: each one's values,
// and its name on the command line and in the journal both ways.
#include "air/BandConditions.h"

#include <gtest/gtest.h>

namespace tonvik {
namespace {

struct PresetCase {
    BandPreset Preset;
    const char* Name;
    bool Noise;
    double SnrDb;
    double QsbHz;
    int Qrn;
    int Qrm;
    int CallersPercent;
};
class AirPreset : public testing::TestWithParam<PresetCase> {};

TEST_P(AirPreset, HasItsDocumentedValuesAndName) {
    const PresetCase& p = GetParam();
    const BandConditions c = PresetConditions(p.Preset);
    EXPECT_EQ(c.BandwidthHz, 500);
    EXPECT_EQ(c.Noise, p.Noise);
    if (p.Noise) {
        EXPECT_EQ(c.SnrDb, p.SnrDb);
    }
    EXPECT_EQ(c.QsbHz, p.QsbHz);
    EXPECT_EQ(c.FlutterHz, 0);
    EXPECT_EQ(c.Qrn, p.Qrn);
    EXPECT_EQ(c.Qrm, p.Qrm);
    EXPECT_EQ(c.CallersPercent, p.CallersPercent);
    EXPECT_EQ(PresetName(p.Preset), p.Name);
    EXPECT_EQ(PresetFromName(p.Name), p.Preset);
    EXPECT_EQ(MatchingPreset(c), p.Preset);
    EXPECT_EQ(DescribeConditions(c), p.Name);
    EXPECT_EQ(ParseConditions(p.Name), c);
}

INSTANTIATE_TEST_SUITE_P(
    Documented, AirPreset,
    testing::Values(PresetCase{BandPreset::Clean, "clean", false, 0, 0, 0, 0, 0},
                    PresetCase{BandPreset::Good, "good", true, 20, 0.1, 0, 0, 0},
                    PresetCase{BandPreset::Average, "average", true, 10, 0.3, 1, 1, 0},
                    PresetCase{BandPreset::Poor, "poor", true, 3, 1, 2, 2, 0},
                    PresetCase{BandPreset::Contest, "contest", true, 12, 0.2, 1, 4, 30}),
    [](const testing::TestParamInfo<PresetCase>& info) { return std::string(info.param.Name); });

TEST(AirPreset, ANameThatIsNoPresetIsRefused) {
    EXPECT_EQ(PresetFromName("Contest"), std::nullopt);
    EXPECT_EQ(PresetFromName(""), std::nullopt);
    BandConditions own = PresetConditions(BandPreset::Poor);
    own.Qrm = 5;
    EXPECT_EQ(MatchingPreset(own), std::nullopt);
}

} // namespace
} // namespace tonvik
