// The routine choice as a pure function of what a processor reports: its
// CPUID leaves, the register state its operating system saves, and the
// user's cap. No processor is needed to ask what any processor would get.
#include "colorconv/dispatch/routine_choice.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

namespace pellix {
namespace {

constexpr uint32_t kSse2Era = CpuBit::MMX | CpuBit::SSE | CpuBit::SSE2;
constexpr uint32_t kAvxEcx = CpuBit::OSXSAVE | CpuBit::AVX;
constexpr uint32_t kAvx512Ebx = CpuBit::AVX2 | CpuBit::AVX512F | CpuBit::AVX512BW | CpuBit::AVX512VL;

CpuFeatures Processor(uint32_t edx, uint32_t ecx, uint32_t leaf7, uint64_t osState) {
  CpuFeatures f;
  f.leaf1Edx = edx;
  f.leaf1Ecx = ecx;
  f.leaf7Ebx = leaf7;
  f.osSavedState = osState;
  return f;
}

// The widest variant of a routine at or below `top`.
const RoutineVariant& WidestUpTo(const RoutineDescription& routine, Tier top) {
  const RoutineVariant* widest = routine.variant(Tier::Plain);
  for (const RoutineVariant& v : routine)
    if (v.tier <= top) widest = &v;
  return *widest;
}

AnyRoutine Chosen(const RoutineChoice& choice, const RoutineDescription& routine) {
  return routine.member.exists() ? SlotRoutine(choice.routines, routine.id) : AnyRoutine(choice.byteSwap);
}

// What each routine is expected to hold: the SSE2-era choice of the feature
// word, upgraded to the widest variant at or below `wideTop` where the
// routine in place is the one that variant reproduces.
enum class Expect { Sse2Era, UpToAvx2, UpToAvx512, Plain };

struct Case {
  const char* name;
  CpuFeatures features;
  const char* cap;
  Expect expect;
};

const Case kCases[] = {
    {"SSE2 processor", Processor(kSse2Era, 0, 0, 0), nullptr, Expect::Sse2Era},
    {"AVX2 with YMM state saved", Processor(kSse2Era, kAvxEcx, CpuBit::AVX2, OsState::AVX), nullptr, Expect::UpToAvx2},
    {"AVX-512 with ZMM state saved", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512), nullptr,
     Expect::UpToAvx512},
    {"AVX-512 in CPUID, OS saves only YMM", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX), nullptr,
     Expect::UpToAvx2},
    {"AVX-512 in CPUID, OS saves nothing wide", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::SSE), nullptr,
     Expect::Sse2Era},
    {"AVX2 in CPUID, OSXSAVE clear", Processor(kSse2Era, CpuBit::AVX, kAvx512Ebx, OsState::AVX512), nullptr,
     Expect::Sse2Era},
    {"AVX2 bit without AVX bit", Processor(kSse2Era, CpuBit::OSXSAVE, CpuBit::AVX2, OsState::AVX), nullptr,
     Expect::Sse2Era},
    {"AVX-512 F without BW", Processor(kSse2Era, kAvxEcx, kAvx512Ebx & ~CpuBit::AVX512BW, OsState::AVX512), nullptr,
     Expect::UpToAvx2},
    {"AVX-512 without VL", Processor(kSse2Era, kAvxEcx, kAvx512Ebx & ~CpuBit::AVX512VL, OsState::AVX512), nullptr,
     Expect::UpToAvx2},
    {"capped at sse2", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512), "sse2", Expect::Sse2Era},
    {"capped at avx2", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512), "avx2", Expect::UpToAvx2},
    {"capped at AVX512, any case", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512), "AVX512",
     Expect::UpToAvx512},
    {"capped at plain", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512), "plain", Expect::Plain},
    {"a cap naming no tier caps nothing", Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512), "avx",
     Expect::UpToAvx512},
};

class RoutineChoiceCase : public testing::TestWithParam<Case> {};

TEST_P(RoutineChoiceCase, EachRoutineGetsTheExpectedVariant) {
  const Case& c = GetParam();
  const TierCap cap = ParseTierCap(c.cap);
  const RoutineChoice choice = ChooseRoutines(c.features, cap);
  const ConversionRoutines sse2Era = SelectConversionRoutines(c.features.leaf1Edx);
  for (const RoutineDescription& routine : kRoutineCatalogue) {
    SCOPED_TRACE(routine.name);
    AnyRoutine expected;
    switch (c.expect) {
      case Expect::Plain:
        expected = routine.variant(Tier::Plain)->routine;
        break;
      case Expect::Sse2Era:
        expected = WidestUpTo(routine, routine.referenceTier).routine;
        break;
      case Expect::UpToAvx2:
        expected = WidestUpTo(routine, Tier::AVX2).routine;
        break;
      case Expect::UpToAvx512:
        expected = WidestUpTo(routine, Tier::AVX512).routine;
        break;
    }
    EXPECT_TRUE(Chosen(choice, routine) == expected);
    if (routine.member.exists() && c.expect == Expect::Sse2Era && cap.highest >= Tier::SSE2) {
      EXPECT_TRUE(SlotRoutine(sse2Era, routine.id) == expected) << "the feature word alone chooses the same";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Processors, RoutineChoiceCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

// Wide variants replace only the routine whose bytes they reproduce: a
// processor that reports AVX2 but no SSE bits keeps the plain routine where
// the reference is an MMX or SSE variant, and takes AVX2 where it is plain.
TEST(RoutineChoice, WideTiersNeverChangeTheBytesOfTheRoutineInPlace) {
  const RoutineChoice choice = ChooseRoutines(Processor(0, kAvxEcx, CpuBit::AVX2, OsState::AVX), TierCap{});
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const RoutineDescription& routine = kRoutineCatalogue[i];
    SCOPED_TRACE(routine.name);
    const Tier expected = routine.referenceTier == Tier::Plain ? WidestUpTo(routine, Tier::AVX2).tier : Tier::Plain;
    EXPECT_EQ(choice.reasons[i].tier, expected);
    EXPECT_TRUE(Chosen(choice, routine) == routine.variant(expected)->routine);
  }
}

// Each row of the routine table fills the member of ConversionRoutines at
// its own place, and only that one: a routine set through one row is read
// back through it and through no other.
TEST(RoutineTable, EachRowOwnsTheMemberAtItsPlace) {
  for (const RoutineDescription& routine : kRoutineCatalogue) {
    SCOPED_TRACE(routine.name);
    if (!routine.member.exists()) {
      EXPECT_EQ(routine.slot, kNoSlot);
      continue;
    }
    ConversionRoutines table{};
    SetSlotRoutine(table, routine.id, routine.variant(Tier::Plain)->routine);
    uintptr_t words[sizeof(table) / sizeof(uintptr_t)];
    static_assert(sizeof(words) == sizeof(table), "ConversionRoutines holds routine addresses only");
    std::memcpy(words, &table, sizeof(table));
    for (size_t place = 0; place < std::size(words); ++place)
      EXPECT_EQ(words[place] != 0, place == static_cast<size_t>(routine.slot)) << "place " << place;
    EXPECT_TRUE(SlotRoutine(table, routine.id) == routine.variant(Tier::Plain)->routine);
  }
}

// The reasons name what decided: the OS state, the cap, the missing bit.
TEST(RoutineChoice, ReasonsSayWhyAWiderTierWasNotTaken) {
  const auto reasonOf = [](const CpuFeatures& f, const char* cap) {
    return ChooseRoutines(f, ParseTierCap(cap)).reasons[0].why;
  };
  const CpuFeatures unsaved = Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::SSE);
  const CpuFeatures full = Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512);
  if (kRoutineCatalogue[0].variant(Tier::AVX2) != nullptr) {  // the first row's reasons
    EXPECT_NE(reasonOf(unsaved, nullptr).find("does not save"), std::string::npos) << reasonOf(unsaved, nullptr);
    EXPECT_NE(reasonOf(full, "sse2").find("PELLIX_CPU=sse2"), std::string::npos) << reasonOf(full, "sse2");
  }
  EXPECT_NE(reasonOf(Processor(CpuBit::MMX, 0, 0, 0), nullptr).find("bit 25 (SSE) clear"), std::string::npos);
}

TEST(TierCap, ParsesTheTierNames) {
  EXPECT_EQ(ParseTierCap("sse2").highest, Tier::SSE2);
  EXPECT_EQ(ParseTierCap("Avx2").highest, Tier::AVX2);
  EXPECT_EQ(ParseTierCap("plain").highest, Tier::Plain);
  EXPECT_TRUE(ParseTierCap(nullptr).understood);
  EXPECT_EQ(ParseTierCap("").highest, Tier::AVX512);
  const TierCap unknown = ParseTierCap("avx");
  EXPECT_FALSE(unknown.understood);
  EXPECT_EQ(unknown.highest, Tier::AVX512);
  EXPECT_EQ(unknown.text, "avx");
}

TEST(TierVerdict, Avx512NeedsTheOsToSaveOpmaskAndZmm) {
  const uint64_t withoutHighZmm = OsState::AVX512 & ~OsState::HI16_ZMM;
  EXPECT_FALSE(JudgeTier(Tier::AVX512, Processor(kSse2Era, kAvxEcx, kAvx512Ebx, withoutHighZmm)).usable);
  EXPECT_TRUE(JudgeTier(Tier::AVX2, Processor(kSse2Era, kAvxEcx, kAvx512Ebx, withoutHighZmm)).usable);
  EXPECT_TRUE(JudgeTier(Tier::AVX512, Processor(kSse2Era, kAvxEcx, kAvx512Ebx, OsState::AVX512)).usable);
  EXPECT_TRUE(JudgeTier(Tier::Plain, CpuFeatures{}).usable);
}

}  // namespace
}  // namespace pellix
