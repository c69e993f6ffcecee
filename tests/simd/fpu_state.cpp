#include "tests/simd/fpu_state.h"

namespace pellix::test {
namespace {

// Layout FNSTENV stores in 32-bit protected mode (also in 64-bit mode).
struct X87Environment {
  uint32_t control;
  uint32_t status;
  uint32_t tag;
  uint32_t rest[4];
};

}  // namespace

uint16_t X87TagWord() {
  X87Environment env{};
  // FNSTENV masks every x87 exception as a side effect; FLDENV puts the
  // stored environment back.
  asm volatile("fnstenv %0\n\tfldenv %0" : "+m"(env));
  return static_cast<uint16_t>(env.tag & 0xFFFF);
}

__attribute__((target("mmx"))) void LeaveMmxRegistersInUse() { asm volatile("pxor %%mm0, %%mm0" ::: "mm0"); }

void EmptyMmxState() { asm volatile("emms"); }

}  // namespace pellix::test
