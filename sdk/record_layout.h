// Compile-time checks of the record sizes shared across the binary boundary,
// for both the 32-bit and the 64-bit word size.
#pragma once

#include <cstddef>

#include "host.h"
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

// The Frame fields the plug-in reads and writes, in the order it relies on.
// Frame is polymorphic, so offsetof is only conditionally supported; GCC and
// Clang give the offsets of such a class's own members.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
struct FrameRecordLayout {
  static constexpr size_t kDataSize = offsetof(Frame, dataSize_);
  static constexpr size_t kCapacity = offsetof(Frame, capacity);
  static constexpr size_t kAttribute0 = offsetof(Frame, attribute0);
  static constexpr size_t kAttribute1 = offsetof(Frame, attribute1);
  static constexpr size_t kImageProperties = offsetof(Frame, imageProperties);
};
#pragma GCC diagnostic pop

static_assert(FrameRecordLayout::kDataSize < FrameRecordLayout::kCapacity, "Frame: dataSize before capacity");
static_assert(FrameRecordLayout::kCapacity < FrameRecordLayout::kAttribute0, "Frame: capacity before attribute0");
static_assert(FrameRecordLayout::kAttribute0 < FrameRecordLayout::kAttribute1, "Frame: attribute0 before attribute1");
static_assert(FrameRecordLayout::kAttribute1 < FrameRecordLayout::kImageProperties,
              "Frame: attribute1 before the image properties");

}  // namespace Tessel
