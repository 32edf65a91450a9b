#pragma once

#include <cstdint>
#include <random>

namespace tonvik {

// The program's one pseudo-random generator: seeded once, uniform integers.
class Random {
public:
    explicit Random(uint64_t seed) : Engine(seed) {}

    // A uniform integer in [0, n); 0 when n <= 0.
    int Below(int n) {
        if (n <= 0)
            return 0;
        return std::uniform_int_distribution<int>(0, n - 1)(Engine);
    }

private:
    std::mt19937_64 Engine;
};

} // namespace tonvik
