// Compile-time checks of the record sizes shared across the binary boundary,
// for both the 32-bit and the 64-bit word size.
#pragma once

#include <cstddef>

#include "values.h"

namespace Tessel {

static_assert(sizeof(String<char>) == (sizeof(void*) == 4 ? 12 : 24), "String is data, length, allocator");
static_assert(offsetof(String<char>, length) == sizeof(void*), "String::length follows data");
static_assert(sizeof(Variant) == 16 && alignof(Variant) == 8, "Variant: type byte, 8-byte aligned payload");
static_assert(offsetof(Variant, payload) == 8, "Variant payload is 8-byte aligned");
static_assert(alignof(ImageProperties) == 8, "ImageProperties has the alignment of double");
static_assert(alignof(RectFloat) == 8, "RectFloat coordinates are 8-byte aligned");
static_assert(sizeof(RectFloat) == 40, "RectFloat: table pointer and four doubles");
static_assert(sizeof(RectInt) == (sizeof(void*) == 4 ? 20 : 24), "RectInt: table pointer and four ints");

}  // namespace Tessel
