// Seeded random input for the parsers' randomized tests (*Fuzz_test.cpp).
// The count and seed come from the environment, so CI runs a short form and
// the full form is one command (scripts/fuzz-parsers.sh):
//   ZELK_FUZZ_COUNT  inputs per test (default 3000)
//   ZELK_FUZZ_SEED   seed (default: the clock; every test prints the one it used)
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace zelk::test {

class FuzzInput {
 public:
  static unsigned Count() { return EnvironmentNumber("ZELK_FUZZ_COUNT", 3000); }
  static unsigned Seed() { return EnvironmentNumber("ZELK_FUZZ_SEED", GetTickCount()); }

  // Prints what reproduces the calling test's inputs.
  explicit FuzzInput(const char* what) : FuzzInput(Seed()) {
    std::printf("%s: %u inputs from seed %u (reproduce: ZELK_FUZZ_SEED=%u ZELK_FUZZ_COUNT=%u)\n", what, Count(),
                seed_, seed_, Count());
    std::fflush(stdout);
  }
  explicit FuzzInput(unsigned seed) : seed_(seed), engine_(seed) {}

  // Uniform in [0, n); 0 when n is 0.
  size_t Below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(engine_); }
  bool Chance(unsigned percent) { return Below(100) < percent; }

  template <typename T>
  const T& Pick(const std::vector<T>& choices) {
    return choices[Below(choices.size())];
  }

  // Any bytes, zeros included.
  std::string Bytes(size_t maxLength) {
    std::string text(Below(maxLength + 1), '\0');
    for (char& c : text) c = static_cast<char>(Below(256));
    return text;
  }

  // Any UTF-16 units, lone surrogates and zeros included; mostly ASCII so
  // that the interesting characters of a syntax come up.
  std::wstring WideChars(size_t maxLength) {
    std::wstring text(Below(maxLength + 1), L'\0');
    for (wchar_t& c : text) c = static_cast<wchar_t>(Chance(80) ? Below(128) : Below(0x10000));
    return text;
  }

  // Pieces of `fragments` strung together, with now and then a random unit.
  template <typename String>
  String Join(const std::vector<String>& fragments, size_t maxPieces) {
    String text;
    for (size_t n = Below(maxPieces + 1); n > 0; --n) {
      if (Chance(10)) {
        text += static_cast<typename String::value_type>(Below(Chance(50) ? 128 : 256));
      } else {
        text += Pick(fragments);
      }
    }
    return text;
  }

  // `base` with a few random edits: flipped, inserted, deleted or
  // duplicated units, and cut-and-pasted stretches.
  template <typename String>
  String Mutate(String text, size_t maxEdits) {
    for (size_t n = Below(maxEdits) + 1; n > 0; --n) {
      const size_t at = Below(text.size() + 1);
      switch (Below(5)) {
        case 0:
          if (at < text.size()) text[at] = static_cast<typename String::value_type>(Below(256));
          break;
        case 1:
          text.insert(at, 1, static_cast<typename String::value_type>(Below(256)));
          break;
        case 2:
          text.erase(at, Below(16));
          break;
        case 3:
          text.insert(at, text.substr(Below(text.size() + 1), Below(64)));
          break;
        default: {
          const size_t from = Below(text.size() + 1);
          const String piece = text.substr(from, Below(256));
          text.erase(from, piece.size());
          text.insert(Below(text.size() + 1), piece);
          break;
        }
      }
    }
    return text;
  }

  unsigned SeedUsed() const { return seed_; }

 private:
  static unsigned EnvironmentNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
  }

  unsigned seed_;
  std::mt19937 engine_;
};

}  // namespace zelk::test
