// What the processor reports about itself and what the operating system
// saves on a context switch: the inputs of the routine choice, read once.
#pragma once

#include <cstdint>

namespace pellix {

struct CpuFeatures {
  uint32_t leaf1Edx = 0;      // CPUID leaf 1 EDX: MMX, SSE, SSE2
  uint32_t leaf1Ecx = 0;      // CPUID leaf 1 ECX: OSXSAVE, AVX
  uint32_t leaf7Ebx = 0;      // CPUID leaf 7 sub-leaf 0 EBX: AVX2, AVX-512
  uint64_t osSavedState = 0;  // XCR0 as XGETBV reports it; 0 when OSXSAVE is clear
};

namespace CpuBit {
// Leaf 1 EDX.
constexpr uint32_t MMX = 1u << 23;
constexpr uint32_t SSE = 1u << 25;
constexpr uint32_t SSE2 = 1u << 26;
// Leaf 1 ECX.
constexpr uint32_t OSXSAVE = 1u << 27;
constexpr uint32_t AVX = 1u << 28;
// Leaf 7 EBX.
constexpr uint32_t AVX2 = 1u << 5;
constexpr uint32_t AVX512F = 1u << 16;
constexpr uint32_t AVX512BW = 1u << 30;
constexpr uint32_t AVX512VL = 1u << 31;
}  // namespace CpuBit

namespace OsState {
// XCR0 components the operating system must save for a register file.
constexpr uint64_t SSE = 1u << 1;
constexpr uint64_t YMM = 1u << 2;
constexpr uint64_t OPMASK = 1u << 5;
constexpr uint64_t ZMM_HI256 = 1u << 6;
constexpr uint64_t HI16_ZMM = 1u << 7;
constexpr uint64_t AVX = SSE | YMM;
constexpr uint64_t AVX512 = AVX | OPMASK | ZMM_HI256 | HI16_ZMM;
}  // namespace OsState

// Executes CPUID (leaf 7 only where the processor has it) and XGETBV (only
// where OSXSAVE says the instruction exists and is enabled).
CpuFeatures ReadCpuFeatures();

}  // namespace pellix
