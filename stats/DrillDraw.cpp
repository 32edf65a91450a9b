#include "stats/DrillDraw.h"

#include "base/Random.h"
#include "callsign/CallsignList.h"
#include "journal/JournalStats.h"

#include <algorithm>
#include <utility>

namespace tonvik {
namespace {

// A uniform real in [0, 1) from two draws of 30 bits each.
double UniformUnit(Random& random) {
    constexpr int Bits = 30;
    constexpr double Scale = 1.0 / static_cast<double>(1LL << Bits);
    const double high = random.Below(1 << Bits);
    const double low = random.Below(1 << Bits);
    return (high + low * Scale) * Scale;
}

} // namespace

std::vector<std::string> MissedCallsDrill(const std::vector<std::string>& recentlyMissed) {
    std::vector<std::string> calls;
    if (recentlyMissed.empty())
        return calls;
    calls.reserve(CallsignsPerExercise);
    for (int n = 0; n < CallsignsPerExercise; ++n)
        calls.push_back(recentlyMissed[static_cast<size_t>(n) % recentlyMissed.size()]);
    return calls;
}

std::vector<std::string> MissedCallsDrill(const JournalReader& reader) {
    return MissedCallsDrill(RecentlyMissedCallsigns(reader, CallsignsPerExercise));
}

double CallsignWeight(std::string_view callsign, const MissRates& rates) {
    double weight = 1;
    for (const char c : callsign) {
        const double tenfold = 10 * rates[static_cast<unsigned char>(c)];
        weight += tenfold * tenfold;
    }
    return weight;
}

std::vector<std::string> WeakCharactersDrill(const CallsignList& list, const MissRates& rates,
                                             Random& random) {
    std::vector<std::string> calls;
    if (list.Count() == 0)
        return calls;
    // Every line but the last; a one-line list draws its only line.
    const int drawable = std::max(1, list.Count() - 1);
    // Two passes over the lines instead of a table of their weights, which
    // would cost more than the list itself for a long one: the first sums the
    // weights, the second walks the sorted targets through the same sums.
    double total = 0;
    for (int line = 0; line < drawable; ++line)
        total += CallsignWeight(list.Callsign(line), rates);
    std::vector<std::pair<double, int>> targets; // point in [0, total), draw number
    for (int n = 0; n < CallsignsPerExercise; ++n)
        targets.emplace_back(UniformUnit(random) * total, n);
    std::sort(targets.begin(), targets.end());
    calls.resize(CallsignsPerExercise);
    double sum = 0;
    size_t next = 0;
    for (int line = 0; line < drawable && next < targets.size(); ++line) {
        const std::string_view call = list.Callsign(line);
        sum += CallsignWeight(call, rates);
        // The last line takes what rounding may leave beyond the sum.
        for (; next < targets.size() && (targets[next].first < sum || line == drawable - 1); ++next)
            calls[static_cast<size_t>(targets[next].second)] = std::string(call);
    }
    return calls;
}

std::string DrillPlayText(const std::vector<std::string>& callsigns) {
    if (callsigns.empty())
        return " ";
    std::string playText;
    for (const std::string& call : callsigns)
        playText += call + ' ';
    return playText;
}

} // namespace tonvik
