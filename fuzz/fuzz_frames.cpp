#include "fuzz/fuzz_frames.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace pellix::fuzz {

namespace {

int64_t Magnitude(int32_t v) { return v < 0 ? -static_cast<int64_t>(v) : v; }

// Large enough for any geometry a capped buffer can hold, small enough that
// bits x stride x height cannot wrap 64 bits.
int32_t ClampForLayout(int32_t v) { return static_cast<int32_t>(std::min<int64_t>(Magnitude(v), 1 << 20)); }

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

HostFrame* Acquire(FramePool& pool, uint32_t capacity, int32_t width, int32_t height, int32_t stride) {
  Tessel::ImageProperties image;
  image.width = width;
  image.height = height;
  image.stride = stride;
  try {
    return pool.acquire(capacity, image);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// The pattern over the whole buffer, by doubling copies: filling byte by
// byte would cost more than the conversion under coverage instrumentation.
void FillRepeating(uint8_t* data, uint32_t size, const std::vector<uint8_t>& pattern) {
  if (pattern.empty() || size == 0) return;
  uint32_t filled = static_cast<uint32_t>(std::min<size_t>(pattern.size(), size));
  std::memcpy(data, pattern.data(), filled);
  while (filled < size) {
    const uint32_t chunk = std::min(filled, size - filled);
    std::memcpy(data + filled, data, chunk);
    filled += chunk;
  }
}

}  // namespace

void StrideChoice::read(ByteReader& in) {
  mode = in.byte();
  raw = mode % 4 == 3 ? in.dimension() : 0;
}

void StrideChoice::write(ByteWriter& out) const {
  out.byte(mode);
  if (mode % 4 == 3) out.dimension(raw);
}

int32_t StrideChoice::resolve(PixelFormat format, int32_t width) const {
  const int64_t base = TightStride(format, ClampToInt32(Magnitude(width)));
  switch (mode % 4) {
    case 0: return ClampToInt32(base);
    case 1: return ClampToInt32(base + mode / 4);
    case 2: return ClampToInt32(base - mode / 4);
    default: return raw;
  }
}

void CapacityChoice::read(ByteReader& in) {
  mode = in.byte();
  raw = mode % 4 == 3 ? in.word() : 0;
}

void CapacityChoice::write(ByteWriter& out) const {
  out.byte(mode);
  if (mode % 4 == 3) out.word(raw);
}

uint32_t CapacityChoice::resolve(uint64_t needed) const {
  uint64_t bytes = needed;
  switch (mode % 4) {
    case 0: break;
    case 1: {
      const uint64_t shortBy = 1u + mode / 4u;
      bytes = needed > shortBy ? needed - shortBy : 0;
      break;
    }
    case 2: bytes = needed + mode / 4u; break;
    default: bytes = raw; break;
  }
  return static_cast<uint32_t>(std::min<uint64_t>(bytes, kMaxFrameCapacity));
}

void SourceFrameRecipe::read(ByteReader& in) {
  const uint8_t kind = in.byte() % 8;
  behaviour = kind < 5 ? SourceBehaviour::Frame : static_cast<SourceBehaviour>(kind - 4);
  width = in.dimension();
  height = in.dimension();
  stride.read(in);
  capacity.read(in);
  dataSizeMode = in.byte();
  rawDataSize = dataSizeMode % 4 == 2 ? in.word() : 0;
  // Marked high bytes, so a converted frame that lost them cannot pass.
  attribute0 = 0x41000000u | in.byte();
  attribute1 = 0x42000000u | in.byte();
}

void SourceFrameRecipe::write(ByteWriter& out) const {
  out.byte(behaviour == SourceBehaviour::Frame ? 0 : static_cast<uint8_t>(static_cast<uint8_t>(behaviour) + 4));
  out.dimension(width).dimension(height);
  stride.write(out);
  capacity.write(out);
  out.byte(dataSizeMode);
  if (dataSizeMode % 4 == 2) out.word(rawDataSize);
  out.byte(static_cast<uint8_t>(attribute0)).byte(static_cast<uint8_t>(attribute1));
}

void DestinationFrameRecipe::read(ByteReader& in) {
  refuse = in.byte() % 8 == 7;
  stride.read(in);
  capacity.read(in);
}

void DestinationFrameRecipe::write(ByteWriter& out) const {
  out.byte(refuse ? 7 : 0);
  stride.write(out);
  capacity.write(out);
}

uint64_t NeededBytes(PixelFormat format, int32_t width, int32_t height, int32_t stride, PlaneRule rule) {
  return LayoutFor(format, ClampForLayout(width), ClampForLayout(height), ClampForLayout(stride), rule).bytes;
}

PixelFormat FormatForBits(int32_t bits) {
  switch (bits) {
    case 12: return PixelFormat::I420;
    case 16: return PixelFormat::YUY2;
    case 32: return PixelFormat::BGRA;
    default: return PixelFormat::None;
  }
}

// ---- source frames ----

FuzzFrameSource::FuzzFrameSource(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions buffers, PixelFormat format,
                                 std::vector<SourceFrameRecipe> recipes, std::vector<uint8_t> pixels)
    : pool_(std::move(ledger), buffers), format_(format), recipes_(std::move(recipes)), pixels_(std::move(pixels)) {}

Tessel::Frame* FuzzFrameSource::produce() {
  const uint64_t index = calls_++;
  if (recipes_.empty()) return nullptr;
  const SourceFrameRecipe& recipe = recipes_[std::min<uint64_t>(index, recipes_.size() - 1)];
  if (recipe.behaviour != SourceBehaviour::Frame) return nullptr;

  const int32_t stride = recipe.stride.resolve(format_, recipe.width);
  const uint64_t needed = NeededBytes(format_, recipe.width, recipe.height, stride, PlaneRule::Source);
  const uint32_t capacity = recipe.capacity.resolve(needed);
  HostFrame* frame = Acquire(pool_, capacity, recipe.width, recipe.height, stride);
  if (frame == nullptr) return nullptr;

  FillRepeating(frame->data(), capacity, pixels_);
  switch (recipe.dataSizeMode % 4) {
    case 0: frame->dataSize() = capacity; break;
    case 1: frame->dataSize() = static_cast<uint32_t>(std::min<uint64_t>(needed, 0xFFFFFFFFu)); break;
    case 2: frame->dataSize() = recipe.rawDataSize; break;
    default: frame->dataSize() = 0; break;
  }
  frame->attribute0 = recipe.attribute0;
  frame->attribute1 = recipe.attribute1;
  made_.push_back(frame);
  lastMade_ = frame;
  return frame;
}

bool FuzzFrameSource::made(const Tessel::Frame* frame) const {
  return std::find(made_.begin(), made_.end(), frame) != made_.end();
}

// ---- destination frames ----

FuzzFrameAllocator::FuzzFrameAllocator(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions buffers,
                                       std::vector<DestinationFrameRecipe> recipes)
    : pool_(std::move(ledger), buffers), recipes_(std::move(recipes)) {}

void FuzzFrameAllocator::setBitsPerPixel(int32_t bits) {
  if (FormatForBits(bits) == PixelFormat::None) {
    problems_.push_back("setBitsPerPixel(" + std::to_string(bits) + "): no format has that many bits");
  }
  bits_ = bits;
}

Tessel::Frame* FuzzFrameAllocator::allocateFrame(int32_t width, int32_t height, int32_t count) {
  const uint64_t index = calls_++;
  if (count != 1) problems_.push_back("allocateFrame with count " + std::to_string(count));
  const DestinationFrameRecipe recipe =
      recipes_.empty() ? DestinationFrameRecipe{} : recipes_[std::min<uint64_t>(index, recipes_.size() - 1)];
  if (recipe.refuse || refusing_) return nullptr;

  const PixelFormat format = FormatForBits(bits_);
  const int32_t stride = recipe.stride.resolve(format, width);
  const uint64_t needed = NeededBytes(format, width, height, stride, PlaneRule::Destination);
  HostFrame* frame = Acquire(pool_, recipe.capacity.resolve(needed), width, height, stride);
  if (frame == nullptr) return nullptr;
  made_.push_back(frame);
  lastMade_ = frame;
  return frame;
}

bool FuzzFrameAllocator::made(const Tessel::Frame* frame) const {
  return std::find(made_.begin(), made_.end(), frame) != made_.end();
}

}  // namespace pellix::fuzz
