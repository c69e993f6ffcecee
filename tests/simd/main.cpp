#include <gtest/gtest.h>

#include "tests/simd/test_seed.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  pellix::test::InitTestSeed(argc, argv);
  return RUN_ALL_TESTS();
}
