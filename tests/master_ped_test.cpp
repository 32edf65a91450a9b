#include "callsign/CallsignList.h"
#include "keying/MorseCode.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

using namespace tonvik;

// The callsign list shipped beside the program.
TEST(MasterPed, HoldsThousandsOfDistinctWellFormedCallsigns) {
    CallsignList list = CallsignList::Load(TONVIK_MASTER_PED);
    ASSERT_TRUE(list.Ok()) << TONVIK_MASTER_PED;
    ASSERT_GE(list.Count(), 5000);

    // Optional visiting prefix, prefix, one call-area digit, 1-3 letter suffix,
    // optional /P, /M or /digit.
    const std::regex shape("([A-Z0-9]{1,3}/)?([A-Z]{1,2}|[0-9][A-Z]|[A-Z][0-9])[0-9][A-Z]{1,3}"
                           "(/P|/M|/[0-9])?");
    std::set<std::string> distinct;
    int portable = 0;
    for (int i = 0; i < list.Count(); ++i) {
        std::string call(list.Callsign(i));
        ASSERT_EQ(call, list.Line(i)) << "line " << i + 1 << " has a comma";
        ASSERT_TRUE(std::regex_match(call, shape)) << "line " << i + 1 << ": " << call;
        for (unsigned char c : call)
            ASSERT_FALSE(MorseCode(c).empty()) << "line " << i + 1 << ": " << call;
        distinct.insert(call);
        portable += call.find('/') != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(list.Count()));
    // A few per cent portable and visiting forms.
    EXPECT_GE(portable * 100, list.Count());
    EXPECT_LE(portable * 100, list.Count() * 8);
}
