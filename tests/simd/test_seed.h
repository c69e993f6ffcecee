// One seed for every random input of the run: printed, and taken from
// --seed=N on the command line or the PELLIX_SEED environment variable so a
// failure can be replayed exactly.
#pragma once

#include <cstdint>

namespace pellix::test {

void InitTestSeed(int argc, char** argv);
uint64_t TestSeed();

}  // namespace pellix::test
