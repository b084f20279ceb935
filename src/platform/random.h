#pragma once
#include <bit>
#include <cstdint>
#include <random>

namespace jumblix {

// The game's one random generator: uniform numbers in [0, 1).
class Random {
 public:
  explicit Random(std::uint64_t seed = 1) : engine_(seed) {}
  void seed(double value) { engine_.seed(seed_key(value)); }
  double next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }  // never 1.0
  // Int(r * n) + 1: 1..n with equal chance.
  int pick(int n) { return static_cast<int>(next() * n) + 1; }

  // The engine's seed for a seed value. A time of day counts in whole milliseconds; any other
  // value (the fixed reset value -1, or one no clock gives: negative, huge, not a number)
  // counts by its bit pattern, so every value gives a well-defined seed of its own.
  static constexpr std::uint64_t seed_key(double value) {
    const double ms = value * 1000.0;
    const std::uint64_t key = ms >= 0 && ms < 0x1.0p64 ? static_cast<std::uint64_t>(ms)
                                                       : std::bit_cast<std::uint64_t>(value);
    return key ^ 0x9E3779B97F4A7C15ull;
  }

 private:
  std::mt19937_64 engine_;
};

}  // namespace jumblix
