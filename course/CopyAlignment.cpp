#include "course/CopyAlignment.h"

#include <algorithm>
#include <cstdint>

namespace tonvik {
namespace {

std::string Normalized(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (static_cast<unsigned char>(c) > 32)
            out += Cp1251Upper(c);
    }
    return out;
}

// The edit-distance table, (n+1) x (m+1), row by row.
std::vector<int> DistanceTable(const std::string& a, const std::string& b) {
    const size_t n = a.size(), m = b.size();
    std::vector<int> d((n + 1) * (m + 1));
    auto at = [&](size_t i, size_t j) -> int& { return d[i * (m + 1) + j]; };
    for (size_t i = 0; i <= n; ++i)
        at(i, 0) = static_cast<int>(i);
    for (size_t j = 0; j <= m; ++j)
        at(0, j) = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i) {
        for (size_t j = 1; j <= m; ++j) {
            const int change = at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1);
            at(i, j) = std::min({change, at(i - 1, j) + 1, at(i, j - 1) + 1});
        }
    }
    return d;
}

} // namespace

char Cp1251Upper(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z')
        return static_cast<char>(u - 32);
    if (u >= 0xE0)
        return static_cast<char>(u - 32); // а..я to А..Я
    if (u == 0xB8)
        return static_cast<char>(0xA8); // ё to Ё
    return c;
}

CopyScore AlignCopy(const std::string& sentText, const std::string& copiedText) {
    const std::string a = Normalized(sentText);
    std::string b = Normalized(copiedText);
    // A copy far longer than what was sent cannot be aligned better for its
    // tail: the tail is all extra, and the table stays small.
    const size_t longest = 2 * a.size() + 16;
    const std::string tail = b.size() > longest ? b.substr(longest) : std::string();
    b.resize(std::min(b.size(), longest));
    const std::vector<int> d = DistanceTable(a, b);
    const size_t m = b.size();
    auto at = [&](size_t i, size_t j) { return d[i * (m + 1) + j]; };
    CopyScore score;
    score.Sent = static_cast<int>(a.size());
    score.Errors = at(a.size(), m);
    // Back from the end; a match or a change is preferred, so that equal
    // lengths pair character by character.
    size_t i = a.size(), j = m;
    while (i > 0 || j > 0) {
        if (i > 0 && j > 0 && at(i, j) == at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)) {
            const bool right = a[i - 1] == b[j - 1];
            score.Pairs.push_back(
                {right ? AlignedPair::Kind::Right : AlignedPair::Kind::Wrong, a[i - 1], b[j - 1]});
            score.Right += right ? 1 : 0;
            --i, --j;
        } else if (i > 0 && at(i, j) == at(i - 1, j) + 1) {
            score.Pairs.push_back({AlignedPair::Kind::Missed, a[i - 1], 0});
            --i;
        } else {
            score.Pairs.push_back({AlignedPair::Kind::Extra, 0, b[j - 1]});
            --j;
        }
    }
    std::reverse(score.Pairs.begin(), score.Pairs.end());
    for (char c : tail)
        score.Pairs.push_back({AlignedPair::Kind::Extra, 0, c});
    score.Errors += static_cast<int>(tail.size());
    return score;
}

bool PassesLesson(const CopyScore& score) {
    return score.Sent > 0 && int64_t{score.Right} * 100 >= int64_t{PassPercent} * score.Sent;
}

} // namespace tonvik
