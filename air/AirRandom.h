#pragma once

#include <cstdint>
#include <random>

namespace tonvik {

// A seeded source of the band's random numbers. Each part of the band draws
// from its own, seeded from the run's one generator, so that what a part draws
// depends only on its own samples and never on how the stream is cut into
// buffers.
class AirRandom {
public:
    explicit AirRandom(uint64_t seed) : Engine(seed) {}

    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(Engine);
    }
    double Gauss() { return Normal(Engine); }
    // A uniform integer in [0, n); 0 when n <= 0.
    int Below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(Engine); }
    bool Chance(double probability) { return Uniform(0.0, 1.0) < probability; }
    uint64_t Seed() { return Engine(); }

private:
    std::mt19937_64 Engine;
    std::normal_distribution<double> Normal{0.0, 1.0};
};

} // namespace tonvik
