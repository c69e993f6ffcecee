#include <gtest/gtest.h>

#include "colorconv/routines.h"
#include "tests/simd/test_seed.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  pellix::test::InitTestSeed(argc, argv);
  // The plain routines every wide variant is compared with read the lookup
  // tables, which set-up builds; CTest runs each test in a process of its own.
  pellix::InitColorConversion();
  return RUN_ALL_TESTS();
}
