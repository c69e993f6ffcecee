#include "tests/simd/test_seed.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace pellix::test {
namespace {

uint64_t gSeed = 0;

bool ParseSeed(const char* text, uint64_t* seed) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 0);
  if (end == text || *end != '\0') return false;
  *seed = value;
  return true;
}

}  // namespace

void InitTestSeed(int argc, char** argv) {
  bool chosen = false;
  for (int i = 1; i < argc && !chosen; ++i) {
    if (std::strncmp(argv[i], "--seed=", 7) == 0) chosen = ParseSeed(argv[i] + 7, &gSeed);
  }
  if (!chosen) {
    const char* env = std::getenv("PELLIX_SEED");
    chosen = env != nullptr && ParseSeed(env, &gSeed);
  }
  if (!chosen) gSeed = (uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
  std::printf("pellix_simd_tests seed %llu (replay with --seed=%llu or PELLIX_SEED=%llu)\n",
              static_cast<unsigned long long>(gSeed), static_cast<unsigned long long>(gSeed),
              static_cast<unsigned long long>(gSeed));
}

uint64_t TestSeed() { return gSeed; }

}  // namespace pellix::test
