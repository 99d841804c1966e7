// Deterministic pseudo-random numbers for the data generator: the same seed gives the same
// data directory on every machine (no library distributions, whose output differs between
// standard libraries), and weighted choices with integer weights only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tvx::gen {

// SplitMix64: small, fast and good enough for test data.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n); n must be above 0.
    uint64_t below(uint64_t n) { return next() % n; }
    // Uniform in [lo, hi].
    long long between(long long lo, long long hi) {
        return lo + static_cast<long long>(below(static_cast<uint64_t>(hi - lo + 1)));
    }
    // True with probability permille / 1000.
    bool chance(int permille) { return below(1000) < static_cast<uint64_t>(permille); }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

  private:
    uint64_t state_;
};

// Choice among items with integer weights (cumulative table, binary search).
class WeightedPicker {
  public:
    WeightedPicker() = default;
    explicit WeightedPicker(const std::vector<uint64_t>& weights) {
        uint64_t sum = 0;
        cumulative_.reserve(weights.size());
        for (uint64_t w : weights) cumulative_.push_back(sum += w);
        if (sum == 0) throw std::invalid_argument("weights sum to zero");
    }
    size_t pick(Random& rng) const {
        const uint64_t x = rng.below(cumulative_.back());
        return static_cast<size_t>(std::upper_bound(cumulative_.begin(), cumulative_.end(), x) -
                                   cumulative_.begin());
    }
    bool empty() const { return cumulative_.empty(); }

  private:
    std::vector<uint64_t> cumulative_;
};

}  // namespace tvx::gen
