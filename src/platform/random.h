#pragma once
#include <cstdint>
#include <random>

namespace jumblix {

// The game's one random generator: uniform numbers in [0, 1).
class Random {
 public:
  explicit Random(std::uint64_t seed = 1) : engine_(seed) {}
  void seed(double value) { engine_.seed(static_cast<std::uint64_t>(value * 1000.0) ^ 0x9E3779B97F4A7C15ull); }
  double next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }  // never 1.0
  // Int(r * n) + 1: 1..n with equal chance.
  int pick(int n) { return static_cast<int>(next() * n) + 1; }

 private:
  std::mt19937_64 engine_;
};

}  // namespace jumblix
